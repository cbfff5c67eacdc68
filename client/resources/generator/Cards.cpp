// Card faces (large 92 x 122 and small 72 x 95), the card back and the fans of backs.
#include <cmath>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QRadialGradient>

#include "Catalog.h"
#include "Paint.h"

using namespace Paint;

namespace {

const QSize kLargeCard(92, 122);
const QSize kSmallCard(72, 95);
const QSize kBack(78, 103);

const QColor kGold(0xe0, 0xa8, 0x20);
const QColor kGoldDark(0x9a, 0x6a, 0x0a);
const QColor kSkin(0xf6, 0xd2, 0xac);
const QColor kInk(0x22, 0x1a, 0x14);

QString RankText(int rank)
{
    switch (rank) {
    case 11: return QStringLiteral("J");
    case 12: return QStringLiteral("Q");
    case 13: return QStringLiteral("K");
    case 14: return QStringLiteral("A");
    case 15: return QStringLiteral("2");
    default: return QString::number(rank);
    }
}

void CardBody(QPainter& p, const QRectF& r)
{
    const QRectF body = r.adjusted(0.5, 0.5, -0.5, -0.5);
    const double radius = r.width() * 0.075;
    QLinearGradient paper(body.topLeft(), body.bottomRight());
    paper.setColorAt(0, QColor(0xff, 0xff, 0xff));
    paper.setColorAt(1, QColor(0xf3, 0xf0, 0xe8));
    p.setPen(QPen(QColor(0x70, 0x70, 0x70), 1.0));
    p.setBrush(paper);
    p.drawPath(RoundedRect(body, radius));
}

// Text as a filled outline, squeezed sideways to fit maxWidth.
void RankGlyph(QPainter& p, const QString& text, const QRectF& box, const QColor& color)
{
    QFont font = UiFont(box.height() * 1.18, true);
    QPainterPath path;
    path.addText(0, 0, font, text);
    QRectF bounds = path.boundingRect();
    const double sy = box.height() / bounds.height();
    double sx = sy;
    if (bounds.width() * sx > box.width())
        sx = box.width() / bounds.width();
    QTransform t;
    t.translate(box.center().x() - bounds.width() * sx / 2, box.top());
    t.scale(sx, sy);
    t.translate(-bounds.left(), -bounds.top());
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawPath(t.map(path));
    p.restore();
}

struct Layout {
    double w, h;
    double margin;     // from the card edge to the index
    double indexW;     // width of the index column
    double rankH;      // height of the rank glyph
    double suitH;      // height of the index suit symbol
    QRectF centre;     // area of the pips or the court panel
};

Layout LayoutFor(const QSizeF& size)
{
    Layout l;
    l.w = size.width();
    l.h = size.height();
    const bool small = l.w < 80;
    l.margin = l.w * 0.035;
    l.indexW = l.w * (small ? 0.19 : 0.175);
    l.rankH = l.h * (small ? 0.135 : 0.12);
    l.suitH = l.h * (small ? 0.1 : 0.09);
    const double side = l.margin + l.indexW + l.w * 0.02;
    l.centre = QRectF(side, l.h * 0.08, l.w - 2 * side, l.h * 0.84);
    return l;
}

void CornerIndex(QPainter& p, const Layout& l, const QString& rank, Suit suit)
{
    const QColor color = SuitColor(suit);
    for (int corner = 0; corner < 2; ++corner) {
        p.save();
        if (corner == 1) {
            p.translate(l.w, l.h);
            p.rotate(180);
        }
        const QRectF rankBox(l.margin, l.margin + l.h * 0.012, l.indexW, l.rankH);
        RankGlyph(p, rank, rankBox, color);
        const QRectF suitBox(l.margin + l.indexW * 0.12, rankBox.bottom() + l.h * 0.02,
                             l.indexW * 0.76, l.suitH);
        p.setPen(Qt::NoPen);
        p.setBrush(color);
        p.drawPath(SuitPath(suit, suitBox));
        p.restore();
    }
}

void Pip(QPainter& p, Suit suit, QPointF centre, double size, bool upsideDown)
{
    p.save();
    p.translate(centre);
    if (upsideDown)
        p.rotate(180);
    p.setPen(Qt::NoPen);
    p.setBrush(SuitColor(suit));
    p.drawPath(SuitPath(suit, QRectF(-size / 2, -size / 2, size, size)));
    p.restore();
}

void Pips(QPainter& p, const Layout& l, Suit suit, int count)
{
    // Pip places in a unit box: columns 0, 0.5, 1; rows 0 (top) to 1 (bottom).
    static const std::vector<std::vector<QPointF>> places = {
        {},
        {{0.5, 0.5}},
        {{0.5, 0}, {0.5, 1}},
        {{0.5, 0}, {0.5, 0.5}, {0.5, 1}},
        {{0, 0}, {1, 0}, {0, 1}, {1, 1}},
        {{0, 0}, {1, 0}, {0.5, 0.5}, {0, 1}, {1, 1}},
        {{0, 0}, {1, 0}, {0, 0.5}, {1, 0.5}, {0, 1}, {1, 1}},
        {{0, 0}, {1, 0}, {0.5, 0.25}, {0, 0.5}, {1, 0.5}, {0, 1}, {1, 1}},
        {{0, 0}, {1, 0}, {0.5, 0.25}, {0, 0.5}, {1, 0.5}, {0.5, 0.75}, {0, 1}, {1, 1}},
        {{0, 0}, {1, 0}, {0, 1.0 / 3}, {1, 1.0 / 3}, {0.5, 0.5}, {0, 2.0 / 3}, {1, 2.0 / 3},
         {0, 1}, {1, 1}},
        {{0, 0}, {1, 0}, {0.5, 1.0 / 6}, {0, 1.0 / 3}, {1, 1.0 / 3}, {0, 2.0 / 3}, {1, 2.0 / 3},
         {0.5, 5.0 / 6}, {0, 1}, {1, 1}},
    };
    const double size = l.w * 0.2;
    const QRectF area = l.centre.adjusted(size * 0.55, size * 0.6, -size * 0.55, -size * 0.6);
    for (const QPointF& u : places[count]) {
        const QPointF c(area.left() + u.x() * area.width(), area.top() + u.y() * area.height());
        Pip(p, suit, c, size, u.y() > 0.5);
    }
}

void Ace(QPainter& p, const Layout& l, Suit suit)
{
    const double size = l.w * 0.5;
    const QPointF c = l.centre.center();
    if (suit == Suit::Spades) {
        // The ace of spades traditionally carries an ornament around its pip.
        p.setPen(QPen(kGoldDark, l.w * 0.02));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(c, size * 0.78, size * 0.86);
        p.setPen(QPen(kGold, l.w * 0.012, Qt::DotLine));
        p.drawEllipse(c, size * 0.7, size * 0.78);
    }
    Pip(p, suit, c, suit == Suit::Spades ? size * 1.05 : size, false);
}

// The colours a court figure wears, by suit.
struct Dress {
    QColor robe, trim, hair;
};

Dress DressFor(Suit suit, int rank)
{
    const QColor red(0xc4, 0x1a, 0x22), blue(0x23, 0x4c, 0xa8), navy(0x1a, 0x25, 0x50);
    Dress d;
    switch (suit) {
    case Suit::Hearts: d = {red, blue, QColor(0x8a, 0x5a, 0x1e)}; break;
    case Suit::Diamonds: d = {QColor(0xd8, 0x5a, 0x10), red, QColor(0xb0, 0x7a, 0x22)}; break;
    case Suit::Clubs: d = {blue, red, QColor(0x40, 0x2a, 0x14)}; break;
    case Suit::Spades: d = {navy, red, QColor(0x24, 0x1c, 0x18)}; break;
    }
    if (rank == 13)
        d.hair = QColor(0xe8, 0xe4, 0xdc);   // the kings are old men
    return d;
}

// One half of a double-headed court card, drawn in a box of w x h whose bottom edge is the
// middle of the card: head and shoulders, the suit's colours, what the figure holds.
void CourtHalf(QPainter& p, double w, double h, Suit suit, int rank)
{
    const Dress dress = DressFor(suit, rank);
    const QPointF head(w * 0.5, h * 0.4);
    const double hr = w * 0.165;        // head radius across
    const double hv = h * 0.2;          // head radius down
    const double line = qMax(0.6, w * 0.016);
    const QPen outline(kInk, line, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);

    // Long hair behind the head and shoulders for the queens.
    if (rank == 12) {
        QPainterPath hair;
        hair.moveTo(head.x() - hr * 1.05, head.y() - hv * 0.5);
        hair.cubicTo(head.x() - hr * 1.6, head.y() + hv * 0.6, head.x() - hr * 1.5, head.y() + hv * 1.3,
                     head.x() - hr * 1.25, head.y() + hv * 1.6);
        hair.lineTo(head.x() + hr * 1.25, head.y() + hv * 1.6);
        hair.cubicTo(head.x() + hr * 1.5, head.y() + hv * 1.3, head.x() + hr * 1.6, head.y() + hv * 0.6,
                     head.x() + hr * 1.05, head.y() - hv * 0.5);
        hair.closeSubpath();
        p.setPen(outline);
        p.setBrush(dress.hair);
        p.drawPath(hair);
    }

    // Shoulders and robe down to the middle of the card.
    const double neckY = head.y() + hv * 0.85;
    QPainterPath robe;
    robe.moveTo(head.x() - hr * 0.7, neckY);
    robe.cubicTo(w * 0.3, neckY + h * 0.02, w * 0.12, neckY + h * 0.04, w * 0.09, neckY + h * 0.2);
    robe.lineTo(w * 0.07, h + 1);
    robe.lineTo(w * 0.93, h + 1);
    robe.lineTo(w * 0.91, neckY + h * 0.2);
    robe.cubicTo(w * 0.88, neckY + h * 0.04, w * 0.7, neckY + h * 0.02, head.x() + hr * 0.7, neckY);
    robe.closeSubpath();
    p.setPen(outline);
    p.setBrush(dress.robe);
    p.drawPath(robe);

    p.save();
    p.setClipPath(robe);
    // Pleats.
    p.setPen(QPen(dress.robe.darker(150), line * 0.8));
    for (double x : {0.2, 0.32, 0.68, 0.8})
        p.drawLine(QPointF(w * x, neckY + h * 0.18), QPointF(w * x, h));
    // Sash from the shoulder across the chest, edged in gold.
    QPainterPath sash;
    sash.moveTo(w * 0.12, neckY + h * 0.04);
    sash.lineTo(w * 0.28, neckY + h * 0.0);
    sash.lineTo(w * 0.95, h * 0.98);
    sash.lineTo(w * 0.78, h * 1.05);
    sash.closeSubpath();
    p.setPen(QPen(kGold, line * 1.2));
    p.setBrush(dress.trim);
    p.drawPath(sash);
    p.restore();

    // Emblem of the suit on the chest.
    const QPointF badge(w * 0.3, h * 0.86);
    p.setPen(QPen(kGold, line));
    p.setBrush(Qt::white);
    p.drawEllipse(badge, w * 0.085, w * 0.085);
    p.setPen(Qt::NoPen);
    p.setBrush(SuitColor(suit));
    p.drawPath(SuitPath(suit, QRectF(badge.x() - w * 0.055, badge.y() - w * 0.055, w * 0.11, w * 0.11)));

    // Collar: ermine for king and queen, a gold ruff for the jack.
    QPainterPath collar;
    collar.moveTo(head.x() - hr * 1.45, neckY + h * 0.01);
    collar.quadTo(head.x(), neckY + h * 0.22, head.x() + hr * 1.45, neckY + h * 0.01);
    collar.quadTo(head.x(), neckY + h * 0.08, head.x() - hr * 1.45, neckY + h * 0.01);
    p.setPen(outline);
    p.setBrush(rank == 11 ? kGold : QColor(Qt::white));
    p.drawPath(collar);
    if (rank != 11) {
        p.setPen(Qt::NoPen);
        p.setBrush(kInk);
        for (double t : {-0.8, -0.3, 0.3, 0.8})
            p.drawEllipse(QPointF(head.x() + t * hr, neckY + h * (0.1 - std::abs(t) * 0.05)), line * 0.7, line * 1.1);
    }

    // Face.
    p.setPen(outline);
    p.setBrush(kSkin);
    p.drawEllipse(head, hr, hv);
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    const double eyeY = head.y() - hv * 0.05;
    p.drawEllipse(QPointF(head.x() - hr * 0.38, eyeY), hr * 0.11, hv * 0.1);
    p.drawEllipse(QPointF(head.x() + hr * 0.38, eyeY), hr * 0.11, hv * 0.1);
    p.setPen(QPen(kInk, line * 0.8, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawLine(QPointF(head.x() - hr * 0.6, eyeY - hv * 0.25), QPointF(head.x() - hr * 0.18, eyeY - hv * 0.3));
    p.drawLine(QPointF(head.x() + hr * 0.18, eyeY - hv * 0.3), QPointF(head.x() + hr * 0.6, eyeY - hv * 0.25));
    p.drawLine(QPointF(head.x() + hr * 0.02, eyeY + hv * 0.05), QPointF(head.x() - hr * 0.1, eyeY + hv * 0.35));
    p.setPen(QPen(QColor(0xb0, 0x20, 0x20), line));
    p.drawArc(QRectF(head.x() - hr * 0.3, head.y() + hv * 0.35, hr * 0.6, hv * 0.3), 200 * 16, 140 * 16);
    if (rank == 12) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xff, 0x80, 0x80, 120));
        p.drawEllipse(QPointF(head.x() - hr * 0.55, head.y() + hv * 0.3), hr * 0.2, hv * 0.12);
        p.drawEllipse(QPointF(head.x() + hr * 0.55, head.y() + hv * 0.3), hr * 0.2, hv * 0.12);
    }

