#include "resources/Pictures.h"

#include <algorithm>
#include <cstring>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QImage>

#include "rules/Cards.h"

// The mapped picture sets (PictureBlob.cpp): as drawn, and drawn at twice the pixels.
extern "C" const unsigned char quellor_picture_blob_begin[];
extern "C" const unsigned char quellor_picture_blob_end[];
extern "C" const unsigned char quellor_picture_blob_2x_begin[];
extern "C" const unsigned char quellor_picture_blob_2x_end[];


namespace Pictures {

namespace {

const QString kPrefix = QStringLiteral(":/pictures/");

// Written only by BuildPictureTables and ResetPictureTables; everyone else reads Tables().
IdTables g_tables;

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

using MappedIndex = QHash<QString, MappedPicture>;

// The index of a mapped set. An entry that does not fit the blob is left out (its picture then
// comes from elsewhere), so a damaged blob can never make a picture read past it.
MappedIndex IndexBlob(const uchar* blob, const uchar* blobEnd)
{
    MappedIndex index;
    const quint64 size = quint64(blobEnd - blob);
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
}

// Each set is indexed on its first use: a screen of ratio 1 never reads the 2x set at all.
const MappedIndex& MappedSet()
{
    static const MappedIndex set = IndexBlob(quellor_picture_blob_begin, quellor_picture_blob_end);
    return set;
}

const MappedIndex& MappedSet2x()
{
    static const MappedIndex set = IndexBlob(quellor_picture_blob_2x_begin, quellor_picture_blob_2x_end);
    return set;
}

// The picture of a mapped set as an image over the mapped pixels; null when the set lacks it.
QImage MappedImage(const MappedIndex& set, const QString& name)
{
    const auto found = set.constFind(name);
    if (found == set.constEnd())
        return QImage();
    const MappedPicture& m = *found;
    return QImage(m.pixels, m.width, m.height, qsizetype(m.width) * 4, m.format);
}

// The pixmap shares the mapped pixels (they are already in the form a pixmap keeps), so
// nothing is decoded or copied. The set knows which pictures are transparent; no need to look
// for it again.
QPixmap SharedPixmap(const QImage& image)
{
    return image.isNull() ? QPixmap() : QPixmap::fromImage(image, Qt::NoOpaqueDetection);
}

// A 2x picture over its mapped pixels, marked with ratio 2. Qt copies a read-only image to set
// its ratio, so the image is made over the pixels as if writable, marked, and then held here
// for good: with this reference always held, any change to it or to a pixmap sharing it copies
// first, and nothing ever writes to the mapped pages.
QImage Held2x(const QString& name)
{
    static QHash<QString, QImage> held;
    if (const auto found = held.constFind(name); found != held.constEnd())
        return *found;
    const auto found = MappedSet2x().constFind(name);
    if (found == MappedSet2x().constEnd())
        return QImage();
    const MappedPicture& m = *found;
    QImage image(const_cast<uchar*>(m.pixels), m.width, m.height, qsizetype(m.width) * 4, m.format);
    image.setDevicePixelRatio(2);
    held.insert(name, image);
    return image;
}

// The picture for a screen of a ratio above 1: the 2x drawing, shown as it is at ratio 2 and
// otherwise scaled smoothly to the screen's pixels, so that it covers the same logical area
// as the 1x picture. Null when the 2x set lacks it.
QPixmap SharpPixmap(const QString& name, qreal ratio)
{
    if (qFuzzyCompare(ratio, qreal(2)))
        return SharedPixmap(Held2x(name));
    const QImage sharp = MappedImage(MappedSet2x(), name);
    if (sharp.isNull())
        return QPixmap();
    QImage scaled = sharp.scaled(qRound(sharp.width() / 2 * ratio), qRound(sharp.height() / 2 * ratio),
                                 Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    scaled.setDevicePixelRatio(ratio);
    return QPixmap::fromImage(std::move(scaled), Qt::NoOpaqueDetection);
}

QPixmap LoadResource(const QString& path)
{
    QPixmap pixmap;
    if (!QFileInfo::exists(path) || !pixmap.load(path))
        return QPixmap();
    return pixmap;
}

// A picture by its name in the sets: the 2x drawing on a screen that can show more than 1x,
// else the mapped 1x picture, else its PNG.
QPixmap Picture(const QString& name, qreal ratio)
{
    if (ratio > 1)
        if (QPixmap sharp = SharpPixmap(name, ratio); !sharp.isNull())
            return sharp;
    if (QPixmap mapped = SharedPixmap(MappedImage(MappedSet(), name)); !mapped.isNull())
        return mapped;
    return LoadResource(kPrefix + name + QStringLiteral(".png"));
}

}  // namespace

const IdTables& Tables()
{
    return g_tables;
}

void BuildPictureTables(const LayoutScaleFactors& scale)
{
    const bool small = Screen::IsSmallLayout(scale);
    IdTables t;

    // The rules know which code shows which card picture; codes that name no card stay 0.
    for (int code = 0; code < int(t.CardPictureIds.size()); ++code)
        t.CardPictureIds[code] = std::max(Rules::CardPictureId(code, small), 0);

    // The small toolbar pictures start at 283 for entry 2; send keeps its large pictures.
    for (int i = 0; i < int(t.ToolbarButtonPictures.size()); ++i)
        t.ToolbarButtonPictures[i] = (small && i >= 2) ? 281 + i : 150 + i;

    for (int i = 0; i < int(t.DialogButtonPictures.size()); ++i)
        t.DialogButtonPictures[i] = 170 + i;

    for (int i = 0; i < int(t.PlayButtonPictures.size()); ++i) {
        if (i <= 8)
            t.PlayButtonPictures[i] = 178 + i;
        else if (i == 9)
            t.PlayButtonPictures[i] = 434;
        else if (i <= 11)
            t.PlayButtonPictures[i] = 435;   // give up has no picture of its own when disabled
        else
            t.PlayButtonPictures[i] = 187 + (i - 12);
    }

    for (auto& fans : t.FanPictures)
        for (int i = 0; i < int(fans.size()); ++i)
            fans[i] = 260 + i;

    for (int i = 0; i < int(t.PortraitPictures.size()); ++i)
        t.PortraitPictures[i] = 240 + i;

    t.ReadyMarkPictures = {280, 281, 282, 280};

    for (int i = 0; i < int(t.PlaceMarkPictures.size()); ++i)
        t.PlaceMarkPictures[i] = 360 + i;

    for (int i = 0; i < int(t.VideoCommandPictures.size()); ++i)
        t.VideoCommandPictures[i] = 850 + i;

    for (int i = 0; i < int(t.VideoWindowPictures.size()); ++i)
        t.VideoWindowPictures[i] = 870 + i;

    g_tables = t;
}

void ResetPictureTables()
{
    g_tables = IdTables{};
}

QPixmap PictureById(int id, qreal ratio)
{
    if (id <= 0)
        return QPixmap();
    return Picture(QString::number(id), ratio);
}

QPixmap PictureByKey(const QString& key, qreal ratio)
{
    if (!IsWellFormedKey(key))
        return QPixmap();
    return Picture(key, ratio);
}

QImage SharpPicture(const QString& name)
{
    return MappedImage(MappedSet2x(), name);
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
