// Picture buttons: toolbar, dialog, play and quick-phrase buttons, the video command icons and
// the zoom window pictures with their buttons.
#include <cmath>
#include <QLinearGradient>

#include "Catalog.h"
#include "Paint.h"

using namespace Paint;

namespace {

enum class Look { Normal, Hover, Disabled };

struct Palette {
    QColor top, bottom, border, text, shadow;
};

struct ButtonKind {
    Palette normal, hover, disabled;
    double radiusFactor;   // of the height
    double textFactor = 0.56;   // largest text size, of the height
};

const ButtonKind kToolbar = {
    {QColor(0x2e, 0x7d, 0x6c), QColor(0x12, 0x45, 0x3b), QColor(0xc8, 0xa0, 0x48), Qt::white, QColor(0, 0, 0, 160)},
    {QColor(0x4c, 0xb4, 0x98), QColor(0x1c, 0x6c, 0x5a), QColor(0xff, 0xdc, 0x60), QColor(0xff, 0xf4, 0xa0), QColor(0, 0, 0, 170)},
    {QColor(0x9a, 0xa4, 0xa2), QColor(0x6c, 0x74, 0x72), QColor(0x88, 0x88, 0x88), QColor(0xc8, 0xc8, 0xc8), QColor()},
    0.3};

const ButtonKind kPlay = {
    {QColor(0xff, 0xd8, 0x70), QColor(0xe0, 0x84, 0x14), QColor(0x8a, 0x48, 0x08), QColor(0x5a, 0x1e, 0x00), QColor(255, 255, 255, 110)},
    {QColor(0xff, 0xf4, 0xb0), QColor(0xff, 0xae, 0x2c), QColor(0xc0, 0x5a, 0x00), QColor(0x8a, 0x10, 0x00), QColor(255, 255, 255, 140)},
    {QColor(0xd6, 0xd6, 0xd6), QColor(0xa2, 0xa2, 0xa2), QColor(0x7c, 0x7c, 0x7c), QColor(0x74, 0x74, 0x74), QColor(255, 255, 255, 90)},
    0.32};

const ButtonKind kDialog = {
    {QColor(0x62, 0xa6, 0xee), QColor(0x22, 0x5c, 0xb0), QColor(0x16, 0x3a, 0x74), Qt::white, QColor(0, 0, 0, 150)},
    {QColor(0x94, 0xc8, 0xff), QColor(0x3a, 0x7e, 0xd8), QColor(0xff, 0xd8, 0x60), QColor(0xff, 0xfa, 0xc0), QColor(0, 0, 0, 160)},
    {QColor(0xc0, 0xc4, 0xc8), QColor(0x90, 0x94, 0x98), QColor(0x70, 0x70, 0x70), QColor(0xd8, 0xd8, 0xd8), QColor()},
    0.3};

const ButtonKind kPhrase = {
    {QColor(0x5a, 0x3a, 0x1c), QColor(0x34, 0x20, 0x0e), QColor(0xb8, 0x90, 0x40), QColor(0xf4, 0xe2, 0xb0), QColor()},
    {QColor(0x9a, 0x6a, 0x2a), QColor(0x60, 0x3c, 0x12), QColor(0xff, 0xd8, 0x60), QColor(0xff, 0xff, 0xd0), QColor()},
    {QColor(0x80, 0x80, 0x80), QColor(0x60, 0x60, 0x60), QColor(0x80, 0x80, 0x80), QColor(0xc0, 0xc0, 0xc0), QColor()},
    0.45, 0.88};

void Plate(QPainter& p, const QSize& size, const Palette& c, double radius, bool glow)
{
    const QRectF r(0.5, 0.5, size.width() - 1.0, size.height() - 1.0);
    if (glow) {
        // A soft light ring shows the pointer is over the button.
        p.setPen(QPen(QColor(0xff, 0xf0, 0x90, 120), 2.0));
        p.setBrush(Qt::NoBrush);
        p.drawPath(RoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), radius));
    }
    const QRectF body = r.adjusted(1, 1, -1, -1);
    QLinearGradient g(body.topLeft(), body.bottomLeft());
    g.setColorAt(0, c.top);
    g.setColorAt(1, c.bottom);
    p.setPen(QPen(c.border, 1.2));
    p.setBrush(g);
    p.drawPath(RoundedRect(body, radius));
    // Gloss on the upper half.
    const QRectF gloss = body.adjusted(2, 1.5, -2, -body.height() * 0.52);
    QLinearGradient shine(gloss.topLeft(), gloss.bottomLeft());
    shine.setColorAt(0, QColor(255, 255, 255, 120));
    shine.setColorAt(1, QColor(255, 255, 255, 20));
    p.setPen(Qt::NoPen);
    p.setBrush(shine);
    p.drawPath(RoundedRect(gloss, radius * 0.7));
}