    // Kings: a full beard and moustache.
    if (rank == 13) {
        QPainterPath beard;
        beard.moveTo(head.x() - hr * 0.95, head.y() + hv * 0.1);
        beard.cubicTo(head.x() - hr * 0.9, head.y() + hv * 1.2, head.x() - hr * 0.3, head.y() + hv * 1.6,
                      head.x(), head.y() + hv * 1.65);
        beard.cubicTo(head.x() + hr * 0.3, head.y() + hv * 1.6, head.x() + hr * 0.9, head.y() + hv * 1.2,
                      head.x() + hr * 0.95, head.y() + hv * 0.1);
        beard.quadTo(head.x() + hr * 0.6, head.y() + hv * 0.7, head.x() + hr * 0.2, head.y() + hv * 0.3);
        beard.quadTo(head.x(), head.y() + hv * 0.22, head.x() - hr * 0.2, head.y() + hv * 0.3);
        beard.quadTo(head.x() - hr * 0.6, head.y() + hv * 0.7, head.x() - hr * 0.95, head.y() + hv * 0.1);
        beard.closeSubpath();
        p.setPen(outline);
        p.setBrush(dress.hair);
        p.drawPath(beard);
        p.setPen(QPen(kInk, line * 0.5));
        for (int i = -2; i <= 2; ++i)
            p.drawLine(QPointF(head.x() + i * hr * 0.25, head.y() + hv * 0.8),
                       QPointF(head.x() + i * hr * 0.2, head.y() + hv * 1.35));
    }

