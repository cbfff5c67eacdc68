#include "session/Screen.h"

namespace Screen {

LayoutScaleFactors ChooseScale(QSize screen)
{
    if (screen.height() < 768 || screen.width() < 1024)
        return {0.78125, 0.78125};
    return {1.0, 1.0};
}

}  // namespace Screen
