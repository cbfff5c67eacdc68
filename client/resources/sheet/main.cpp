// quellor-pictures --sheet out.png: draws every embedded picture with its id (or key) and
// size onto one contact sheet, grouped by what the pictures are for.
#include <cstdio>
#include <functional>
#include <vector>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include "resources/Pictures.h"

namespace {

struct Group {
    QString title;
    std::function<bool(int)> holds;
};

const std::vector<Group>& Groups()
{
    static const std::vector<Group> groups = {
        {QStringLiteral("Card faces, large layout (picture codes), and the back 18"), [](int id) { return id >= 3 && id <= 63; }},
        {QStringLiteral("Card faces, small layout (301-354)"), [](int id) { return id >= 301 && id <= 354; }},
        {QStringLiteral("Card-back fans (260-274)"), [](int id) { return id >= 260 && id <= 274; }},
        {QStringLiteral("Toolbar buttons, large (150-169) and small (283-300)"),
         [](int id) { return (id >= 150 && id <= 169) || (id >= 283 && id <= 300); }},
        {QStringLiteral("Dialog buttons (170-177)"), [](int id) { return id >= 170 && id <= 177; }},
        {QStringLiteral("Play buttons (178-192, 434-435)"), [](int id) { return (id >= 178 && id <= 192) || id == 434 || id == 435; }},
        {QStringLiteral("Portraits (240-249 men, 250-259 women)"), [](int id) { return id >= 240 && id <= 259; }},
        {QStringLiteral("Pass bubbles, ready marks, place marks, quick-phrase buttons"),
         [](int id) { return id == 235 || id == 238 || (id >= 280 && id <= 282) || (id >= 360 && id <= 362) || (id >= 516 && id <= 519); }},
        {QStringLiteral("Video command icons (850-861) and zoom windows (870-875)"), [](int id) { return id >= 850 && id <= 875; }},
    };
    return groups;
}

struct Tile {
    QString label;
    QPixmap picture;
};

class Sheet {
public:
    static constexpr int kWidth = 1500;
    static constexpr int kMaxTileW = 360, kMaxTileH = 280;

    void section(const QString& title, const std::vector<Tile>& tiles)
    {
        if (tiles.empty())
            return;
        m_items.push_back({title, tiles});
    }

    QImage render() const
    {
        // First pass measures, second pass draws.
        const int height = layout(nullptr);
        QImage image(kWidth, height, QImage::Format_ARGB32);
        image.fill(QColor(0x3a, 0x3e, 0x42));
        QPainter p(&image);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        layout(&p);
        return image;
    }

private:
    struct Item {
        QString title;
        std::vector<Tile> tiles;
    };
    std::vector<Item> m_items;

    static QSize shown(const QPixmap& pm)
    {
        QSize s = pm.size();
        if (s.width() > kMaxTileW || s.height() > kMaxTileH)
            s.scale(kMaxTileW, kMaxTileH, Qt::KeepAspectRatio);
        return s;
    }

    int layout(QPainter* p) const
    {
        QFont titleFont(QStringLiteral("WenQuanYi Micro Hei"));
        titleFont.setPixelSize(18);
        titleFont.setBold(true);
        QFont labelFont(QStringLiteral("WenQuanYi Micro Hei"));
        labelFont.setPixelSize(11);
        const int margin = 16, gap = 12, labelH = 28;
        int y = margin;
        for (const Item& item : m_items) {
            if (p) {
                p->setFont(titleFont);
                p->setPen(QColor(0xff, 0xe0, 0x90));
                p->drawText(QRect(margin, y, kWidth - 2 * margin, 24), Qt::AlignLeft | Qt::AlignVCenter, item.title);
            }
            y += 32;
            int x = margin, rowH = 0;
            for (const Tile& t : item.tiles) {
                const QSize s = shown(t.picture);
                const int w = std::max(s.width(), 64);
                if (x + w > kWidth - margin) {
                    x = margin;
                    y += rowH + labelH + gap;
                    rowH = 0;
                }
                if (p) {
                    // Checkerboard behind the picture shows its transparent parts.
                    const QRect area(x + (w - s.width()) / 2, y, s.width(), s.height());
                    for (int cy = area.top(); cy < area.bottom(); cy += 8)
                        for (int cx = area.left(); cx < area.right(); cx += 8)
                            p->fillRect(QRect(cx, cy, 8, 8).intersected(area),
                                        ((cx - area.left()) / 8 + (cy - area.top()) / 8) % 2 ? QColor(0x5a, 0x5e, 0x62) : QColor(0x4a, 0x4e, 0x52));
                    p->drawPixmap(area, t.picture);
                    p->setFont(labelFont);
                    p->setPen(Qt::white);
                    const QString size = QStringLiteral("%1×%2%3").arg(t.picture.width()).arg(t.picture.height())
                                             .arg(s != t.picture.size() ? QStringLiteral(" (shrunk)") : QString());
                    p->drawText(QRect(x - 10, y + s.height() + 1, w + 20, 14), Qt::AlignHCenter | Qt::AlignTop, t.label);
                    p->setPen(QColor(0xb0, 0xb8, 0xc0));
                    p->drawText(QRect(x - 10, y + s.height() + 13, w + 20, 14), Qt::AlignHCenter | Qt::AlignTop, size);
                }
                x += w + gap;
                rowH = std::max(rowH, s.height());
            }
            y += rowH + labelH + gap + 8;
        }
        return y + margin;
    }
};

int Usage()
{
    std::fprintf(stderr, "usage: quellor-pictures --sheet <out.png>\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3 || args[1] != QStringLiteral("--sheet"))
        return Usage();

    const std::vector<int> ids = Pictures::EmbeddedPictureIds();
    std::vector<bool> placed(ids.size(), false);
    Sheet sheet;
    for (const Group& g : Groups()) {
        std::vector<Tile> tiles;
        for (size_t i = 0; i < ids.size(); ++i)
            if (!placed[i] && g.holds(ids[i])) {
                placed[i] = true;
                tiles.push_back({QString::number(ids[i]), Pictures::PictureById(ids[i])});
            }
        sheet.section(g.title, tiles);
    }
    std::vector<Tile> rest;
    for (size_t i = 0; i < ids.size(); ++i)
        if (!placed[i])
            rest.push_back({QString::number(ids[i]), Pictures::PictureById(ids[i])});
    sheet.section(QStringLiteral("Other ids"), rest);

    std::vector<Tile> keyed;
    for (const QString& key : Pictures::EmbeddedPictureKeys())
        keyed.push_back({QStringLiteral("\"%1\"").arg(key), Pictures::PictureByKey(key)});
    sheet.section(QStringLiteral("Pictures by key (table window and pop-ups)"), keyed);

    const QImage image = sheet.render();
    if (!image.save(args[2], "PNG")) {
        std::fprintf(stderr, "quellor-pictures: cannot write %s\n", qPrintable(args[2]));
        return 1;
    }
    std::printf("quellor-pictures: %d pictures by id, %d by key -> %s\n", int(ids.size()),
                int(keyed.size()), qPrintable(args[2]));
    return 0;
}