    // Headwear.
    p.setPen(outline);
    const double top = head.y() - hv;
    if (rank == 13) {
        QPainterPath crown;
        const double cw = hr * 1.05, ch = hv * 1.0;
        crown.moveTo(head.x() - cw, top + hv * 0.3);
        crown.lineTo(head.x() - cw * 1.1, top - ch * 0.55);
        crown.lineTo(head.x() - cw * 0.5, top - ch * 0.15);
        crown.lineTo(head.x(), top - ch * 0.8);
        crown.lineTo(head.x() + cw * 0.5, top - ch * 0.15);
        crown.lineTo(head.x() + cw * 1.1, top - ch * 0.55);
        crown.lineTo(head.x() + cw, top + hv * 0.3);
        crown.closeSubpath();
        p.setBrush(kGold);
        p.drawPath(crown);
        p.setBrush(dress.trim);
        p.drawRect(QRectF(head.x() - cw, top + hv * 0.05, cw * 2, hv * 0.25));
        p.setBrush(Qt::white);
        for (double x : {-1.1, 0.0, 1.1})
            p.drawEllipse(QPointF(head.x() + x * cw, top - ch * (x == 0.0 ? 0.8 : 0.55)), hr * 0.13, hr * 0.13);
    } else if (rank == 12) {
        // Fringe of hair under a tiara.
        p.setBrush(dress.hair);
        QPainterPath fringe;
        fringe.moveTo(head.x() - hr, head.y() - hv * 0.1);
        fringe.quadTo(head.x() - hr, top + hv * 0.2, head.x(), top + hv * 0.25);
        fringe.quadTo(head.x() + hr, top + hv * 0.2, head.x() + hr, head.y() - hv * 0.1);
        fringe.quadTo(head.x() + hr * 0.6, top + hv * 0.6, head.x(), top + hv * 0.55);
        fringe.quadTo(head.x() - hr * 0.6, top + hv * 0.6, head.x() - hr, head.y() - hv * 0.1);
        p.drawPath(fringe);
        QPainterPath tiara;
        const double cw = hr * 0.95;
        tiara.moveTo(head.x() - cw, top + hv * 0.3);
        tiara.lineTo(head.x() - cw * 0.75, top - hv * 0.25);
        tiara.lineTo(head.x() - cw * 0.35, top + hv * 0.05);
        tiara.lineTo(head.x(), top - hv * 0.55);
        tiara.lineTo(head.x() + cw * 0.35, top + hv * 0.05);
        tiara.lineTo(head.x() + cw * 0.75, top - hv * 0.25);
        tiara.lineTo(head.x() + cw, top + hv * 0.3);
        tiara.closeSubpath();
        p.setBrush(kGold);
        p.drawPath(tiara);
        p.setBrush(dress.trim);
        p.drawEllipse(QPointF(head.x(), top - hv * 0.05), hr * 0.17, hr * 0.17);
    } else {
        // Jacks: hair under a flat cap with a feather.
        p.setBrush(dress.hair);
        QPainterPath hair;
        hair.moveTo(head.x() - hr * 1.1, head.y() + hv * 0.35);
        hair.quadTo(head.x() - hr * 1.35, top, head.x(), top + hv * 0.05);
        hair.quadTo(head.x() + hr * 1.35, top, head.x() + hr * 1.1, head.y() + hv * 0.35);
        hair.quadTo(head.x() + hr * 0.7, top + hv * 0.5, head.x(), top + hv * 0.45);
        hair.quadTo(head.x() - hr * 0.7, top + hv * 0.5, head.x() - hr * 1.1, head.y() + hv * 0.35);
        p.drawPath(hair);
        QPainterPath feather;
        feather.moveTo(head.x() - hr * 0.4, top - hv * 0.3);
        feather.cubicTo(head.x() - hr * 1.2, top - hv * 1.2, head.x() - hr * 2.2, top - hv * 0.8,
                        head.x() - hr * 2.4, top - hv * 0.05);
        feather.cubicTo(head.x() - hr * 1.9, top - hv * 0.6, head.x() - hr * 1.2, top - hv * 0.5,
                        head.x() - hr * 0.4, top - hv * 0.3);
        p.setPen(QPen(kInk, line * 0.7));
        p.setBrush(Qt::white);
        p.drawPath(feather);
        QPainterPath cap;
        cap.moveTo(head.x() - hr * 1.4, top + hv * 0.3);
        cap.quadTo(head.x() - hr * 1.2, top - hv * 0.8, head.x() + hr * 0.2, top - hv * 0.75);
        cap.quadTo(head.x() + hr * 1.5, top - hv * 0.6, head.x() + hr * 1.4, top + hv * 0.3);
        cap.closeSubpath();
        p.setPen(outline);
        p.setBrush(dress.trim);
        p.drawPath(cap);
        p.setPen(QPen(kGold, line * 1.5));
        p.drawLine(QPointF(head.x() - hr * 1.35, top + hv * 0.2), QPointF(head.x() + hr * 1.35, top + hv * 0.2));
    }

