#include "ui/MainForm.h"

#include <QEvent>

#include "session/HallLink.h"
#include "table/TableState.h"

// Minimise, restore and activation of the table window.

void MainForm::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::WindowStateChange) {
        if (windowState() & Qt::WindowMinimized) {
            // Zoomed video windows do not outlive a minimised table.
            for (QWidget* zoom : ZoomWindows)
                if (zoom != nullptr && zoom->isVisible())
                    zoom->close();
        } else if (isVisible()) {
            WindowRestored();
        }
    } else if (event->type() == QEvent::ActivationChange && isActiveWindow() && Chat != nullptr) {
        Chat->setFocus(Qt::ActiveWindowFocusReason);
    }
    QWidget::changeEvent(event);
}

void MainForm::WindowRestored()
{
    // In front of the other windows without staying on top of them.
    raise();
    activateWindow();
    // The table coming up puts the hall aside, so exactly one of the two is in front.
    HallLink::HallAside();
    // Back from the F1 state: the user plays again.
    if (TableState.Clock.AutoPlay) {
        TableState.Clock.ShortClock = false;
        TableState.Clock.AutoPlay = false;
        TableState.Clock.Hidden = false;
        TableState.Clock.TurnSeconds = 1;
    }
    TableState.Clock.TimeoutCount = 0;
}
