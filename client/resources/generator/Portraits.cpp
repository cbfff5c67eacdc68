// Twenty portraits, 85 x 90: ten men (240-249) and ten women (250-259), each a different face,
// hair, skin and dress.
#include <cmath>
#include <QLinearGradient>
#include <QRadialGradient>

#include "Catalog.h"
#include "Paint.h"

using namespace Paint;

namespace {

enum class Hair {
    ShortPart, Spiky, Buzz, Curly, SlickBack, Cap, Bald, Fringe, Wavy, Mohawk,        // men
    LongStraight, Bob, Ponytail, Bun, LongCurly, Pigtails, Pixie, Hairband, SideSwept, Braid  // women
};

struct Face {
    bool woman;
    Hair hair;
    QColor skin, hairColor, clothes, background;
    bool glasses = false;
    bool beard = false;
    bool moustache = false;
    bool earrings = false;
    bool tie = false;
};

const QColor kInk(0x2a, 0x1c, 0x14);

struct Geometry {
    QPointF head;
    double rx, ry;
    double top() const { return head.y() - ry; }
};

void Background(QPainter& p, const QSize& size, const QColor& color)
{
    const QRectF r(0, 0, size.width(), size.height());
    QRadialGradient g(QPointF(r.center().x(), r.height() * 0.35), r.width() * 0.75);
    g.setColorAt(0, color.lighter(150));
    g.setColorAt(1, color.darker(115));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRoundedRect(r, 6, 6);
}

void Body(QPainter& p, const QSize& size, const Face& f, const Geometry& g)
{
    const double w = size.width(), h = size.height();
    // Neck.
    p.setPen(Qt::NoPen);
    p.setBrush(f.skin.darker(108));
    p.drawRect(QRectF(g.head.x() - g.rx * 0.38, g.head.y() + g.ry * 0.6, g.rx * 0.76, g.ry * 0.7));

    // Shoulders and clothes.
    QPainterPath body;
    const double shoulderY = g.head.y() + g.ry * 1.2;
    body.moveTo(w * 0.04, h);
    body.cubicTo(w * 0.05, shoulderY + 6, w * 0.2, shoulderY - 2, g.head.x() - g.rx * 0.45, shoulderY - 3);
    body.lineTo(g.head.x() + g.rx * 0.45, shoulderY - 3);
    body.cubicTo(w * 0.8, shoulderY - 2, w * 0.95, shoulderY + 6, w * 0.96, h);
    body.closeSubpath();
    QLinearGradient cloth(QPointF(0, shoulderY), QPointF(0, h));
    cloth.setColorAt(0, f.clothes.lighter(115));
    cloth.setColorAt(1, f.clothes.darker(120));
    p.setPen(QPen(f.clothes.darker(170), 1.0));
    p.setBrush(cloth);
    p.drawPath(body);

    // Neckline: a shirt collar for the men, a rounded neckline for the women.
    if (!f.woman) {
        QPolygonF left, right;
        left << QPointF(g.head.x() - g.rx * 0.45, shoulderY - 3) << QPointF(g.head.x(), shoulderY + 7)
             << QPointF(g.head.x() - g.rx * 0.75, shoulderY + 5);
        right << QPointF(g.head.x() + g.rx * 0.45, shoulderY - 3) << QPointF(g.head.x(), shoulderY + 7)
              << QPointF(g.head.x() + g.rx * 0.75, shoulderY + 5);
        p.setPen(QPen(QColor(0x90, 0x90, 0x90), 0.8));
        p.setBrush(Qt::white);
        p.drawPolygon(left);
        p.drawPolygon(right);
        if (f.tie) {
            QPolygonF tie;
            tie << QPointF(g.head.x() - 2, shoulderY + 5) << QPointF(g.head.x() + 2, shoulderY + 5)
                << QPointF(g.head.x() + 3.5, h - 2) << QPointF(g.head.x(), h) << QPointF(g.head.x() - 3.5, h - 2);
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(0xb0, 0x18, 0x20));
            p.drawPolygon(tie);
        }
    } else {
        p.setPen(Qt::NoPen);
        p.setBrush(f.skin.darker(104));
        p.drawChord(QRectF(g.head.x() - g.rx * 0.75, shoulderY - 8, g.rx * 1.5, 16), 180 * 16, 180 * 16);
        p.setPen(QPen(QColor(255, 255, 255, 200), 1.2));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(g.head.x() - g.rx * 0.75, shoulderY - 8, g.rx * 1.5, 16), 190 * 16, 160 * 16);
    }
}