    // What each figure holds on its right: a sword, a flower, a halberd.
    p.setPen(outline);
    const QPointF hand(w * 0.84, h * 0.8);
    if (rank == 13) {
        const double x = hand.x();
        p.setBrush(QColor(0xdc, 0xdc, 0xe4));
        QPainterPath blade;
        blade.moveTo(x, h * 0.04);
        blade.lineTo(x + w * 0.03, h * 0.1);
        blade.lineTo(x + w * 0.03, h * 0.7);
        blade.lineTo(x - w * 0.03, h * 0.7);
        blade.lineTo(x - w * 0.03, h * 0.1);
        blade.closeSubpath();
        p.drawPath(blade);
        p.setBrush(kGold);
        p.drawRect(QRectF(x - w * 0.09, h * 0.68, w * 0.18, h * 0.05));
    } else if (rank == 12) {
        const QPointF f(w * 0.82, h * 0.56);
        p.setPen(QPen(QColor(0x2a, 0x7a, 0x2a), line * 1.3));
        p.drawLine(f, hand);
        p.setPen(outline);
        p.setBrush(dress.trim.lighter(115));
        for (int i = 0; i < 5; ++i) {
            const double a = i * 2 * M_PI / 5;
            p.drawEllipse(QPointF(f.x() + std::cos(a) * w * 0.045, f.y() + std::sin(a) * w * 0.045),
                          w * 0.04, w * 0.04);
        }
        p.setBrush(kGold);
        p.drawEllipse(f, w * 0.03, w * 0.03);
    } else {
        const double x = hand.x();
        p.setPen(QPen(QColor(0x6a, 0x44, 0x1e), line * 1.8));
        p.drawLine(QPointF(x, h * 0.12), QPointF(x, h));
        p.setPen(outline);
        p.setBrush(QColor(0xdc, 0xdc, 0xe4));
        QPainterPath blade;
        blade.moveTo(x, h * 0.02);
        blade.lineTo(x + w * 0.035, h * 0.13);
        blade.lineTo(x, h * 0.2);
        blade.lineTo(x - w * 0.035, h * 0.13);
        blade.closeSubpath();
        blade.moveTo(x, h * 0.2);
        blade.quadTo(x - w * 0.15, h * 0.22, x - w * 0.13, h * 0.36);
        blade.quadTo(x - w * 0.06, h * 0.3, x, h * 0.31);
        blade.closeSubpath();
        p.drawPath(blade);
    }
    p.setPen(outline);
    p.setBrush(kSkin);
    p.drawEllipse(hand, w * 0.05, w * 0.045);
}

