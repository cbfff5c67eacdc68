#include "ui/Frame.h"

namespace Frame {

namespace {
// Widths of the frame in twips: sides and bottom 120, the title strip 300; the skin's middle
// columns and rows start at 120 and 300, its right column at 570 and its bottom row at 3180.
constexpr double Side = 120, Title = 300, SkinRight = 570, SkinBottom = 3180, SkinMiddle = 2880;
}  // namespace

std::array<Piece, 8> Pieces(QSizeF inner)
{
    const double w = inner.width(), h = inner.height();
    return {{
        {{0, 0, Side, Title}, {0, 0, Side, Title}},
        {{Side, 0, w - 2 * Side, Title}, {Side, 0, Side, Title}},
        {{w - Side, 0, Side, Title}, {SkinRight, 0, Side, Title}},
        {{0, Title, Side, h - Title - Side}, {0, Title, Side, SkinMiddle}},
        {{w - Side, Title, Side, h - Title - Side}, {SkinRight, Title, Side, SkinMiddle}},
        {{0, h - Side, Side, Side}, {0, SkinBottom, Side, Side}},
        {{Side, h - Side, w - 2 * Side, Side}, {Side, SkinBottom, Side, Side}},
        {{w - Side, h - Side, Side, Side}, {SkinRight, SkinBottom, Side, Side}},
    }};
}

QRectF IconPlace()
{
    return {50, 50, 240, 240};
}

QRectF TitleStrip(QSizeF inner)
{
    return {0, 0, inner.width(), Title};
}

QRectF ClosePlace(QSizeF inner, QSizeF close)
{
    return {inner.width() - close.width() - 70, 25, close.width(), close.height()};
}

QRectF MinimisePlace(const QRectF& closePlace, QSizeF minimise)
{
    return {closePlace.left() - 30 - minimise.width(), 25, minimise.width(), minimise.height()};
}

QRectF ToPixels(const QRectF& twips)
{
    return {twips.left() / TwipsPerPixel, twips.top() / TwipsPerPixel, twips.width() / TwipsPerPixel,
            twips.height() / TwipsPerPixel};
}

QSizeF ToTwips(QSizeF pixels)
{
    return pixels * TwipsPerPixel;
}

namespace {

// One axis of the window. A small screen gets the whole length for the window and for Pic1;
// a large one gets the fixed design length, with Pic1 inside the drawn frame.
struct AxisPlacement {
    int windowLength = 0;
    int picStart = 0;
    int picLength = 0;
    bool framed = false;
};

AxisPlacement PlaceAxis(int screenLength, int fullScreenBelow, int windowTwips, int picStartTwips,
                        int frameTwips)
{
    if (screenLength < fullScreenBelow)
        return {screenLength, 0, screenLength, false};
    const int twips = static_cast<int>(TwipsPerPixel);
    return {windowTwips / twips, picStartTwips / twips, (windowTwips - frameTwips) / twips, true};
}

}  // namespace

WindowPlacement PlaceWindow(QSize screen)
{
    const AxisPlacement v = PlaceAxis(screen.height(), 769, 11940, 300, 420);
    const AxisPlacement h = PlaceAxis(screen.width(), 1025, 15600, 120, 240);
    WindowPlacement p;
    p.window = QRect(0, 0, h.windowLength, v.windowLength);
    p.pic1 = QRect(h.picStart, v.picStart, h.picLength, v.picLength);
    p.framed = h.framed || v.framed;
    return p;
}

}  // namespace Frame