void TextButton(QPainter& p, const QSize& size, const QString& label, const ButtonKind& kind, Look look)
{
    const Palette& c = look == Look::Hover ? kind.hover : look == Look::Disabled ? kind.disabled : kind.normal;
    const double radius = size.height() * kind.radiusFactor;
    Plate(p, size, c, radius, look == Look::Hover);
    const QRectF textBox(2, 1, size.width() - 4, size.height() - 2);
    const double px = FitFontSize(label, textBox.adjusted(2, 0, -2, 0), size.height() * kind.textFactor, true);
    CenteredText(p, textBox, label, UiFont(px, true), c.text, c.shadow);
}

// A swatch of a felt: the cloth's colour from edge to edge in a light frame, as a sample of
// cloth, not a button face.
void FeltSwatch(QPainter& p, const QSize& size, const FeltColours& felt)
{
    const QRectF r(0.5, 0.5, size.width() - 1.0, size.height() - 1.0);
    p.setPen(QPen(QColor(0xf0, 0xe6, 0xc0), 1.0));
    p.setBrush(felt.centre);
    p.drawRoundedRect(r, 2, 2);
    p.setPen(QPen(felt.edge, 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawRect(r.adjusted(1, 1, -1, -1));
}

// --- video command icons, 16 x 14 -------------------------------------------------------------

enum class Glyph { Close, Zoom, Photo, Music, Speaker, Album };

void Icon(QPainter& p, const QSize& size, Glyph glyph, bool hover)
{
    const QRectF r(0.5, 0.5, size.width() - 1.0, size.height() - 1.0);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, hover ? QColor(0xff, 0xc2, 0x40) : QColor(0x4a, 0x55, 0x60));
    g.setColorAt(1, hover ? QColor(0xe0, 0x80, 0x10) : QColor(0x24, 0x2c, 0x34));
    p.setPen(QPen(hover ? QColor(0xff, 0xf0, 0xa0) : QColor(0x70, 0x7c, 0x88), 1.0));
    p.setBrush(g);
    p.drawPath(RoundedRect(r, 3));

    const QColor ink = hover ? Qt::white : QColor(0xdc, 0xe4, 0xec);
    const QPen pen(ink, 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    const double cx = size.width() / 2.0, cy = size.height() / 2.0;
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    switch (glyph) {
    case Glyph::Close:
        p.drawLine(QPointF(cx - 3.5, cy - 3.5), QPointF(cx + 3.5, cy + 3.5));
        p.drawLine(QPointF(cx + 3.5, cy - 3.5), QPointF(cx - 3.5, cy + 3.5));
        break;
    case Glyph::Zoom:
        p.drawEllipse(QPointF(cx - 1, cy - 1), 3.6, 3.6);
        p.drawLine(QPointF(cx + 1.8, cy + 1.8), QPointF(cx + 4.5, cy + 4.5));
        p.setPen(QPen(ink, 1.0));
        p.drawLine(QPointF(cx - 2.8, cy - 1), QPointF(cx + 0.8, cy - 1));
        p.drawLine(QPointF(cx - 1, cy - 2.8), QPointF(cx - 1, cy + 0.8));
        break;
    case Glyph::Photo:
        p.setPen(Qt::NoPen);
        p.setBrush(ink);
        p.drawRoundedRect(QRectF(cx - 5.5, cy - 3, 11, 7.5), 1.5, 1.5);
        p.drawRect(QRectF(cx - 2, cy - 4.5, 4, 2));
        p.setBrush(hover ? QColor(0xe0, 0x80, 0x10) : QColor(0x30, 0x38, 0x40));
        p.drawEllipse(QPointF(cx, cy + 0.8), 2.4, 2.4);
        break;
    case Glyph::Music:
        p.setPen(Qt::NoPen);
        p.setBrush(ink);
        p.drawEllipse(QPointF(cx - 2.8, cy + 3), 2.2, 1.7);
        p.drawEllipse(QPointF(cx + 3, cy + 2), 2.2, 1.7);
        p.setPen(QPen(ink, 1.2));
        p.drawLine(QPointF(cx - 0.9, cy + 3), QPointF(cx - 0.9, cy - 4.2));
        p.drawLine(QPointF(cx + 4.9, cy + 2), QPointF(cx + 4.9, cy - 5));
        p.setPen(QPen(ink, 2.0));
        p.drawLine(QPointF(cx - 0.9, cy - 4), QPointF(cx + 4.9, cy - 5));
        break;
    case Glyph::Speaker: {
        p.setPen(Qt::NoPen);
        p.setBrush(ink);
        QPolygonF cone;
        cone << QPointF(cx - 5, cy - 1.8) << QPointF(cx - 2.5, cy - 1.8) << QPointF(cx + 0.5, cy - 4.5)
             << QPointF(cx + 0.5, cy + 4.5) << QPointF(cx - 2.5, cy + 1.8) << QPointF(cx - 5, cy + 1.8);
        p.drawPolygon(cone);
        p.setPen(QPen(ink, 1.1, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(cx - 1.5, cy - 3, 5, 6), -50 * 16, 100 * 16);
        p.drawArc(QRectF(cx - 1.5, cy - 5, 8, 10), -50 * 16, 100 * 16);
        break;
    }
    case Glyph::Album:
        p.setPen(QPen(ink, 1.0));
        p.setBrush(hover ? QColor(0xe0, 0x80, 0x10) : QColor(0x30, 0x38, 0x40));
        p.drawRect(QRectF(cx - 3.5, cy - 4.5, 8, 6.5));
        p.setBrush(ink);
        p.drawRect(QRectF(cx - 5.5, cy - 2.5, 8, 6.5));
        p.setPen(Qt::NoPen);
        p.setBrush(hover ? QColor(0xe0, 0x80, 0x10) : QColor(0x30, 0x38, 0x40));
        QPolygonF hill;
        hill << QPointF(cx - 4.5, cy + 3) << QPointF(cx - 2, cy) << QPointF(cx, cy + 2)
             << QPointF(cx + 1, cy + 1) << QPointF(cx + 1.5, cy + 3);
        p.drawPolygon(hill);
        break;
    }
}

// --- zoom windows -----------------------------------------------------------------------------

struct ZoomSize {
    int width, height, displayWidth, displayHeight, displayLeft, displayTop;   // twips
};

const ZoomSize kZoomSizes[3] = {
    {2625, 2070, 2400, 1800, 110, 230},
    {4140, 3225, 3840, 2880, 150, 240},
    {6510, 5115, 6000, 4500, 240, 480},
};

QSize ZoomPictureSize(int size, double scale)
{
    const ZoomSize& z = kZoomSizes[size];
    return QSize(qRound(z.width / 15.0 * scale), qRound(z.height / 15.0 * scale));
}

// The window picture carries the three buttons (close, enlarge, shrink) where the window puts
// its button controls: side by side at the top right, half a button apart.
void ZoomWindow(QPainter& p, const QSize& size, int zoom, double scale)
{
    const ZoomSize& z = kZoomSizes[zoom];
    const double k = scale / 15.0;
    const QRectF r(0.5, 0.5, size.width() - 1.0, size.height() - 1.0);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, QColor(0x2c, 0x4a, 0x5c));
    g.setColorAt(0.12, QColor(0x1a, 0x30, 0x3e));
    g.setColorAt(1, QColor(0x10, 0x1c, 0x24));
    p.setPen(QPen(QColor(0xc8, 0xa0, 0x48), 1.0));
    p.setBrush(g);
    p.drawPath(RoundedRect(r, 5));

    const QRectF display(z.displayLeft * k, z.displayTop * k, z.displayWidth * k, z.displayHeight * k);
    p.setPen(QPen(QColor(0x5a, 0x78, 0x8a), 1.0));
    p.setBrush(QColor(0x06, 0x0a, 0x0e));
    p.drawRect(display.adjusted(-1, -1, 1, 1));

    // Title: a camera mark and a word, left in the strip above the display.
    const double strip = qMax(10.0, display.top());
    const double titlePx = qBound(8.0, strip * 0.62, 14.0);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xdc, 0xe8, 0xf0));
    const double iy = strip / 2;
    p.drawRoundedRect(QRectF(display.left() + 2, iy - titlePx * 0.3, titlePx * 0.8, titlePx * 0.6), 1.5, 1.5);
    QPolygonF lens;
    lens << QPointF(display.left() + 2 + titlePx * 0.8, iy) << QPointF(display.left() + 2 + titlePx * 1.2, iy - titlePx * 0.3)
         << QPointF(display.left() + 2 + titlePx * 1.2, iy + titlePx * 0.3);
    p.drawPolygon(lens);
    p.setFont(UiFont(titlePx));
    p.setPen(QColor(0xdc, 0xe8, 0xf0));
    p.drawText(QRectF(display.left() + 4 + titlePx * 1.3, 0, size.width() / 2.0, strip), Qt::AlignVCenter | Qt::AlignLeft,
               QStringLiteral("视频"));

    const double bw = 225 * k, bh = 240 * k;
    for (int i = 0; i < 3; ++i) {
        const double left = size.width() - z.displayLeft * k - (i + 1) * bw - i * bw / 2;
        const QRectF b(left + 0.5, 0.5, bw - 1, bh - 1);
        QLinearGradient bg(b.topLeft(), b.bottomLeft());
        const QColor base = i == 0 ? QColor(0xd0, 0x40, 0x30) : QColor(0x3a, 0x6a, 0x88);
        bg.setColorAt(0, base.lighter(140));
        bg.setColorAt(1, base);
        p.setPen(QPen(QColor(0xe8, 0xe8, 0xe8, 200), 0.8));
        p.setBrush(bg);
        p.drawRoundedRect(b, 2.5, 2.5);
        const QPointF c = b.center();
        const double a = qMin(bw, bh) * 0.25;
        p.setPen(QPen(Qt::white, qMax(1.2, bw * 0.1), Qt::SolidLine, Qt::RoundCap));
        if (i == 0) {
            p.drawLine(QPointF(c.x() - a, c.y() - a), QPointF(c.x() + a, c.y() + a));
            p.drawLine(QPointF(c.x() + a, c.y() - a), QPointF(c.x() - a, c.y() + a));
        } else {
            p.drawLine(QPointF(c.x() - a, c.y()), QPointF(c.x() + a, c.y()));
            if (i == 1)
                p.drawLine(QPointF(c.x(), c.y() - a), QPointF(c.x(), c.y() + a));
        }
    }
}

}  // namespace