void Court(QPainter& p, const Layout& l, Suit suit, int rank)
{
    const QRectF panel = l.centre.adjusted(-l.w * 0.02, 0, l.w * 0.02, 0);
    const QColor frame = SuitColor(suit);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xfb, 0xf1, 0xd2));
    p.drawRect(panel);

    p.save();
    p.setClipRect(panel);
    for (int half = 0; half < 2; ++half) {
        p.save();
        if (half == 0) {
            p.translate(panel.topLeft());
        } else {
            p.translate(panel.bottomRight());
            p.rotate(180);
        }
        CourtHalf(p, panel.width(), panel.height() / 2, suit, rank);
        p.restore();
    }
    p.restore();

    // The middle line and the frame.
    p.setPen(QPen(kGoldDark, qMax(0.8, l.w * 0.012)));
    p.drawLine(QPointF(panel.left(), panel.center().y()), QPointF(panel.right(), panel.center().y()));
    p.setPen(QPen(frame, qMax(1.0, l.w * 0.016)));
    p.setBrush(Qt::NoBrush);
    p.drawRect(panel);

    // Suit marks in the panel corners beside the heads.
    const double s = l.w * 0.13;
    Pip(p, suit, QPointF(panel.left() + s * 0.75, panel.top() + s * 0.75), s, false);
    Pip(p, suit, QPointF(panel.right() - s * 0.75, panel.bottom() - s * 0.75), s, true);
}

