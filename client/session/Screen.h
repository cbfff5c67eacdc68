#pragma once
// The screen scale the whole table is laid out at, chosen once at start-up.
#include <QSize>

struct LayoutScaleFactors {
    double h = 1.0;
    double v = 1.0;
};

namespace Screen {

// Both factors 0.78125 below 1024 x 768, otherwise 1.0.
LayoutScaleFactors ChooseScale(QSize screen);

inline bool IsSmallLayout(const LayoutScaleFactors& scale)
{
    return scale.h < 1.0;
}

}  // namespace Screen
