// Draws the program's icon for the desktop at the sizes the icon theme asks for:
//   quellor-icon OUTDIR SIZE...  writes OUTDIR/SIZExSIZE/quellor.png for each size.
// Drawn, not scaled from one big picture, so that the small sizes stay crisp: below 32 pixels
// the cards lose their pips and the felt its border.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>

namespace {

void DrawCard(QPainter& p, double s, double angle, const QColor& pip, bool spade)
{
    p.save();
    p.translate(s * 0.5, s * 0.86);
    p.rotate(angle);
    const QRectF card(-s * 0.2, -s * 0.64, s * 0.4, s * 0.56);
    p.setPen(s >= 32 ? QPen(QColor(0x40, 0x40, 0x40), s / 96.0) : Qt::NoPen);
    p.setBrush(QColor(0xfb, 0xf8, 0xf0));
    p.drawRoundedRect(card, s * 0.04, s * 0.04);
    if (s >= 24) {
        // A single pip in the middle: a heart, or a spade drawn as an upside-down heart with a stem.
        const double r = s * 0.085;
        // The back card shows its pip beside the front one, not under it.
        const QPointF c = spade ? card.center() + QPointF(-s * 0.07, -s * 0.12) : card.center();
        QPainterPath heart;
        heart.moveTo(0, r * 1.1);
        heart.cubicTo(-r * 1.9, -r * 0.2, -r * 0.9, -r * 1.5, 0, -r * 0.5);
        heart.cubicTo(r * 0.9, -r * 1.5, r * 1.9, -r * 0.2, 0, r * 1.1);
        p.translate(c);
        if (spade) {
            p.rotate(180);
            p.setBrush(pip);
            p.setPen(Qt::NoPen);
            p.drawPath(heart);
            p.drawRect(QRectF(-r * 0.12, -r * 1.5, r * 0.24, r * 0.9));
        } else {
            p.setBrush(pip);
            p.setPen(Qt::NoPen);
            p.drawPath(heart);
        }
    }
    p.restore();
}

QImage Icon(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const double s = size;

    // The felt of the table.
    QLinearGradient felt(0, 0, 0, s);
    felt.setColorAt(0, QColor(0x2f, 0x8f, 0x4e));
    felt.setColorAt(1, QColor(0x16, 0x5a, 0x2e));
    p.setBrush(felt);
    p.setPen(s >= 32 ? QPen(QColor(0x0d, 0x3b, 0x1d), s / 48.0) : Qt::NoPen);
    const double inset = s >= 32 ? s * 0.04 : 0;
    p.drawRoundedRect(QRectF(inset, inset, s - 2 * inset, s - 2 * inset), s * 0.18, s * 0.18);

    // Two cards fanned, as a hand is held.
    DrawCard(p, s, -16, QColor(0x1a, 0x1a, 0x1a), true);
    DrawCard(p, s, 14, QColor(0xc8, 0x1e, 0x1e), false);
    return image;
}

}  // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: quellor-icon OUTDIR SIZE...\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    for (int i = 2; i < argc; ++i) {
        bool ok = false;
        const int size = QString::fromLatin1(argv[i]).toInt(&ok);
        if (!ok || size < 16 || size > 1024) {
            std::fprintf(stderr, "quellor-icon: a size from 16 to 1024, not \"%s\"\n", argv[i]);
            return 2;
        }
        const QString dir = out + QStringLiteral("/%1x%1").arg(size);
        if (!QDir().mkpath(dir) || !Icon(size).save(dir + QStringLiteral("/quellor.png"))) {
            std::fprintf(stderr, "quellor-icon: cannot write %s\n", qPrintable(dir));
            return 1;
        }
    }
    return 0;
}