void JokerFigure(QPainter& p, const QRectF& area, bool big)
{
    const double w = area.width();
    const QPointF head(area.center().x(), area.top() + area.height() * 0.4);
    const double hr = w * 0.22;
    const double line = qMax(0.7, w * 0.02);
    const QPen outline(kInk, line, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    const QColor a = big ? QColor(0xd0, 0x10, 0x1e) : QColor(0x20, 0x20, 0x24);
    const QColor b = big ? QColor(0xf2, 0xb8, 0x10) : QColor(0x9a, 0x9a, 0xa0);
    const QColor c = big ? QColor(0x20, 0x50, 0xb0) : QColor(0x50, 0x50, 0x56);

    // Body with a diamond pattern.
    QPainterPath body;
    body.moveTo(head.x() - hr * 0.6, head.y() + hr);
    body.quadTo(area.left() + w * 0.02, area.bottom() - area.height() * 0.2, area.left() + w * 0.06,
                area.bottom());
    body.lineTo(area.right() - w * 0.06, area.bottom());
    body.quadTo(area.right() - w * 0.02, area.bottom() - area.height() * 0.2, head.x() + hr * 0.6,
                head.y() + hr);
    body.closeSubpath();
    p.setPen(outline);
    p.setBrush(a);
    p.drawPath(body);
    p.save();
    p.setClipPath(body);
    p.setPen(Qt::NoPen);
    p.setBrush(b);
    const double step = w * 0.2;
    for (double y = head.y() + hr; y < area.bottom() + step; y += step)
        for (double x = area.left(); x < area.right() + step; x += step) {
            QPolygonF d;
            const double ox = (int((y - head.y()) / step) % 2) ? step / 2 : 0;
            d << QPointF(x + ox, y - step / 2) << QPointF(x + ox + step / 4, y)
              << QPointF(x + ox, y + step / 2) << QPointF(x + ox - step / 4, y);
            p.drawPolygon(d);
        }
    p.restore();

    // Ruff of points around the neck.
    QPainterPath ruff;
    const int points = 7;
    const double ruffW = hr * 3.2;
    const double rootY = head.y() + hr * 0.85;
    ruff.moveTo(head.x() - ruffW / 2, rootY);
    for (int i = 0; i < points; ++i) {
        const double x0 = head.x() - ruffW / 2 + ruffW * i / points;
        const double x1 = x0 + ruffW / points;
        const double depth = hr * (0.75 - std::abs((x0 + x1) / 2 - head.x()) / ruffW * 0.5);
        ruff.lineTo((x0 + x1) / 2, rootY + depth);
        ruff.lineTo(x1, rootY);
    }
    ruff.closeSubpath();
    p.setPen(outline);
    p.setBrush(Qt::white);
    p.drawPath(ruff);

    // Face with a wide grin.
    p.setBrush(big ? kSkin : QColor(0xee, 0xee, 0xee));
    p.drawEllipse(head, hr, hr * 1.05);
    p.setBrush(kInk);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(head.x() - hr * 0.38, head.y() - hr * 0.1), hr * 0.11, hr * 0.15);
    p.drawEllipse(QPointF(head.x() + hr * 0.38, head.y() - hr * 0.1), hr * 0.11, hr * 0.15);
    p.setBrush(big ? QColor(0xd0, 0x10, 0x1e) : QColor(0x30, 0x30, 0x30));
    p.drawEllipse(QPointF(head.x(), head.y() + hr * 0.18), hr * 0.14, hr * 0.12);
    p.setPen(QPen(kInk, line));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(head.x() - hr * 0.55, head.y() + hr * 0.05, hr * 1.1, hr * 0.65), 200 * 16, 140 * 16);

    // Three-pointed hat with bells.
    const double top = head.y() - hr * 0.75;
    const QColor hatColors[3] = {a, c, a};
    const QPointF tips[3] = {QPointF(head.x() - hr * 2.0, top + hr * 0.6),
                             QPointF(head.x(), top - hr * 1.9),
                             QPointF(head.x() + hr * 2.0, top + hr * 0.6)};
    for (int i = 0; i < 3; ++i) {
        QPainterPath cone;
        const double bx = head.x() + (i - 1) * hr * 0.6;
        cone.moveTo(bx - hr * 0.55, top + hr * 0.1);
        cone.quadTo(bx - hr * 0.2 + (i - 1) * hr * 0.5, top - hr * 1.0, tips[i].x(), tips[i].y());
        cone.quadTo(bx + hr * 0.3 + (i - 1) * hr * 0.4, top - hr * 0.5, bx + hr * 0.55, top + hr * 0.1);
        cone.closeSubpath();
        p.setPen(outline);
        p.setBrush(hatColors[i]);
        p.drawPath(cone);
    }
    p.setBrush(b);
    p.drawRect(QRectF(head.x() - hr * 1.05, top, hr * 2.1, hr * 0.32));
    for (const QPointF& t : tips)
        p.drawEllipse(t, hr * 0.22, hr * 0.22);
}

