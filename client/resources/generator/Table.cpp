// The table itself: felt backgrounds, window frame, bars, clock, plates and marks, speech
// bubbles and the pop-up window backgrounds.
#include <cmath>
#include <QImage>
#include <QLinearGradient>
#include <QRadialGradient>

#include "Catalog.h"
#include "Paint.h"

using namespace Paint;

namespace {

const QColor kGold(0xe0, 0xb0, 0x40);
const QColor kGoldLight(0xff, 0xe0, 0x8a);
const QColor kGoldDark(0x8a, 0x62, 0x10);

// --- felt ---------------------------------------------------------------------------------------

void Felt(QPainter& p, const QSize& size, const QColor& centre, const QColor& edge, quint32 seed)
{
    const double w = size.width(), h = size.height();
    // The cloth is computed pixel by pixel at the canvas's own resolution, so a finer canvas
    // gets finer fibres rather than the coarse ones enlarged.
    const int scale = qMax(1, qRound(p.device()->devicePixelRatioF()));
    QImage cloth(size * scale, QImage::Format_RGB32);
    cloth.setDevicePixelRatio(scale);
    Rng rng(seed);
    const double cx = w / 2, cy = h * 0.47;
    const double reach = std::hypot(w / 2, h / 2);
    for (int y = 0; y < cloth.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(cloth.scanLine(y));
        for (int x = 0; x < cloth.width(); ++x) {
            const double d = std::hypot((double(x) / scale - cx) * 0.85, (double(y) / scale - cy) * 1.1) / reach;
            const double t = qBound(0.0, d * d * 1.25, 1.0);
            // Fine fibre noise, kept small so the felt reads as cloth and the file stays small.
            const int n = int(rng.unit() * 4) - 2;
            const int r = qBound(0, int(centre.red() + (edge.red() - centre.red()) * t) + n, 255);
            const int g = qBound(0, int(centre.green() + (edge.green() - centre.green()) * t) + n, 255);
            const int b = qBound(0, int(centre.blue() + (edge.blue() - centre.blue()) * t) + n, 255);
            line[x] = qRgb(r, g, b);
        }
    }
    p.drawImage(0, 0, cloth);

    // The playing area: a faint double ring and the four suits in the middle.
    const QPointF c(w / 2, h * 0.47);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, 26), 3));
    p.drawEllipse(c, w * 0.36, h * 0.3);
    p.setPen(QPen(QColor(255, 230, 150, 30), 1.5));
    p.drawEllipse(c, w * 0.36 - 9, h * 0.3 - 9);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 16));
    const Suit suits[4] = {Suit::Spades, Suit::Hearts, Suit::Clubs, Suit::Diamonds};
    for (int i = 0; i < 4; ++i) {
        const double x = c.x() + (i - 1.5) * 46;
        p.drawPath(SuitPath(suits[i], QRectF(x - 17, c.y() - 17, 34, 34)));
    }
}

// --- window frame: corners and edges cut out by the frame painter -----------------------------

void Skin(QPainter& p, const QSize& size)
{
    const double w = size.width(), h = size.height();
    const double title = 20, side = 8, bottom = 8;
    QPainterPath outer = RoundedRect(QRectF(0, 0, w, h), 6);
    QLinearGradient wood(QPointF(0, 0), QPointF(0, title));
    wood.setColorAt(0, QColor(0x3e, 0x7a, 0x52));
    wood.setColorAt(0.5, QColor(0x1e, 0x52, 0x32));
    wood.setColorAt(1, QColor(0x10, 0x38, 0x22));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x10, 0x38, 0x22));
    p.drawPath(outer);
    p.setBrush(wood);
    p.drawRect(QRectF(0, 0, w, title));
    // Round only the outer corners of the title strip.
    p.setCompositionMode(QPainter::CompositionMode_DestinationIn);
    p.setBrush(Qt::black);
    p.drawPath(outer);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);

    // Gold inner line around the client area and along the top of the strip.
    p.setPen(QPen(kGold, 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(side - 1.5, title - 1.5, w - 2 * side + 3, h - title - bottom + 3));
    p.setPen(QPen(QColor(255, 255, 255, 60), 1.0));
    p.drawLine(QPointF(6, 0.5), QPointF(w - 6, 0.5));
    p.setPen(QPen(QColor(0, 0, 0, 140), 1.0));
    p.drawPath(RoundedRect(QRectF(0.5, 0.5, w - 1, h - 1), 6));
    // The client area is covered by the table; leave it transparent.
    p.setCompositionMode(QPainter::CompositionMode_Clear);
    p.fillRect(QRectF(side, title, w - 2 * side, h - title - bottom), Qt::transparent);
}

