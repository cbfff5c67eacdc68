#pragma once
// Drawing helpers shared by every picture family of the generator.
#include <QColor>
#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QRectF>
#include <QString>

namespace Paint {

enum class Suit { Diamonds = 0, Clubs = 1, Hearts = 2, Spades = 3 };

// The one CJK font of the set; pixel sizes keep the pictures independent of screen DPI.
QFont UiFont(double pixelSize, bool bold = false);

// Suit symbol filling the given box (kept at its own aspect, centred).
QPainterPath SuitPath(Suit suit, const QRectF& box);
bool IsRed(Suit suit);
QColor SuitColor(Suit suit);

QPainterPath RoundedRect(const QRectF& r, double radius);

// Text centred in a box, with an optional one-pixel shadow below right.
void CenteredText(QPainter& p, const QRectF& box, const QString& text, const QFont& font,
                  const QColor& color, const QColor& shadow = QColor());

// Text outlined by a halo, for labels on busy backgrounds.
void HaloText(QPainter& p, const QRectF& box, const QString& text, const QFont& font,
              const QColor& color, const QColor& halo, double haloWidth);

// Largest pixel size (up to maxPixel) at which text fits the box.
double FitFontSize(const QString& text, const QRectF& box, double maxPixel, bool bold);

// Deterministic pseudo-random numbers, so every build draws the same pictures.
class Rng {
public:
    explicit Rng(quint32 seed) : m_state(seed ? seed : 1u) {}
    quint32 next();
    double unit();   // in [0, 1)
private:
    quint32 m_state;
};

QColor Mix(const QColor& a, const QColor& b, double t);

// The table's two felts, light in the middle and dark at the edge: its own (green) and the
// one the sound settings offer instead (blue), which shows them as swatches.
struct FeltColours {
    QColor centre, edge;
};
inline const FeltColours OwnFelt{QColor(0x2e, 0x8c, 0x4c), QColor(0x0c, 0x40, 0x20)};
inline const FeltColours OtherFelt{QColor(0x2c, 0x6c, 0xa4), QColor(0x0a, 0x26, 0x4c)};

}  // namespace Paint