void Joker(QPainter& p, const Layout& l, bool big)
{
    const QColor color = big ? QColor(0xd0, 0x10, 0x1e) : QColor(0x14, 0x14, 0x18);
    const QString word = QStringLiteral("JOKER");
    for (int corner = 0; corner < 2; ++corner) {
        p.save();
        if (corner == 1) {
            p.translate(l.w, l.h);
            p.rotate(180);
        }
        const double letterH = l.h * 0.07;
        for (int i = 0; i < word.size(); ++i) {
            const QRectF box(l.margin, l.margin + l.h * 0.01 + i * letterH * 1.22, l.indexW, letterH);
            RankGlyph(p, word.mid(i, 1), box, color);
        }
        p.restore();
    }
    JokerFigure(p, l.centre.adjusted(-l.w * 0.02, l.h * 0.05, l.w * 0.02, -l.h * 0.01), big);
}

void CardFace(QPainter& p, const QSize& size, int code)
{
    const Layout l = LayoutFor(QSizeF(size));
    CardBody(p, QRectF(QPointF(0, 0), QSizeF(size)));
    if (code == 16 || code == 17) {
        Joker(p, l, code == 17);
        return;
    }
    const Suit suit = Suit(code / 16);
    const int rank = code % 16;
    CornerIndex(p, l, RankText(rank), suit);
    if (rank == 14)
        Ace(p, l, suit);
    else if (rank == 15)
        Pips(p, l, suit, 2);
    else if (rank >= 11)
        Court(p, l, suit, rank);
    else
        Pips(p, l, suit, rank);
}

// The card back, also used by the fans.
void DrawCardBack(QPainter& p, const QRectF& r)
{
    p.save();
    const double radius = r.width() * 0.075;
    p.setPen(QPen(QColor(0x60, 0x60, 0x60), 1.0));
    p.setBrush(Qt::white);
    const QRectF outer = r.adjusted(0.5, 0.5, -0.5, -0.5);
    p.drawPath(RoundedRect(outer, radius));

    const double border = r.width() * 0.065;
    const QRectF inner = outer.adjusted(border, border, -border, -border);
    const QPainterPath innerPath = RoundedRect(inner, radius * 0.6);
    QLinearGradient red(inner.topLeft(), inner.bottomRight());
    red.setColorAt(0, QColor(0xb8, 0x1c, 0x24));
    red.setColorAt(1, QColor(0x86, 0x0e, 0x16));
    p.setPen(Qt::NoPen);
    p.setBrush(red);
    p.drawPath(innerPath);

    // Lattice of fine diagonal lines with small diamonds where they cross.
    p.setClipPath(innerPath);
    const double step = r.width() * 0.085;
    p.setPen(QPen(QColor(0xff, 0xd8, 0xc8, 150), qMax(0.7, r.width() * 0.011)));
    const double span = inner.width() + inner.height();
    for (double d = -span; d < span; d += step) {
        p.drawLine(QPointF(inner.left() + d, inner.top()), QPointF(inner.left() + d + inner.height(), inner.bottom()));
        p.drawLine(QPointF(inner.left() + d, inner.bottom()), QPointF(inner.left() + d + inner.height(), inner.top()));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xff, 0xe6, 0xb0, 220));
    for (double y = inner.top(); y < inner.bottom() + step; y += step / 2) {
        const int row = int(std::lround((y - inner.top()) / (step / 2)));
        for (double x = inner.left() + ((row % 2) ? step / 2 : 0); x < inner.right() + step; x += step) {
            const double s = step * 0.16;
            QPolygonF d;
            d << QPointF(x, y - s) << QPointF(x + s, y) << QPointF(x, y + s) << QPointF(x - s, y);
            p.drawPolygon(d);
        }
    }
    p.setClipping(false);

    // Medallion in the middle with the four suits.
    const QPointF c = inner.center();
    const double mr = inner.width() * 0.3;
    p.setPen(QPen(QColor(0xf4, 0xd2, 0x7a), qMax(1.0, r.width() * 0.02)));
    p.setBrush(QColor(0x6e, 0x08, 0x10));
    p.drawEllipse(c, mr, mr * 1.25);
    p.setPen(QPen(QColor(0xf4, 0xd2, 0x7a, 160), qMax(0.6, r.width() * 0.008)));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, mr * 0.82, mr * 1.07);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xf8, 0xe0, 0x98));
    const double s = mr * 0.55;
    const Suit order[4] = {Suit::Spades, Suit::Hearts, Suit::Clubs, Suit::Diamonds};
    const QPointF offsets[4] = {QPointF(0, -0.55), QPointF(0.42, 0), QPointF(0, 0.55), QPointF(-0.42, 0)};
    for (int i = 0; i < 4; ++i)
        p.drawPath(SuitPath(order[i], QRectF(c.x() + offsets[i].x() * mr * 1.1 - s / 2,
                                              c.y() + offsets[i].y() * mr * 1.1 - s / 2, s, s)));

    // White frame line inside the border.
    p.setPen(QPen(QColor(255, 255, 255, 200), qMax(0.6, r.width() * 0.01)));
    p.setBrush(Qt::NoBrush);
    p.drawPath(RoundedRect(inner.adjusted(border * 0.5, border * 0.5, -border * 0.5, -border * 0.5), radius * 0.4));
    p.restore();
}