void FrameButton(QPainter& p, const QSize& size, bool close, int state)
{
    const QRectF r(0.5, 0.5, size.width() - 1.0, size.height() - 1.0);
    QColor top, bottom;
    if (close) {
        top = state == 0 ? QColor(0x3a, 0x6a, 0x4a) : state == 1 ? QColor(0xf0, 0x60, 0x50) : QColor(0xa0, 0x28, 0x20);
        bottom = state == 0 ? QColor(0x16, 0x3e, 0x26) : state == 1 ? QColor(0xb8, 0x20, 0x18) : QColor(0x70, 0x10, 0x0c);
    } else {
        top = state == 0 ? QColor(0x3a, 0x6a, 0x4a) : state == 1 ? QColor(0x6a, 0xb0, 0x80) : QColor(0x20, 0x48, 0x30);
        bottom = state == 0 ? QColor(0x16, 0x3e, 0x26) : state == 1 ? QColor(0x2a, 0x70, 0x44) : QColor(0x0e, 0x28, 0x18);
    }
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.setPen(QPen(state == 1 ? kGoldLight : kGold, 1.0));
    p.setBrush(g);
    p.drawRoundedRect(r, 3, 3);
    const QPointF c = r.center() + (state == 2 ? QPointF(0.7, 0.7) : QPointF(0, 0));
    p.setPen(QPen(Qt::white, 1.8, Qt::SolidLine, Qt::RoundCap));
    if (close) {
        p.drawLine(c + QPointF(-3.5, -3.5), c + QPointF(3.5, 3.5));
        p.drawLine(c + QPointF(3.5, -3.5), c + QPointF(-3.5, 3.5));
    } else {
        p.drawLine(c + QPointF(-4, 3), c + QPointF(4, 3));
    }
}

// --- bars -------------------------------------------------------------------------------------

void Bar(QPainter& p, const QSize& size, bool top)
{
    const double w = size.width(), h = size.height();
    QLinearGradient g(QPointF(0, 0), QPointF(0, h));
    const QColor dark(0x0c, 0x26, 0x1a, 235), mid(0x18, 0x40, 0x2c, 215);
    g.setColorAt(0, top ? dark : mid);
    g.setColorAt(1, top ? mid : dark);
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRect(QRectF(0, 0, w, h));

    // Fine diagonal texture.
    p.setPen(QPen(QColor(255, 255, 255, 10), 1.0));
    for (double x = -h; x < w; x += 6)
        p.drawLine(QPointF(x, top ? 0 : h), QPointF(x + h, top ? h : 0));

    // Gold trim on the edge that faces the table, with a soft shadow onto the felt.
    const double edge = top ? h - 3 : 0;
    p.setPen(QPen(kGoldDark, 1.0));
    p.drawLine(QPointF(0, edge + 0.5), QPointF(w, edge + 0.5));
    p.setPen(QPen(kGold, 1.5));
    p.drawLine(QPointF(0, edge + 1.75), QPointF(w, edge + 1.75));
    p.setPen(QPen(kGoldDark, 1.0));
    p.drawLine(QPointF(0, edge + 2.5), QPointF(w, edge + 2.5));

    if (top) {
        // Three seats along the top: separators between them.
        for (int i = 1; i < 3; ++i) {
            const double x = w * i / 3.0;
            QLinearGradient sep(QPointF(0, 8), QPointF(0, h - 8));
            sep.setColorAt(0, QColor(0, 0, 0, 0));
            sep.setColorAt(0.5, QColor(0xe0, 0xb0, 0x40, 150));
            sep.setColorAt(1, QColor(0, 0, 0, 0));
            p.setPen(QPen(QBrush(sep), 1.0));
            p.drawLine(QPointF(x - 8, 8), QPointF(x - 8, h - 8));
        }
    } else {
        // The user's portrait sits in a frame at the left end.
        p.setPen(QPen(kGold, 1.5));
        p.setBrush(QColor(0, 0, 0, 60));
        p.drawRoundedRect(QRectF(6.5, 14.5, 88, 96), 6, 6);
    }
}