// Hair that falls behind the head and shoulders.
void BackHair(QPainter& p, const Face& f, const Geometry& g)
{
    QPainterPath hair;
    const double x = g.head.x(), top = g.top();
    switch (f.hair) {
    case Hair::LongStraight:
    case Hair::SideSwept:
        hair.moveTo(x - g.rx * 1.15, top + g.ry * 0.6);
        hair.cubicTo(x - g.rx * 1.3, g.head.y() + g.ry * 1.4, x - g.rx * 1.4, g.head.y() + g.ry * 1.9,
                     x - g.rx * 1.2, g.head.y() + g.ry * 2.1);
        hair.lineTo(x + g.rx * 1.2, g.head.y() + g.ry * 2.1);
        hair.cubicTo(x + g.rx * 1.4, g.head.y() + g.ry * 1.9, x + g.rx * 1.3, g.head.y() + g.ry * 1.4,
                     x + g.rx * 1.15, top + g.ry * 0.6);
        hair.closeSubpath();
        break;
    case Hair::LongCurly:
        for (int i = 0; i < 9; ++i) {
            const double a = M_PI * (0.1 + 0.8 * i / 8.0);
            hair.addEllipse(QPointF(x - std::cos(a) * g.rx * 1.25, g.head.y() + std::sin(a) * g.ry * 1.2 - g.ry * 0.1),
                            g.rx * 0.42, g.ry * 0.42);
        }
        hair.addEllipse(QPointF(x, g.head.y()), g.rx * 1.3, g.ry * 1.25);
        break;
    case Hair::Bob:
        hair.addRoundedRect(QRectF(x - g.rx * 1.25, top - g.ry * 0.1, g.rx * 2.5, g.ry * 1.85), g.rx * 0.9, g.rx * 0.9);
        break;
    case Hair::Ponytail:
        hair.addEllipse(QPointF(x + g.rx * 1.25, g.head.y() + g.ry * 0.5), g.rx * 0.42, g.ry * 0.9);
        break;
    case Hair::Pigtails:
        hair.addEllipse(QPointF(x - g.rx * 1.35, g.head.y() + g.ry * 0.55), g.rx * 0.38, g.ry * 0.75);
        hair.addEllipse(QPointF(x + g.rx * 1.35, g.head.y() + g.ry * 0.55), g.rx * 0.38, g.ry * 0.75);
        break;
    case Hair::Braid:
        for (int i = 0; i < 5; ++i)
            hair.addEllipse(QPointF(x + g.rx * (0.95 + 0.05 * i), g.head.y() + g.ry * (0.5 + 0.33 * i)), g.rx * 0.3, g.ry * 0.2);
        break;
    case Hair::Bun:
        hair.addEllipse(QPointF(x, top - g.ry * 0.08), g.rx * 0.55, g.ry * 0.4);
        break;
    default:
        return;
    }
    p.setPen(QPen(f.hairColor.darker(140), 0.8));
    p.setBrush(f.hairColor);
    p.drawPath(hair.simplified());
}

