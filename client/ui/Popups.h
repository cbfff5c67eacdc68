#pragma once
// The pop-up windows of the table that the toolbar, the keys and the F1 action reach. Each
// window's own module registers what the calls do for it; a window whose module has not
// registered it does nothing and reads as not showing.
#include <functional>

enum class Popup {
    Talk,         // chat history
    huifu,        // quick phrases
    Information,  // player card
    frmExit,      // exit confirmation
    Hero,         // history
    Score,        // score board
    VosSet,       // sound settings
    ChuPai,       // illegal-play notice
    Count
};

struct PopupCalls {
    std::function<void()> Toggle;   // the toolbar's open-or-close
    std::function<void()> Open;     // show it in its place
    std::function<void()> Hide;
    std::function<void()> Unload;
    std::function<bool()> Showing;
};

namespace Popups {

void Register(Popup popup, PopupCalls calls);
void Toggle(Popup popup);
void Open(Popup popup);
void Hide(Popup popup);
// Falls back to hiding when the window has no unload of its own.
void Unload(Popup popup);
bool Showing(Popup popup);
// No window registered.
void Reset();

}  // namespace Popups