// --- clock, plates, markers ---------------------------------------------------------------------

void Clock(QPainter& p, const QSize& size)
{
    const double w = size.width(), h = size.height();
    QLinearGradient g(QPointF(0, 0), QPointF(0, h));
    g.setColorAt(0, QColor(0x3a, 0x30, 0x24, 235));
    g.setColorAt(1, QColor(0x16, 0x10, 0x0a, 235));
    p.setPen(QPen(kGold, 1.2));
    p.setBrush(g);
    p.drawRoundedRect(QRectF(0.6, 0.6, w - 1.2, h - 1.2), 9, 9);

    // Alarm clock on the left; the count-down number goes to the right of it.
    const QPointF c(22, h / 2 + 1.5);
    const double r = 12.5;
    p.setPen(QPen(kGoldDark, 1.0));
    p.setBrush(kGold);
    p.drawEllipse(c + QPointF(-9, -11), 4.5, 4.5);
    p.drawEllipse(c + QPointF(9, -11), 4.5, 4.5);
    p.setPen(QPen(QColor(0x30, 0x30, 0x30), 1.5));
    p.drawLine(c + QPointF(-8, 9), c + QPointF(-11, 13));
    p.drawLine(c + QPointF(8, 9), c + QPointF(11, 13));
    QRadialGradient face(c - QPointF(3, 3), r * 1.4);
    face.setColorAt(0, Qt::white);
    face.setColorAt(1, QColor(0xe0, 0xe0, 0xd8));
    p.setPen(QPen(QColor(0xc0, 0x20, 0x20), 2.2));
    p.setBrush(face);
    p.drawEllipse(c, r, r);
    p.setPen(QPen(QColor(0x30, 0x30, 0x30), 1.0));
    for (int i = 0; i < 12; ++i) {
        const double a = i * M_PI / 6;
        p.drawLine(c + QPointF(std::cos(a) * r * 0.72, std::sin(a) * r * 0.72),
                   c + QPointF(std::cos(a) * r * 0.86, std::sin(a) * r * 0.86));
    }
    p.setPen(QPen(QColor(0x20, 0x20, 0x20), 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c, c + QPointF(0, -r * 0.6));
    p.drawLine(c, c + QPointF(r * 0.45, r * 0.1));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xc0, 0x20, 0x20));
    p.drawEllipse(c, 1.6, 1.6);

    // Inset window for the number.
    p.setPen(QPen(QColor(0, 0, 0, 160), 1.0));
    p.setBrush(QColor(0x06, 0x12, 0x0a));
    p.drawRoundedRect(QRectF(45.5, 5.5, w - 51, h - 11), 4, 4);
}


// A plate filled top to bottom with a gradient and edged with a pen, inset half a pixel so
// the edge stays inside the picture.
void Plate(QPainter& p, const QSize& size, const QColor& top, const QColor& bottom, const QPen& edge,
             double rx, double ry)
{
    const QRectF r(0.6, 0.6, size.width() - 1.2, size.height() - 1.2);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.setPen(edge);
    p.setBrush(g);
    p.drawRoundedRect(r, rx, ry);
}

void LocationPlate(QPainter& p, const QSize& size)
{
    // The plate's place reaches 2 px past the table's right edge (a little more at the small
    // scale after rounding), and the web page's place covers its lower right from 26 px down:
    // the plate ends 4 px short of the picture and its pin keeps to the upper 25 px.
    const double w = size.width() - 4, h = size.height();
    Plate(p, QSize(int(w), size.height()), QColor(0x10, 0x2a, 0x1c, 200), QColor(0x06, 0x18, 0x10, 220),
          QPen(kGold, 1.2), h / 2 - 1, h / 2 - 1);
    p.setPen(QPen(QColor(255, 255, 255, 40), 1.0));
    p.drawLine(QPointF(h / 2, 2.5), QPointF(w - h / 2, 2.5));
    // A map pin at the right end, its tip at 23.
    p.save();
    p.translate(w - 18, 14);
    p.scale(0.8, 0.8);
    QPainterPath marker;
    marker.moveTo(0, 11);
    marker.cubicTo(-4, 5, -7, 1, -7, -3);
    marker.cubicTo(-7, -8, -4, -11, 0, -11);
    marker.cubicTo(4, -11, 7, -8, 7, -3);
    marker.cubicTo(7, 1, 4, 5, 0, 11);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xe0, 0x40, 0x30));
    p.drawPath(marker);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(0, -3.5), 2.8, 2.8);
    p.restore();
}

