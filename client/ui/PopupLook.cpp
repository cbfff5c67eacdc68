#include "ui/PopupLook.h"

#include <QWidget>

namespace PopupLook {

void ApplyPopupOpacity(QWidget* popup)
{
    if (popup != nullptr)
        popup->setWindowOpacity(Opacity / 255.0);
}

void UnloadWindow(QWidget* window)
{
    if (window == nullptr)
        return;
    window->hide();
    window->deleteLater();
}

}  // namespace PopupLook
