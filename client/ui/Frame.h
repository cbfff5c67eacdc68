#pragma once
// The drawn frame of the large table window: eight pieces cut from the picture Skin, and the
// places of the icon, the frame buttons and the title strip. Values are in twips (15 to a
// pixel), as the frame was designed.
#include <array>
#include <QRect>
#include <QRectF>
#include <QSize>
#include <QSizeF>

namespace Frame {

inline constexpr double TwipsPerPixel = 15;

struct Piece {
    QRectF destination;  // in the window, twips
    QRectF source;       // in Skin, twips
};

// Top-left, top edge, top-right, left edge, right edge, bottom-left, bottom edge,
// bottom-right, for a window whose inner size is innerTwips.
std::array<Piece, 8> Pieces(QSizeF innerTwips);

// Places of the frame's own controls, in twips.
QRectF IconPlace();
QRectF TitleStrip(QSizeF innerTwips);
// The close button 70 twips in from the right edge, the minimise button 30 twips left of it.
QRectF ClosePlace(QSizeF innerTwips, QSizeF closeTwips);
QRectF MinimisePlace(const QRectF& closePlace, QSizeF minimiseTwips);

// Twips to pixels and back, without rounding.
QRectF ToPixels(const QRectF& twips);
QSizeF ToTwips(QSizeF pixels);

// The window on a screen of this size: a small screen gets the whole length of an axis for the
// window and for Pic1; a large one the design length, with Pic1 inside the drawn frame.
struct WindowPlacement {
    QRect window;
    QRect pic1;       // relative to the window
    bool framed = false;  // the drawn frame shows on at least one side
};
WindowPlacement PlaceWindow(QSize screen);

}  // namespace Frame