void FirstPlayerMarker(QPainter& p, const QSize& size)
{
    const QPointF c(size.width() / 2.0, size.height() / 2.0);
    const double r = size.width() / 2.0 - 1;
    QRadialGradient g(c - QPointF(r * 0.3, r * 0.3), r * 1.4);
    g.setColorAt(0, kGoldLight);
    g.setColorAt(1, QColor(0xc8, 0x88, 0x10));
    p.setPen(QPen(kGoldDark, 1.2));
    p.setBrush(g);
    p.drawEllipse(c, r, r);
    p.setPen(QPen(QColor(0xa0, 0x18, 0x10), 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, r - 3, r - 3);
    HaloText(p, QRectF(0, 0, size.width(), size.height()), QStringLiteral("先"), UiFont(size.height() * 0.55, true),
             QColor(0xb0, 0x10, 0x10), QColor(255, 250, 220), 2.0);
}

void WebPlace(QPainter& p, const QSize& size)
{
    const double w = size.width(), h = size.height();
    Plate(p, size, QColor(0x8c, 0xc8, 0xf0), QColor(0xe4, 0xf4, 0xff), QPen(kGold, 1.4), 6, 6);
    // A swallow in flight.
    QPainterPath bird;
    const QPointF c(w * 0.5, h * 0.5);
    bird.moveTo(c + QPointF(-26, -12));
    bird.quadTo(c + QPointF(-10, -6), c + QPointF(-3, 2));
    bird.quadTo(c + QPointF(4, -10), c + QPointF(22, -20));
    bird.quadTo(c + QPointF(10, -4), c + QPointF(6, 6));
    bird.quadTo(c + QPointF(16, 10), c + QPointF(24, 22));
    bird.quadTo(c + QPointF(12, 16), c + QPointF(2, 12));
    bird.quadTo(c + QPointF(-6, 16), c + QPointF(-12, 22));
    bird.quadTo(c + QPointF(-8, 12), c + QPointF(-6, 6));
    bird.quadTo(c + QPointF(-14, 0), c + QPointF(-26, -12));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x1a, 0x2a, 0x48));
    p.drawPath(bird);
    p.setBrush(QColor(0xd0, 0x40, 0x30));
    p.drawEllipse(c + QPointF(1, 4), 2.5, 2.0);
    // Two clouds.
    p.setBrush(QColor(255, 255, 255, 200));
    for (const QPointF& cl : {QPointF(w * 0.22, h * 0.8), QPointF(w * 0.78, h * 0.2)}) {
        p.drawEllipse(cl, 9, 4.5);
        p.drawEllipse(cl + QPointF(-6, 1), 5, 3.5);
        p.drawEllipse(cl + QPointF(5, -2), 5, 4);
    }
}

// --- speech bubbles, marks ---------------------------------------------------------------------

void Bubble(QPainter& p, const QSize& size, bool tailRight, const QString& text)
{
    const double w = size.width(), h = size.height();
    const QRectF body(1.5, 1.5, w - 3, h - 12);
    QPainterPath path = RoundedRect(body, 10);
    QPainterPath tail;
    const double tx = tailRight ? w - 16 : 16;
    tail.moveTo(tx - 6, body.bottom() - 2);
    tail.lineTo(tailRight ? w - 4 : 4, h - 1.5);
    tail.lineTo(tx + 6, body.bottom() - 2);
    tail.closeSubpath();
    path = path.united(tail);
    p.setPen(QPen(QColor(0x50, 0x40, 0x30), 1.5));
    QLinearGradient g(QPointF(0, 0), QPointF(0, h));
    g.setColorAt(0, Qt::white);
    g.setColorAt(1, QColor(0xff, 0xf4, 0xd0));
    p.setBrush(g);
    p.drawPath(path);
    CenteredText(p, body, text, UiFont(body.height() * 0.55, true), QColor(0x80, 0x20, 0x10));
}