void FaceFeatures(QPainter& p, const Face& f, const Geometry& g)
{
    const double x = g.head.x(), y = g.head.y();
    // Ears.
    p.setPen(QPen(f.skin.darker(130), 0.8));
    p.setBrush(f.skin);
    p.drawEllipse(QPointF(x - g.rx * 0.98, y + g.ry * 0.05), g.rx * 0.18, g.ry * 0.2);
    p.drawEllipse(QPointF(x + g.rx * 0.98, y + g.ry * 0.05), g.rx * 0.18, g.ry * 0.2);
    if (f.earrings) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xf0, 0xc0, 0x30));
        p.drawEllipse(QPointF(x - g.rx * 1.0, y + g.ry * 0.32), 1.6, 1.6);
        p.drawEllipse(QPointF(x + g.rx * 1.0, y + g.ry * 0.32), 1.6, 1.6);
    }
    // Head.
    QRadialGradient shade(QPointF(x - g.rx * 0.3, y - g.ry * 0.3), g.rx * 1.6);
    shade.setColorAt(0, f.skin.lighter(108));
    shade.setColorAt(1, f.skin.darker(110));
    p.setPen(QPen(f.skin.darker(135), 0.8));
    p.setBrush(shade);
    p.drawEllipse(g.head, g.rx, g.ry);

    // Eyes.
    const double eyeY = y - g.ry * 0.02;
    const double eyeDx = g.rx * 0.4;
    for (int side = -1; side <= 1; side += 2) {
        const QPointF e(x + side * eyeDx, eyeY);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawEllipse(e, g.rx * 0.2, g.ry * 0.11);
        p.setBrush(f.woman ? QColor(0x4a, 0x30, 0x20) : kInk);
        p.drawEllipse(e, g.rx * 0.1, g.ry * 0.1);
        p.setBrush(Qt::white);
        p.drawEllipse(e + QPointF(-0.5, -0.6), 0.6, 0.6);
        if (f.woman) {
            p.setPen(QPen(kInk, 1.0, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(e + QPointF(side * g.rx * 0.18, -g.ry * 0.06), e + QPointF(side * g.rx * 0.27, -g.ry * 0.12));
        }
        // Brows.
        p.setPen(QPen(f.hairColor.darker(130), f.woman ? 1.0 : 1.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(x + side * g.rx * 0.18, eyeY - g.ry * 0.24), QPointF(x + side * g.rx * 0.62, eyeY - g.ry * (f.woman ? 0.27 : 0.22)));
    }
    // Nose.
    p.setPen(QPen(f.skin.darker(150), 1.0, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(x - g.rx * 0.12, y + g.ry * 0.12, g.rx * 0.24, g.ry * 0.2), 200 * 16, 140 * 16);
    // Cheeks.
    if (f.woman) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xff, 0x70, 0x80, 70));
        p.drawEllipse(QPointF(x - g.rx * 0.55, y + g.ry * 0.3), g.rx * 0.18, g.ry * 0.09);
        p.drawEllipse(QPointF(x + g.rx * 0.55, y + g.ry * 0.3), g.rx * 0.18, g.ry * 0.09);
    }
    // Mouth.
    if (f.woman) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xd0, 0x3a, 0x4a));
        QPainterPath lips;
        lips.moveTo(x - g.rx * 0.25, y + g.ry * 0.52);
        lips.quadTo(x, y + g.ry * 0.46, x + g.rx * 0.25, y + g.ry * 0.52);
        lips.quadTo(x, y + g.ry * 0.68, x - g.rx * 0.25, y + g.ry * 0.52);
        p.drawPath(lips);
    } else {
        p.setPen(QPen(QColor(0x90, 0x40, 0x30), 1.2, Qt::SolidLine, Qt::RoundCap));
        p.drawArc(QRectF(x - g.rx * 0.28, y + g.ry * 0.36, g.rx * 0.56, g.ry * 0.22), 200 * 16, 140 * 16);
    }
    if (f.beard) {
        QPainterPath beard;
        beard.moveTo(x - g.rx * 0.95, y + g.ry * 0.1);
        beard.cubicTo(x - g.rx * 0.9, y + g.ry * 0.95, x - g.rx * 0.4, y + g.ry * 1.12, x, y + g.ry * 1.12);
        beard.cubicTo(x + g.rx * 0.4, y + g.ry * 1.12, x + g.rx * 0.9, y + g.ry * 0.95, x + g.rx * 0.95, y + g.ry * 0.1);
        beard.quadTo(x + g.rx * 0.7, y + g.ry * 0.6, x + g.rx * 0.3, y + g.ry * 0.66);
        beard.quadTo(x, y + g.ry * 0.72, x - g.rx * 0.3, y + g.ry * 0.66);
        beard.quadTo(x - g.rx * 0.7, y + g.ry * 0.6, x - g.rx * 0.95, y + g.ry * 0.1);
        p.setPen(Qt::NoPen);
        p.setBrush(f.hairColor);
        p.drawPath(beard);
    }
    if (f.moustache || f.beard) {
        QPainterPath m;
        m.moveTo(x, y + g.ry * 0.34);
        m.cubicTo(x - g.rx * 0.2, y + g.ry * 0.26, x - g.rx * 0.45, y + g.ry * 0.34, x - g.rx * 0.5, y + g.ry * 0.48);
        m.cubicTo(x - g.rx * 0.3, y + g.ry * 0.42, x - g.rx * 0.1, y + g.ry * 0.42, x, y + g.ry * 0.42);
        m.cubicTo(x + g.rx * 0.1, y + g.ry * 0.42, x + g.rx * 0.3, y + g.ry * 0.42, x + g.rx * 0.5, y + g.ry * 0.48);
        m.cubicTo(x + g.rx * 0.45, y + g.ry * 0.34, x + g.rx * 0.2, y + g.ry * 0.26, x, y + g.ry * 0.34);
        p.setPen(Qt::NoPen);
        p.setBrush(f.hairColor.darker(110));
        p.drawPath(m);
    }
    if (f.glasses) {
        p.setPen(QPen(QColor(0x20, 0x20, 0x28), 1.3));
        p.setBrush(QColor(0xc0, 0xe0, 0xff, 50));
        p.drawRoundedRect(QRectF(x - eyeDx - g.rx * 0.32, eyeY - g.ry * 0.17, g.rx * 0.64, g.ry * 0.32), 2.5, 2.5);
        p.drawRoundedRect(QRectF(x + eyeDx - g.rx * 0.32, eyeY - g.ry * 0.17, g.rx * 0.64, g.ry * 0.32), 2.5, 2.5);
        p.drawLine(QPointF(x - eyeDx + g.rx * 0.32, eyeY - g.ry * 0.03), QPointF(x + eyeDx - g.rx * 0.32, eyeY - g.ry * 0.03));
    }
}

