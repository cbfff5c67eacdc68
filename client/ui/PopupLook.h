#pragma once
// The look shared by the table's pop-up windows (score board, history, player card, sound
// settings, chat history, exit and notice windows, reconnect notice, quick phrases).
#include <QWidget>

namespace PopupLook {

// Opacity of a pop-up window, of 255.
inline constexpr int Opacity = 200;

// Makes the window slightly see-through where the window system can show it; elsewhere the
// setting is kept and does no harm.
void ApplyPopupOpacity(QWidget* popup);

// The window its holder points to, made (with this parent) when there is none yet.
template <class Window, class Holder>
Window& LoadPopup(Holder& holder, QWidget* parent)
{
    if (!holder)
        holder = new Window(parent);
    return *holder;
}

// Hides the window when it is loaded.
template <class Holder>
void HidePopup(const Holder& holder)
{
    if (holder)
        holder->hide();
}

// Hides the window its holder points to and deletes it once its events are done. The holder
// (a plain or a guarded pointer) is emptied first, so that nothing reaches the window meanwhile.
void UnloadWindow(QWidget* window);
template <class Holder>
void UnloadPopup(Holder& holder)
{
    QWidget* window = holder;
    holder = nullptr;
    UnloadWindow(window);
}

}  // namespace PopupLook