void Coin(QPainter& p, const QPointF& c, double r, const QColor& metal)
{
    p.setPen(QPen(metal.darker(170), 0.8));
    QRadialGradient g(c - QPointF(r * 0.4, r * 0.4), r * 1.5);
    g.setColorAt(0, metal.lighter(150));
    g.setColorAt(1, metal.darker(115));
    p.setBrush(g);
    p.drawEllipse(c, r, r * 0.78);
    p.setPen(QPen(metal.darker(150), 0.8));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(c.x() - r * 0.28, c.y() - r * 0.24, r * 0.56, r * 0.48));   // square hole
}

void ReadyMark(QPainter& p, const QSize& size, int coinClass)
{
    const QColor metals[3] = {QColor(0xc0, 0x78, 0x40), QColor(0xc8, 0xcc, 0xd4), QColor(0xf0, 0xc0, 0x30)};
    const QColor metal = metals[coinClass];
    const double w = size.width(), h = size.height();
    Plate(p, size, QColor(0x3c, 0xa0, 0x50), QColor(0x14, 0x60, 0x28), QPen(metal, 1.6), h / 2 - 1, h / 2 - 1);
    // One, two or three coins by class.
    for (int i = 0; i <= coinClass; ++i)
        Coin(p, QPointF(13 + i * 2.5, h / 2 + 5 - i * 4.5), 7.5, metal);
    CenteredText(p, QRectF(24, 0, w - 27, h), QStringLiteral("准备"), UiFont(15, true), Qt::white, QColor(0, 0, 0, 150));
}

void PlaceMark(QPainter& p, const QSize& size, int place)
{
    const QColor metals[3] = {QColor(0xf0, 0xc0, 0x30), QColor(0xc8, 0xcc, 0xd4), QColor(0xc8, 0x80, 0x48)};
    const QString words[3] = {QStringLiteral("第一名"), QStringLiteral("第二名"), QStringLiteral("第三名")};
    const QColor metal = metals[place];
    const double w = size.width(), h = size.height();
    Plate(p, size, QColor(0xc0, 0x28, 0x28), QColor(0x78, 0x0c, 0x10), QPen(metal, 1.6), 5, 5);
    // Medal with the place number.
    const QPointF c(13.5, h / 2);
    QRadialGradient mg(c - QPointF(3, 3), 14);
    mg.setColorAt(0, metal.lighter(140));
    mg.setColorAt(1, metal.darker(120));
    p.setPen(QPen(metal.darker(170), 1.0));
    p.setBrush(mg);
    p.drawEllipse(c, 10.5, 10.5);
    HaloText(p, QRectF(c.x() - 10, c.y() - 10, 20, 20), QString::number(place + 1), UiFont(15, true),
             QColor(0x60, 0x20, 0x00), QColor(255, 255, 255, 180), 1.5);
    CenteredText(p, QRectF(25, 0, w - 27, h), words[place], UiFont(13, true), QColor(0xff, 0xf0, 0xc0), QColor(0, 0, 0, 170));
}

// --- pop-up window backgrounds -------------------------------------------------------------------