// Hair over the forehead and the top of the head.
void FrontHair(QPainter& p, const Face& f, const Geometry& g)
{
    const double x = g.head.x(), y = g.head.y(), top = g.top(), rx = g.rx, ry = g.ry;
    QPainterPath hair;
    switch (f.hair) {
    case Hair::ShortPart:
        hair.moveTo(x - rx * 1.02, y - ry * 0.05);
        hair.cubicTo(x - rx * 1.15, top - ry * 0.55, x + rx * 1.15, top - ry * 0.6, x + rx * 1.02, y - ry * 0.05);
        hair.quadTo(x + rx * 0.9, top + ry * 0.45, x - rx * 0.3, top + ry * 0.35);
        hair.quadTo(x - rx * 0.8, top + ry * 0.5, x - rx * 1.02, y - ry * 0.05);
        break;
    case Hair::Spiky:
        hair.moveTo(x - rx * 1.02, y - ry * 0.1);
        for (int i = 0; i <= 12; ++i) {
            const double a = M_PI * (1.0 - i / 12.0);
            const double r = (i % 2) ? 1.08 : 1.32;
            hair.lineTo(x + std::cos(a) * rx * r, y - ry * 0.2 - std::sin(a) * ry * r);
        }
        hair.lineTo(x + rx * 1.02, y - ry * 0.1);
        hair.quadTo(x, top + ry * 0.5, x - rx * 1.02, y - ry * 0.1);
        break;
    case Hair::Buzz:
        hair.moveTo(x - rx * 1.0, y - ry * 0.15);
        hair.cubicTo(x - rx * 1.05, top - ry * 0.45, x + rx * 1.05, top - ry * 0.45, x + rx * 1.0, y - ry * 0.15);
        hair.quadTo(x, top + ry * 0.28, x - rx * 1.0, y - ry * 0.15);
        break;
    case Hair::Curly:
        hair.addEllipse(QPointF(x, y - ry * 0.5), rx * 0.98, ry * 0.62);
        for (int i = 0; i < 11; ++i) {
            const double a = M_PI * (i / 10.0);
            hair.addEllipse(QPointF(x - std::cos(a) * rx * 0.95, y - ry * 0.35 - std::sin(a) * ry * 0.75), rx * 0.33, ry * 0.3);
        }
        break;
    case Hair::SlickBack:
        hair.moveTo(x - rx * 1.02, y - ry * 0.15);
        hair.cubicTo(x - rx * 1.1, top - ry * 0.7, x + rx * 1.1, top - ry * 0.7, x + rx * 1.02, y - ry * 0.15);
        hair.quadTo(x + rx * 0.7, top + ry * 0.2, x, top + ry * 0.15);
        hair.quadTo(x - rx * 0.7, top + ry * 0.2, x - rx * 1.02, y - ry * 0.15);
        break;
    case Hair::Cap: {
        hair.moveTo(x - rx * 1.05, y - ry * 0.25);
        hair.cubicTo(x - rx * 1.05, top - ry * 0.75, x + rx * 1.05, top - ry * 0.75, x + rx * 1.05, y - ry * 0.25);
        hair.closeSubpath();
        p.setPen(QPen(f.clothes.darker(200), 0.8));
        p.setBrush(f.clothes.darker(140));
        p.drawPath(hair);
        QPainterPath brim;
        brim.moveTo(x - rx * 1.1, y - ry * 0.25);
        brim.quadTo(x - rx * 0.2, y - ry * 0.05, x + rx * 1.7, y - ry * 0.3);
        brim.quadTo(x + rx * 0.5, y - ry * 0.42, x - rx * 1.1, y - ry * 0.25);
        p.setBrush(f.clothes.darker(170));
        p.drawPath(brim);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(x - rx * 0.1, top + ry * 0.1), rx * 0.2, ry * 0.12);
        return;
    }
    case Hair::Bald:
        hair.moveTo(x - rx * 1.0, y + ry * 0.05);
        hair.quadTo(x - rx * 1.05, y - ry * 0.45, x - rx * 0.85, y - ry * 0.55);
        hair.lineTo(x - rx * 0.78, y);
        hair.closeSubpath();
        hair.moveTo(x + rx * 1.0, y + ry * 0.05);
        hair.quadTo(x + rx * 1.05, y - ry * 0.45, x + rx * 0.85, y - ry * 0.55);
        hair.lineTo(x + rx * 0.78, y);
        hair.closeSubpath();
        break;
    case Hair::Fringe:
        hair.moveTo(x - rx * 1.05, y);
        hair.cubicTo(x - rx * 1.15, top - ry * 0.6, x + rx * 1.15, top - ry * 0.6, x + rx * 1.05, y);
        hair.lineTo(x + rx * 0.8, y - ry * 0.3);
        for (int i = 0; i < 6; ++i) {
            const double xi = x + rx * 0.8 - (i + 0.5) * rx * 1.6 / 6;
            hair.lineTo(xi, y - ry * 0.22);
            hair.lineTo(xi - rx * 0.13, y - ry * 0.42);
        }
        hair.lineTo(x - rx * 0.8, y - ry * 0.3);
        hair.closeSubpath();
        break;
    case Hair::Wavy:
        hair.moveTo(x - rx * 1.08, y + ry * 0.1);
        hair.cubicTo(x - rx * 1.3, top - ry * 0.7, x + rx * 1.3, top - ry * 0.7, x + rx * 1.08, y + ry * 0.1);
        hair.quadTo(x + rx * 0.9, top + ry * 0.6, x + rx * 0.4, top + ry * 0.4);
        hair.quadTo(x, top + ry * 0.6, x - rx * 0.4, top + ry * 0.4);
        hair.quadTo(x - rx * 0.9, top + ry * 0.6, x - rx * 1.08, y + ry * 0.1);
        break;
    case Hair::Mohawk:
        hair.moveTo(x - rx * 0.3, top + ry * 0.2);
        hair.quadTo(x - rx * 0.2, top - ry * 0.6, x, top - ry * 0.7);
        hair.quadTo(x + rx * 0.2, top - ry * 0.6, x + rx * 0.3, top + ry * 0.2);
        hair.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(f.hairColor.red(), f.hairColor.green(), f.hairColor.blue(), 80));
        p.drawEllipse(QPointF(x, y - ry * 0.45), rx * 0.98, ry * 0.55);
        break;
    case Hair::LongStraight:
    case Hair::Ponytail:
    case Hair::Braid:
        hair.moveTo(x - rx * 1.1, y + ry * 0.4);
        hair.cubicTo(x - rx * 1.25, top - ry * 0.65, x + rx * 1.25, top - ry * 0.65, x + rx * 1.1, y + ry * 0.4);
        hair.quadTo(x + rx * 0.9, top + ry * 0.4, x + rx * 0.05, top + ry * 0.25);
        hair.quadTo(x - rx * 0.9, top + ry * 0.4, x - rx * 1.1, y + ry * 0.4);
        break;
    case Hair::SideSwept:
        hair.moveTo(x - rx * 1.1, y + ry * 0.5);
        hair.cubicTo(x - rx * 1.25, top - ry * 0.65, x + rx * 1.25, top - ry * 0.65, x + rx * 1.1, y + ry * 0.5);
        hair.quadTo(x + rx * 0.95, top + ry * 0.5, x + rx * 0.5, top + ry * 0.45);
        hair.quadTo(x - rx * 0.4, top + ry * 0.55, x - rx * 0.85, y - ry * 0.05);
        hair.quadTo(x - rx * 0.95, y + ry * 0.3, x - rx * 1.1, y + ry * 0.5);
        break;
    case Hair::Bob:
        hair.moveTo(x - rx * 1.1, y + ry * 0.3);
        hair.cubicTo(x - rx * 1.25, top - ry * 0.6, x + rx * 1.25, top - ry * 0.6, x + rx * 1.1, y + ry * 0.3);
        hair.lineTo(x + rx * 0.85, y - ry * 0.35);
        hair.lineTo(x - rx * 0.85, y - ry * 0.35);
        hair.closeSubpath();
        break;
    case Hair::Bun:
    case Hair::Hairband:
        hair.moveTo(x - rx * 1.05, y + ry * 0.1);
        hair.cubicTo(x - rx * 1.2, top - ry * 0.6, x + rx * 1.2, top - ry * 0.6, x + rx * 1.05, y + ry * 0.1);
        hair.quadTo(x + rx * 0.8, top + ry * 0.35, x, top + ry * 0.3);
        hair.quadTo(x - rx * 0.8, top + ry * 0.35, x - rx * 1.05, y + ry * 0.1);
        break;
    case Hair::LongCurly:
        hair.addEllipse(QPointF(x, y - ry * 0.55), rx * 0.95, ry * 0.55);
        for (int i = 0; i < 9; ++i) {
            const double a = M_PI * (i / 8.0);
            hair.addEllipse(QPointF(x - std::cos(a) * rx * 0.9, y - ry * 0.4 - std::sin(a) * ry * 0.65), rx * 0.32, ry * 0.28);
        }
        break;
    case Hair::Pigtails:
    case Hair::Pixie:
        hair.moveTo(x - rx * 1.05, y + ry * 0.05);
        hair.cubicTo(x - rx * 1.2, top - ry * 0.65, x + rx * 1.2, top - ry * 0.65, x + rx * 1.05, y + ry * 0.05);
        hair.quadTo(x + rx * 0.7, top + ry * 0.5, x + rx * 0.1, top + ry * 0.55);
        hair.quadTo(x - rx * 0.5, top + ry * 0.45, x - rx * 0.75, top + ry * 0.25);
        hair.quadTo(x - rx * 0.95, top + ry * 0.6, x - rx * 1.05, y + ry * 0.05);
        break;
    }
    p.setPen(QPen(f.hairColor.darker(150), 0.8));
    p.setBrush(f.hairColor);
    p.drawPath(hair.simplified());

    // Accessories in the hair.
    if (f.hair == Hair::Hairband) {
        p.setPen(QPen(f.clothes.lighter(130), 3.0, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(x - rx * 1.02, top + ry * 0.05, rx * 2.04, ry * 1.2), 20 * 16, 140 * 16);
    } else if (f.hair == Hair::Pigtails || f.hair == Hair::Ponytail) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xff, 0x50, 0x80));
        if (f.hair == Hair::Pigtails) {
            p.drawEllipse(QPointF(x - rx * 1.2, y - ry * 0.05), 2.5, 2.5);
            p.drawEllipse(QPointF(x + rx * 1.2, y - ry * 0.05), 2.5, 2.5);
        } else {
            p.drawEllipse(QPointF(x + rx * 1.15, y - ry * 0.2), 2.5, 2.5);
        }
    } else if (f.hair == Hair::SideSwept) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xff, 0xe0, 0x40));
        p.drawEllipse(QPointF(x + rx * 0.75, top + ry * 0.35), 2.2, 2.2);
    }
}