void AddButtonPictures(PictureList& list)
{
    // Toolbar: pairs of normal and highlighted pictures. Send and chat sit beside the chat box
    // and are the narrower pair; the other eight share the wider size.
    const QString toolbar[10] = {"发送", "聊天", "开始", "继续", "设置", "隐藏", "战绩", "历史", "规则", "退出"};
    for (int b = 0; b < 10; ++b)
        for (int look = 0; look < 2; ++look) {
            const QString label = toolbar[b];
            const Look l = look ? Look::Hover : Look::Normal;
            const QSize large = b < 2 ? QSize(48, 30) : QSize(55, 31);
            AddPicture(list, 150 + 2 * b + look, large,
                       [label, l](QPainter& p, const QSize& s) { TextButton(p, s, label, kToolbar, l); });
            if (b >= 1)   // the small layout keeps the large send pair
                AddPicture(list, 281 + 2 * b + look, QSize(43, 24),
                           [label, l](QPainter& p, const QSize& s) { TextButton(p, s, label, kToolbar, l); });
        }

    // Dialog buttons.
    const QSize okSize(70, 29), plateSize(64, 26);
    AddPicture(list, 170, okSize, [](QPainter& p, const QSize& s) { TextButton(p, s, "确定", kDialog, Look::Normal); });
    AddPicture(list, 171, okSize, [](QPainter& p, const QSize& s) { TextButton(p, s, "确定", kDialog, Look::Hover); });
    AddPicture(list, 172, okSize, [](QPainter& p, const QSize& s) { TextButton(p, s, "取消", kDialog, Look::Normal); });
    AddPicture(list, 173, okSize, [](QPainter& p, const QSize& s) { TextButton(p, s, "取消", kDialog, Look::Hover); });
    AddPicture(list, 174, plateSize, [](QPainter& p, const QSize& s) { TextButton(p, s, "关闭", kDialog, Look::Normal); });
    AddPicture(list, 175, plateSize, [](QPainter& p, const QSize& s) { TextButton(p, s, "打开", kDialog, Look::Normal); });
    // The background option shows the felt a click puts on the table: blue while the table is
    // green, green while it is blue.
    AddPicture(list, 176, plateSize, [](QPainter& p, const QSize& s) { FeltSwatch(p, s, OtherFelt); });
    AddPicture(list, 177, plateSize, [](QPainter& p, const QSize& s) { FeltSwatch(p, s, OwnFelt); });

    // Play buttons under the hand: play, hint, pass with three looks; sort, last trick and
    // restore with two, in the lower size.
    const QString triple[3] = {"出牌", "提示", "不出"};
    for (int b = 0; b < 3; ++b)
        for (int look = 0; look < 3; ++look) {
            const QString label = triple[b];
            const Look l = Look(look);
            AddPicture(list, 178 + 3 * b + look, QSize(66, 38),
                       [label, l](QPainter& p, const QSize& s) { TextButton(p, s, label, kPlay, l); });
        }
    const QString pairs[3] = {"整理", "上一轮", "恢复"};
    for (int b = 0; b < 3; ++b)
        for (int look = 0; look < 2; ++look) {
            const QString label = pairs[b];
            const Look l = look ? Look::Hover : Look::Normal;
            AddPicture(list, 187 + 2 * b + look, QSize(62, 25),
                       [label, l](QPainter& p, const QSize& s) { TextButton(p, s, label, kPlay, l); });
        }
    AddPicture(list, 434, QSize(66, 38), [](QPainter& p, const QSize& s) { TextButton(p, s, "认输", kPlay, Look::Normal); });
    AddPicture(list, 435, QSize(66, 38), [](QPainter& p, const QSize& s) { TextButton(p, s, "认输", kPlay, Look::Hover); });

    // Quick-phrase buttons 1 and 2, normal then highlighted.
    const QString phrases[2] = {"常用语1", "常用语2"};
    for (int b = 0; b < 2; ++b) {
        const QString label = phrases[b];
        AddPicture(list, 516 + b, QSize(57, 13), [label](QPainter& p, const QSize& s) { TextButton(p, s, label, kPhrase, Look::Normal); });
        AddPicture(list, 518 + b, QSize(57, 13), [label](QPainter& p, const QSize& s) { TextButton(p, s, label, kPhrase, Look::Hover); });
    }

    // Video command bar: close, zoom, photo, music box; their highlighted looks; the spare
    // fourth button of the other players' bars; the album.
    const Glyph glyphs[4] = {Glyph::Close, Glyph::Zoom, Glyph::Photo, Glyph::Music};
    for (int i = 0; i < 4; ++i) {
        const Glyph g = glyphs[i];
        AddPicture(list, 850 + i, QSize(16, 14), [g](QPainter& p, const QSize& s) { Icon(p, s, g, false); });
        AddPicture(list, 854 + i, QSize(16, 14), [g](QPainter& p, const QSize& s) { Icon(p, s, g, true); });
    }
    AddPicture(list, 858, QSize(16, 14), [](QPainter& p, const QSize& s) { Icon(p, s, Glyph::Speaker, false); });
    AddPicture(list, 859, QSize(16, 14), [](QPainter& p, const QSize& s) { Icon(p, s, Glyph::Speaker, true); });
    AddPicture(list, 860, QSize(16, 14), [](QPainter& p, const QSize& s) { Icon(p, s, Glyph::Album, false); });
    AddPicture(list, 861, QSize(16, 14), [](QPainter& p, const QSize& s) { Icon(p, s, Glyph::Album, true); });

    // Zoom windows: small, medium, large; then the same at the small layout's scale.
    for (int layout = 0; layout < 2; ++layout)
        for (int zoom = 0; zoom < 3; ++zoom) {
            const double scale = layout ? 0.78125 : 1.0;
            AddPicture(list, 870 + 3 * layout + zoom, ZoomPictureSize(zoom, scale),
                       [zoom, scale](QPainter& p, const QSize& s) { ZoomWindow(p, s, zoom, scale); });
        }
}
