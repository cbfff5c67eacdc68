#include "resources/Pictures.h"

#include <algorithm>
#include <future>
#include <map>

#include <QImage>
#include <QCache>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>


namespace Pictures {

namespace {

const QString kPrefix = QStringLiteral(":/pictures/");

// Keys are plain names; anything that could step out of the picture folder is refused.
bool IsWellFormedKey(const QString& key)
{
    static const QRegularExpression pattern(QStringLiteral("^[A-Za-z][A-Za-z0-9_]{0,63}$"));
    return pattern.match(key).hasMatch();
}

QPixmap LoadResource(const QString& path)
{
    QPixmap pixmap;
    if (!QFileInfo::exists(path) || !pixmap.load(path))
        return QPixmap();
    return pixmap;
}

// Decodes under way or done, by key; only the user-interface thread touches the map.
std::map<QString, std::future<QImage>>& Prefetched()
{
    static std::map<QString, std::future<QImage>> pending;
    return pending;
}

}  // namespace

void PrefetchPicture(const QString& key)
{
    if (!IsWellFormedKey(key) || Prefetched().count(key) != 0)
        return;
    const QString path = kPrefix + key + QStringLiteral(".png");
    // A QImage, not a QPixmap: only images may be made outside the user-interface thread.
    Prefetched()[key] = std::async(std::launch::async, [path] { return QImage(path); });
}

void BuildPictureTables(const LayoutScaleFactors& scale)
{
    const bool small = Screen::IsSmallLayout(scale);

    CardPictureIds.fill(0);
    for (int s = 0; s < 4; ++s) {
        // Only the first suit row runs on into the jokers and the back (codes 16 to 18).
        const int lastRank = (s == 0) ? 18 : 15;
        for (int r = 3; r <= lastRank; ++r) {
            const int code = r + 16 * s;
            if (!small || r > 15)
                CardPictureIds[code] = code;
            else
                CardPictureIds[code] = 300 + 13 * s + (r <= 13 ? r : r - 13);
        }
    }
    if (small) {
        CardPictureIds[16] = 353;
        CardPictureIds[17] = 354;
        CardPictureIds[18] = 18;
    }

    // The small toolbar pictures start at 283 for entry 2; send keeps its large pictures.
    for (int i = 0; i < int(ToolbarButtonPictures.size()); ++i)
        ToolbarButtonPictures[i] = (small && i >= 2) ? 281 + i : 150 + i;

    for (int i = 0; i < int(DialogButtonPictures.size()); ++i)
        DialogButtonPictures[i] = 170 + i;

    for (int i = 0; i < int(PlayButtonPictures.size()); ++i) {
        if (i <= 8)
            PlayButtonPictures[i] = 178 + i;
        else if (i == 9)
            PlayButtonPictures[i] = 434;
        else if (i <= 11)
            PlayButtonPictures[i] = 435;   // give up has no picture of its own when disabled
        else
            PlayButtonPictures[i] = 187 + (i - 12);
    }

    for (auto& fans : FanPictures)
        for (int i = 0; i < int(fans.size()); ++i)
            fans[i] = 260 + i;

    for (int i = 0; i < int(PortraitPictures.size()); ++i)
        PortraitPictures[i] = 240 + i;

    ReadyMarkPictures = {280, 281, 282, 280};

    for (int i = 0; i < int(PlaceMarkPictures.size()); ++i)
        PlaceMarkPictures[i] = 360 + i;

    for (int i = 0; i < int(VideoCommandPictures.size()); ++i)
        VideoCommandPictures[i] = 850 + i;

    for (int i = 0; i < int(VideoWindowPictures.size()); ++i)
        VideoWindowPictures[i] = 870 + i;
}

void ResetPictureTables()
{
    CardPictureIds.fill(0);
    ToolbarButtonPictures.fill(0);
    DialogButtonPictures.fill(0);
    PlayButtonPictures.fill(0);
    FanPictures = {};
    PortraitPictures.fill(0);
    ReadyMarkPictures.fill(0);
    PlaceMarkPictures.fill(0);
    VideoCommandPictures.fill(0);
    VideoWindowPictures.fill(0);
}

QPixmap PictureById(int id)
{
    if (id <= 0)
        return QPixmap();
    // Every play lays out cards again, and decoding a PNG each time cost ten times the rest of
    // handling the play. Pictures never change, and a cached one is shared with the controls
    // that show it; the bound (in kilobytes of pixels) is several times the whole card set.
    // Emptied with the application object: a pixmap must not outlive it.
    static QCache<int, QPixmap>* decoded = [] {
        auto* cache = new QCache<int, QPixmap>(16 * 1024);
        qAddPostRoutine([] { decoded->clear(); });
        return cache;
    }();
    if (const QPixmap* known = decoded->object(id))
        return *known;
    const QPixmap pixmap = LoadResource(kPrefix + QString::number(id) + QStringLiteral(".png"));
    if (!pixmap.isNull()) {
        const qsizetype kilobytes = std::max<qsizetype>(1, qsizetype(pixmap.width()) * pixmap.height() * 4 / 1024);
        decoded->insert(id, new QPixmap(pixmap), kilobytes);
    }
    return pixmap;
}

QPixmap PictureByKey(const QString& key)
{
    if (!IsWellFormedKey(key))
        return QPixmap();
    if (auto it = Prefetched().find(key); it != Prefetched().end()) {
        const QImage image = it->second.get();
        Prefetched().erase(it);
        if (!image.isNull())
            return QPixmap::fromImage(image);
    }
    return LoadResource(kPrefix + key + QStringLiteral(".png"));
}

std::vector<int> EmbeddedPictureIds()
{
    std::vector<int> ids;
    const QStringList names = QDir(kPrefix).entryList({QStringLiteral("*.png")}, QDir::Files);
    for (const QString& name : names) {
        bool ok = false;
        const int id = QFileInfo(name).completeBaseName().toInt(&ok);
        if (ok)
            ids.push_back(id);
    }
    std::sort(ids.begin(), ids.end());
    return ids;
}

QStringList EmbeddedPictureKeys()
{
    QStringList keys;
    const QStringList names = QDir(kPrefix).entryList({QStringLiteral("*.png")}, QDir::Files);
    for (const QString& name : names) {
        const QString base = QFileInfo(name).completeBaseName();
        bool numeric = false;
        base.toInt(&numeric);
        if (!numeric)
            keys.push_back(base);
    }
    keys.sort();
    return keys;
}

}  // namespace Pictures
