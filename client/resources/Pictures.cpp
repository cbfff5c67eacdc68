#include "resources/Pictures.h"

#include <algorithm>
#include <cstring>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QImage>

// The mapped picture set (PictureBlob.cpp).
extern "C" const unsigned char quellor_picture_blob_begin[];
extern "C" const unsigned char quellor_picture_blob_end[];


namespace Pictures {

namespace {

const QString kPrefix = QStringLiteral(":/pictures/");

// Keys are plain names; anything that could step out of the picture folder is refused.
bool IsWellFormedKey(const QString& key)
{
    // A letter, then at most 63 letters, digits or underscores (checked by hand: a regular
    // expression would bring its engine into every start-up).
    const auto letter = [](QChar c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'); };
    if (key.isEmpty() || key.size() > 64 || !letter(key.front()))
        return false;
    return std::all_of(key.begin() + 1, key.end(), [&](QChar c) {
        return letter(c) || (c >= u'0' && c <= u'9') || c == u'_';
    });
}

// One picture of the mapped set: its pixels in the program's read-only data.
struct MappedPicture {
    const uchar* pixels = nullptr;
    int width = 0;
    int height = 0;
    QImage::Format format = QImage::Format_Invalid;
};

quint64 LittleEndian(const uchar* at, int bytes)
{
    quint64 v = 0;
    for (int i = 0; i < bytes; ++i)
        v |= quint64(at[i]) << (8 * i);
    return v;
}

// The index of the mapped set, read once. An entry that does not fit the blob is left out (its
// picture then comes from the PNG), so a damaged blob can never make a picture read past it.
const QHash<QString, MappedPicture>& MappedSet()
{
    static const QHash<QString, MappedPicture> set = [] {
        QHash<QString, MappedPicture> index;
        const uchar* blob = quellor_picture_blob_begin;
        const quint64 size = quint64(quellor_picture_blob_end - quellor_picture_blob_begin);
        constexpr quint64 Head = 16, Entry = 64, NameBytes = 40;
        if (size < Head || std::memcmp(blob, "QPIC", 4) != 0 || LittleEndian(blob + 4, 4) != 1)
            return index;
        const quint64 count = LittleEndian(blob + 8, 4);
        if (count > (size - Head) / Entry)
            return index;
        for (quint64 i = 0; i < count; ++i) {
            const uchar* entry = blob + Head + Entry * i;
            const auto* name = reinterpret_cast<const char*>(entry);
            const QString key = QString::fromLatin1(name, qstrnlen(name, NameBytes));
            const quint64 width = LittleEndian(entry + 40, 4);
            const quint64 height = LittleEndian(entry + 44, 4);
            const quint64 format = LittleEndian(entry + 48, 4);
            const quint64 offset = LittleEndian(entry + 56, 8);
            const bool fits = width > 0 && height > 0 && width <= 8192 && height <= 8192 && format <= 1
                              && offset % 64 == 0 && offset <= size && width * height * 4 <= size - offset;
            if (!fits || key.isEmpty())
                continue;
            index.insert(key, {blob + offset, int(width), int(height),
                               format == 0 ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied});
        }
        return index;
    }();
    return set;
}

// The picture from the mapped set: the pixmap shares the mapped pixels (they are already in
// the form a pixmap keeps), so nothing is decoded or copied. Null when the set lacks it.
QPixmap MappedPixmap(const QString& name)
{
    const QHash<QString, MappedPicture>& set = MappedSet();
    const auto found = set.constFind(name);
    if (found == set.constEnd())
        return QPixmap();
    const MappedPicture& m = *found;
    const QImage image(m.pixels, m.width, m.height, qsizetype(m.width) * 4, m.format);
    // The set knows which pictures are transparent; no need to look for it again.
    return QPixmap::fromImage(image, Qt::NoOpaqueDetection);
}

QPixmap LoadResource(const QString& path)
{
    QPixmap pixmap;
    if (!QFileInfo::exists(path) || !pixmap.load(path))
        return QPixmap();
    return pixmap;
}

}  // namespace

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
    const QString name = QString::number(id);
    if (QPixmap mapped = MappedPixmap(name); !mapped.isNull())
        return mapped;
    return LoadResource(kPrefix + name + QStringLiteral(".png"));
}

QPixmap PictureByKey(const QString& key)
{
    if (!IsWellFormedKey(key))
        return QPixmap();
    if (QPixmap mapped = MappedPixmap(key); !mapped.isNull())
        return mapped;
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