void WindowBackground(QPainter& p, const QSize& size, const QString& title)
{
    const double w = size.width(), h = size.height();
    const QRectF r(0.75, 0.75, w - 1.5, h - 1.5);
    QLinearGradient body(r.topLeft(), r.bottomLeft());
    body.setColorAt(0, QColor(0xfc, 0xf6, 0xe4));
    body.setColorAt(1, QColor(0xee, 0xe0, 0xbc));
    p.setPen(QPen(kGoldDark, 1.5));
    p.setBrush(body);
    p.drawRoundedRect(r, 8, 8);
    const double strip = 26;
    QLinearGradient head(QPointF(0, 0), QPointF(0, strip));
    head.setColorAt(0, QColor(0x3e, 0x7a, 0x52));
    head.setColorAt(1, QColor(0x14, 0x44, 0x28));
    QPainterPath top;
    top.addRoundedRect(r, 8, 8);
    QPainterPath clip;
    clip.addRect(QRectF(0, 0, w, strip));
    p.setPen(Qt::NoPen);
    p.setBrush(head);
    p.drawPath(top.intersected(clip));
    p.setPen(QPen(kGold, 1.2));
    p.drawLine(QPointF(1.5, strip), QPointF(w - 1.5, strip));
    p.setFont(UiFont(14, true));
    p.setPen(QColor(0xff, 0xf0, 0xc0));
    p.drawText(QRectF(12, 0, w - 24, strip), Qt::AlignVCenter | Qt::AlignLeft, title);
    // A thin inner frame around the message area.
    p.setPen(QPen(QColor(0xc8, 0xa8, 0x60, 150), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(8.5, strip + 7.5, w - 17, h - strip - 16), 5, 5);
}

}  // namespace

void AddTablePictures(PictureList& list)
{
    const QSize table(1024, 768);
    const auto greenFelt = [](QPainter& p, const QSize& s) { Felt(p, s, OwnFelt.centre, OwnFelt.edge, 11); };
    AddPicture(list, QStringLiteral("background"), table, greenFelt);
    // The settings window switches between these two: pic3 puts the table's own felt back,
    // pic4 is the alternative.
    AddPicture(list, QStringLiteral("pic3"), table, greenFelt);
    AddPicture(list, QStringLiteral("pic4"), table,
               [](QPainter& p, const QSize& s) { Felt(p, s, OtherFelt.centre, OtherFelt.edge, 13); });
    AddPicture(list, QStringLiteral("skin"), QSize(46, 220), Skin);
    AddPicture(list, QStringLiteral("imgDinglan"), QSize(1024, 96), [](QPainter& p, const QSize& s) { Bar(p, s, true); });
    AddPicture(list, QStringLiteral("imgDilan"), QSize(1024, 117), [](QPainter& p, const QSize& s) { Bar(p, s, false); });
    AddPicture(list, QStringLiteral("Time_Img"), QSize(81, 38), Clock);
    AddPicture(list, QStringLiteral("imgLocation"), QSize(394, 39), LocationPlate);
    AddPicture(list, QStringLiteral("Image1"), QSize(30, 30), FirstPlayerMarker);
    AddPicture(list, QStringLiteral("Bird"), QSize(82, 80), WebPlace);
    AddPicture(list, QStringLiteral("frmExit"), QSize(300, 150),
               [](QPainter& p, const QSize& s) { WindowBackground(p, s, QStringLiteral("退出游戏")); });
    AddPicture(list, QStringLiteral("frmOtherExit"), QSize(340, 170),
               [](QPainter& p, const QSize& s) { WindowBackground(p, s, QStringLiteral("系统提示")); });
    for (int state = 0; state < 3; ++state) {
        AddPicture(list, QStringLiteral("ImgClose%1").arg(state + 1), QSize(18, 16),
                   [state](QPainter& p, const QSize& s) { FrameButton(p, s, true, state); });
        AddPicture(list, QStringLiteral("ImgMin%1").arg(state + 1), QSize(18, 16),
                   [state](QPainter& p, const QSize& s) { FrameButton(p, s, false, state); });
    }

    // Pass bubbles: 235 beside the left and top players (tail to the left), 238 beside the
    // right player (tail to the right).
    AddPicture(list, 235, QSize(72, 44), [](QPainter& p, const QSize& s) { Bubble(p, s, false, QStringLiteral("不出")); });
    AddPicture(list, 238, QSize(72, 44), [](QPainter& p, const QSize& s) { Bubble(p, s, true, QStringLiteral("不出")); });

    for (int c = 0; c < 3; ++c)
        AddPicture(list, 280 + c, QSize(70, 29), [c](QPainter& p, const QSize& s) { ReadyMark(p, s, c); });
    for (int place = 0; place < 3; ++place)
        AddPicture(list, 360 + place, QSize(70, 29), [place](QPainter& p, const QSize& s) { PlaceMark(p, s, place); });
}
