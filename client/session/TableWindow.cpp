#include "session/TableWindow.h"

namespace {

TableWindow* g_window = nullptr;

bool IsLine(int index)
{
    return g_window != nullptr && index >= 0 && index < 2;
}

}  // namespace

void SetTableWindow(TableWindow* window)
{
    g_window = window;
}

TableWindow* TheTableWindow()
{
    return g_window;
}

void SysmsgClear(int index)
{
    if (IsLine(index))
        g_window->ClearMessageLine(index);
}

void SysmsgAdd(int index, const QString& line)
{
    if (IsLine(index))
        g_window->AddMessageLine(index, line);
}

QString SysmsgText(int index)
{
    return IsLine(index) ? g_window->MessageLines(index).join(QLatin1Char('\n')) : QString();
}

QString SysmsgFirstLine(int index)
{
    return IsLine(index) ? g_window->MessageLines(index).value(0) : QString();
}

void PostSystemLine(const QString& text)
{
    if (SysmsgText(1).isEmpty()) {
        if (SysmsgText(0).isEmpty()) {
            SysmsgClear(0);
            SysmsgAdd(0, text);
        } else {
            SysmsgClear(1);
            SysmsgAdd(1, text);
        }
        return;
    }
    const QString lower = SysmsgFirstLine(1);
    SysmsgClear(0);
    SysmsgAdd(0, lower);
    SysmsgClear(1);
    SysmsgAdd(1, text);
}

void MinimizeMainForm()
{
    if (g_window)
        g_window->MinimizeWindow();
}
