#include "ui/Popups.h"

#include <array>

namespace Popups {

namespace {

std::array<PopupCalls, static_cast<size_t>(Popup::Count)> g_calls;

PopupCalls Calls(Popup popup)
{
    const auto i = static_cast<size_t>(popup);
    // A copy: a call may register again while it runs.
    return i < g_calls.size() ? g_calls[i] : PopupCalls{};
}

}  // namespace

void Register(Popup popup, PopupCalls calls)
{
    const auto i = static_cast<size_t>(popup);
    if (i < g_calls.size())
        g_calls[i] = std::move(calls);
}

void Toggle(Popup popup)
{
    if (const PopupCalls c = Calls(popup); c.Toggle)
        c.Toggle();
}

void Open(Popup popup)
{
    if (const PopupCalls c = Calls(popup); c.Open)
        c.Open();
}

void Hide(Popup popup)
{
    if (const PopupCalls c = Calls(popup); c.Hide)
        c.Hide();
}

void Unload(Popup popup)
{
    const PopupCalls c = Calls(popup);
    if (c.Unload)
        c.Unload();
    else if (c.Hide)
        c.Hide();
}

bool Showing(Popup popup)
{
    const PopupCalls c = Calls(popup);
    return c.Showing && c.Showing();
}

void Reset()
{
    g_calls = {};
}

}  // namespace Popups
