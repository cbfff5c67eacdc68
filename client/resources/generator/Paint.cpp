#include "Paint.h"

#include <QFontMetricsF>

namespace Paint {

QFont UiFont(double pixelSize, bool bold)
{
    QFont font(QStringLiteral("WenQuanYi Micro Hei"));
    font.setPixelSize(qMax(1, qRound(pixelSize)));
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

namespace {

// Suit outlines designed in a 100 x 100 box.
QPainterPath HeartShape()
{
    QPainterPath path;
    path.moveTo(50, 97);
    path.cubicTo(38, 80, 0, 58, 0, 30);
    path.cubicTo(0, 12, 12, 2, 26, 2);
    path.cubicTo(38, 2, 46, 10, 50, 20);
    path.cubicTo(54, 10, 62, 2, 74, 2);
    path.cubicTo(88, 2, 100, 12, 100, 30);
    path.cubicTo(100, 58, 62, 80, 50, 97);
    path.closeSubpath();
    return path;
}

QPainterPath DiamondShape()
{
    QPainterPath path;
    path.moveTo(50, 0);
    path.quadTo(66, 28, 86, 50);
    path.quadTo(66, 72, 50, 100);
    path.quadTo(34, 72, 14, 50);
    path.quadTo(34, 28, 50, 0);
    path.closeSubpath();
    return path;
}

QPainterPath SpadeShape()
{
    QPainterPath path;
    path.moveTo(50, 0);
    path.cubicTo(62, 20, 100, 38, 100, 62);
    path.cubicTo(100, 77, 89, 86, 76, 86);
    path.cubicTo(66, 86, 58, 81, 54, 73);
    path.cubicTo(55, 86, 60, 94, 70, 100);
    path.lineTo(30, 100);
    path.cubicTo(40, 94, 45, 86, 46, 73);
    path.cubicTo(42, 81, 34, 86, 24, 86);
    path.cubicTo(11, 86, 0, 77, 0, 62);
    path.cubicTo(0, 38, 38, 20, 50, 0);
    path.closeSubpath();
    return path;
}

QPainterPath ClubShape()
{
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    path.addEllipse(QPointF(50, 25), 23, 23);
    path.addEllipse(QPointF(24, 60), 23, 23);
    path.addEllipse(QPointF(76, 60), 23, 23);
    path.addEllipse(QPointF(50, 52), 14, 14);
    QPainterPath stem;
    stem.moveTo(46, 55);
    stem.cubicTo(46, 78, 40, 92, 29, 100);
    stem.lineTo(71, 100);
    stem.cubicTo(60, 92, 54, 78, 54, 55);
    stem.closeSubpath();
    path.addPath(stem);
    return path.simplified();
}

}  // namespace

QPainterPath SuitPath(Suit suit, const QRectF& box)
{
    QPainterPath shape;
    double aspect = 1.0;   // width / height of the design
    switch (suit) {
    case Suit::Hearts: shape = HeartShape(); aspect = 100.0 / 97.0; break;
    case Suit::Diamonds: shape = DiamondShape(); aspect = 0.78; break;
    case Suit::Spades: shape = SpadeShape(); aspect = 1.0; break;
    case Suit::Clubs: shape = ClubShape(); aspect = 1.0; break;
    }
    const QRectF bounds = shape.boundingRect();
    double w = box.width(), h = box.height();
    if (w / h > aspect)
        w = h * aspect;
    else
        h = w / aspect;
    QTransform t;
    t.translate(box.center().x() - w / 2, box.center().y() - h / 2);
    t.scale(w / bounds.width(), h / bounds.height());
    t.translate(-bounds.left(), -bounds.top());
    return t.map(shape);
}

bool IsRed(Suit suit)
{
    return suit == Suit::Hearts || suit == Suit::Diamonds;
}

QColor SuitColor(Suit suit)
{
    return IsRed(suit) ? QColor(0xd0, 0x10, 0x1e) : QColor(0x14, 0x14, 0x18);
}

QPainterPath RoundedRect(const QRectF& r, double radius)
{
    QPainterPath path;
    path.addRoundedRect(r, radius, radius);
    return path;
}

void CenteredText(QPainter& p, const QRectF& box, const QString& text, const QFont& font,
                  const QColor& color, const QColor& shadow)
{
    p.save();
    p.setFont(font);
    if (shadow.isValid()) {
        p.setPen(shadow);
        p.drawText(box.translated(0.8, 0.8), Qt::AlignCenter, text);
    }
    p.setPen(color);
    p.drawText(box, Qt::AlignCenter, text);
    p.restore();
}

void HaloText(QPainter& p, const QRectF& box, const QString& text, const QFont& font,
              const QColor& color, const QColor& halo, double haloWidth)
{
    const QFontMetricsF metrics(font);
    const double width = metrics.horizontalAdvance(text);
    const double x = box.center().x() - width / 2;
    const double y = box.center().y() + (metrics.ascent() - metrics.descent()) / 2;
    QPainterPath path;
    path.addText(QPointF(x, y), font, text);
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(halo, haloWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawPath(path);
    p.restore();
}

double FitFontSize(const QString& text, const QRectF& box, double maxPixel, bool bold)
{
    for (double size = maxPixel; size > 6; size -= 0.5) {
        const QFontMetricsF metrics(UiFont(size, bold));
        if (metrics.horizontalAdvance(text) <= box.width() && metrics.height() <= box.height() + 2)
            return size;
    }
    return 6;
}

quint32 Rng::next()
{
    // xorshift32
    m_state ^= m_state << 13;
    m_state ^= m_state >> 17;
    m_state ^= m_state << 5;
    return m_state;
}

double Rng::unit()
{
    return (next() >> 8) / double(1u << 24);
}

QColor Mix(const QColor& a, const QColor& b, double t)
{
    return QColor::fromRgbF(float(a.redF() + (b.redF() - a.redF()) * t),
                            float(a.greenF() + (b.greenF() - a.greenF()) * t),
                            float(a.blueF() + (b.blueF() - a.blueF()) * t),
                            float(a.alphaF() + (b.alphaF() - a.alphaF()) * t));
}

}  // namespace Paint