// A fan of backs rotated about a point below the cards, fitted to the picture size.
void Fan(QPainter& p, const QSize& size, int count)
{
    const double cw = kBack.width(), ch = kBack.height();
    if (count == 1) {
        DrawCardBack(p, QRectF(0, 0, cw, ch));
        return;
    }
    auto bounds = [&](double step, double radius) {
        QRectF box;
        for (int i = 0; i < count; ++i) {
            QTransform t;
            t.rotate((i - (count - 1) / 2.0) * step);
            const QRectF card(-cw / 2, -radius, cw, ch);
            box = box.united(t.mapRect(card));
        }
        return box;
    };
    // Find the spread and the pivot distance whose fan fills the picture at the cards' own size.
    double bestStep = 1, bestRadius = ch * 2, bestError = 1e18;
    for (double step = 0.5; step <= 12; step += 0.1)
        for (double radius = ch * 1.3; radius <= ch * 8; radius += ch * 0.05) {
            const QRectF b = bounds(step, radius);
            const double e = std::pow(b.width() - size.width(), 2) + std::pow(b.height() - size.height(), 2);
            if (e < bestError) {
                bestError = e;
                bestStep = step;
                bestRadius = radius;
            }
        }
    const QRectF b = bounds(bestStep, bestRadius);
    const double scale = std::min((size.width() - 1) / b.width(), (size.height() - 1) / b.height());
    p.save();
    p.translate(size.width() / 2.0, size.height() / 2.0);
    p.scale(scale, scale);
    p.translate(-b.center());
    for (int i = 0; i < count; ++i) {
        p.save();
        p.rotate((i - (count - 1) / 2.0) * bestStep);
        DrawCardBack(p, QRectF(-cw / 2, -bestRadius, cw, ch));
        p.restore();
    }
    p.restore();
}

}  // namespace

void AddCardPictures(PictureList& list)
{
    // Large faces by picture code: diamonds 3..15 and the jokers 16, 17; clubs, hearts and
    // spades 3..15 in their rows of sixteen.
    for (int s = 0; s < 4; ++s)
        for (int r = 3; r <= (s == 0 ? 17 : 15); ++r) {
            const int code = r + 16 * s;
            AddPicture(list, code, kLargeCard, [code](QPainter& p, const QSize& size) { CardFace(p, size, code); });
        }
    AddPicture(list, 18, kBack, [](QPainter& p, const QSize& size) { DrawCardBack(p, QRectF(QPointF(0, 0), QSizeF(size))); });

    // Small faces: each suit a block of thirteen in the order A, 2, 3 ... K.
    for (int s = 0; s < 4; ++s)
        for (int k = 1; k <= 13; ++k) {
            const int rank = k <= 2 ? k + 13 : k;
            const int code = rank + 16 * s;
            AddPicture(list, 300 + 13 * s + k, kSmallCard,
                       [code](QPainter& p, const QSize& size) { CardFace(p, size, code); });
        }
    AddPicture(list, 353, kSmallCard, [](QPainter& p, const QSize& size) { CardFace(p, size, 16); });
    AddPicture(list, 354, kSmallCard, [](QPainter& p, const QSize& size) { CardFace(p, size, 17); });

    // Fans of 1 to 15 backs.
    static const int widths[15] = {78, 92, 108, 119, 132, 142, 154, 166, 175, 185, 193, 197, 204, 209, 228};
    static const int heights[15] = {103, 107, 113, 116, 122, 123, 128, 129, 132, 135, 136, 137, 141, 140, 157};
    for (int n = 1; n <= 15; ++n)
        AddPicture(list, 259 + n, QSize(widths[n - 1], heights[n - 1]),
                   [n](QPainter& p, const QSize& size) { Fan(p, size, n); });
}