void Portrait(QPainter& p, const QSize& size, const Face& f)
{
    Background(p, size, f.background);
    Geometry g;
    g.head = QPointF(size.width() / 2.0, size.height() * 0.42);
    g.rx = size.width() * (f.woman ? 0.2 : 0.215);
    g.ry = size.height() * (f.woman ? 0.235 : 0.245);
    p.save();
    p.setClipPath(RoundedRect(QRectF(0, 0, size.width(), size.height()), 6));
    BackHair(p, f, g);
    Body(p, size, f, g);
    FaceFeatures(p, f, g);
    FrontHair(p, f, g);
    p.restore();
    p.setPen(QPen(QColor(0xc8, 0xa0, 0x48), 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(0.75, 0.75, size.width() - 1.5, size.height() - 1.5), 6, 6);
}

std::vector<Face> Faces()
{
    const QColor light(0xf8, 0xd8, 0xb8), fair(0xf4, 0xcc, 0xa4), tan(0xdc, 0xa8, 0x78),
        olive(0xc8, 0x96, 0x64), brown(0x9c, 0x68, 0x40), deep(0x70, 0x48, 0x2c);
    const QColor black(0x1e, 0x1a, 0x18), darkBrown(0x4a, 0x2c, 0x16), chestnut(0x7a, 0x40, 0x1c),
        auburn(0xa0, 0x3c, 0x18), blond(0xd8, 0xb0, 0x58), grey(0xa8, 0xa8, 0xa8), wine(0x6a, 0x18, 0x2a);
    std::vector<Face> faces;
    // Men.
    faces.push_back({false, Hair::ShortPart, fair, black, QColor(0x2a, 0x5c, 0xa8), QColor(0x9a, 0xc4, 0xe8), false, false, false, false, true});
    faces.push_back({false, Hair::Spiky, light, chestnut, QColor(0xd0, 0x40, 0x30), QColor(0xf0, 0xd0, 0x90)});
    faces.push_back({false, Hair::Buzz, brown, black, QColor(0x3a, 0x8a, 0x48), QColor(0xb8, 0xdc, 0xb0), false, true});
    faces.push_back({false, Hair::Curly, tan, darkBrown, QColor(0xe0, 0xa0, 0x20), QColor(0xd0, 0xb8, 0xe8)});
    faces.push_back({false, Hair::SlickBack, fair, black, QColor(0x30, 0x30, 0x38), QColor(0xc8, 0xc8, 0xd0), true, false, false, false, true});
    faces.push_back({false, Hair::Cap, olive, darkBrown, QColor(0x1e, 0x7a, 0x9a), QColor(0xa8, 0xe0, 0xe0)});
    faces.push_back({false, Hair::Bald, light, grey, QColor(0x7a, 0x4a, 0x2a), QColor(0xe8, 0xd4, 0xb0), true, true});
    faces.push_back({false, Hair::Fringe, fair, black, QColor(0x6a, 0x3a, 0x9a), QColor(0xf0, 0xb8, 0xc8)});
    faces.push_back({false, Hair::Wavy, deep, black, QColor(0xf0, 0xf0, 0xf0), QColor(0xf0, 0xa8, 0x60), false, false, true});
    faces.push_back({false, Hair::Mohawk, tan, auburn, QColor(0x20, 0x20, 0x20), QColor(0x90, 0xd8, 0x90)});
    // Women.
    faces.push_back({true, Hair::LongStraight, light, black, QColor(0xd0, 0x30, 0x60), QColor(0xf8, 0xc8, 0xd8), false, false, false, true});
    faces.push_back({true, Hair::Bob, fair, darkBrown, QColor(0x28, 0x8a, 0x8a), QColor(0xf0, 0xe0, 0xa0)});
    faces.push_back({true, Hair::Ponytail, tan, chestnut, QColor(0xf0, 0x90, 0x20), QColor(0xa8, 0xd0, 0xf0)});
    faces.push_back({true, Hair::Bun, fair, black, QColor(0x5a, 0x2a, 0x7a), QColor(0xd8, 0xc8, 0xf0), false, false, false, true});
    faces.push_back({true, Hair::LongCurly, olive, auburn, QColor(0x2a, 0x9a, 0x50), QColor(0xf8, 0xd8, 0xa8)});
    faces.push_back({true, Hair::Pigtails, light, blond, QColor(0x40, 0x80, 0xe0), QColor(0xff, 0xe0, 0xe8)});
    faces.push_back({true, Hair::Pixie, brown, black, QColor(0xe8, 0xd0, 0x20), QColor(0xb0, 0xd8, 0xc8), false, false, false, true});
    faces.push_back({true, Hair::Hairband, fair, chestnut, QColor(0xe0, 0x50, 0x50), QColor(0xc8, 0xe0, 0xf8), true});
    faces.push_back({true, Hair::SideSwept, deep, wine, QColor(0xf0, 0xf0, 0xf0), QColor(0xf0, 0xc0, 0x80), false, false, false, true});
    faces.push_back({true, Hair::Braid, tan, darkBrown, QColor(0x1e, 0x40, 0x90), QColor(0xe8, 0xb0, 0xb0)});
    return faces;
}

}  // namespace

void AddPortraitPictures(PictureList& list)
{
    const std::vector<Face> faces = Faces();
    for (int i = 0; i < int(faces.size()); ++i) {
        const Face f = faces[i];
        AddPicture(list, 240 + i, QSize(85, 90), [f](QPainter& p, const QSize& s) { Portrait(p, s, f); });
    }
}
