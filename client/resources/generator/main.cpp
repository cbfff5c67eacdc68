// Draws the picture set into <output dir>/pictures/*.png and writes <output dir>/pictures.qrc,
// which rcc then compiles into the client; the raw sets pictures.bin (as drawn, read back from
// the PNGs) and pictures2x.bin (the same drawings at twice the pixels, for screens of a device
// pixel ratio above 1) go beside them.
#include <cstdio>
#include <cstring>
#include <set>
#include <utility>
#include <vector>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTextStream>

#include "Catalog.h"
#include "Paint.h"

namespace {

bool CheckFont()
{
    // Use the font file directly when it is where Debian puts it, so the result does not
    // depend on what fontconfig would substitute.
    const QString file = QStringLiteral("/usr/share/fonts/truetype/wqy/wqy-microhei.ttc");
    if (QFile::exists(file))
        QFontDatabase::addApplicationFont(file);
    const QFontInfo info(Paint::UiFont(14));
    if (!info.family().startsWith(QStringLiteral("WenQuanYi Micro Hei"))) {
        std::fprintf(stderr, "quellor_picgen: the font \"WenQuanYi Micro Hei\" is missing "
                             "(Debian package fonts-wqy-microhei); got \"%s\"\n",
                     qPrintable(info.family()));
        return false;
    }
    return true;
}

// The pixels as the client's pixmaps hold them: the saved PNG read back (so every value is the
// one the PNG carries) and converted the way the raster pixmap converts it, RGB32 for an opaque
// picture (saved without alpha), premultiplied ARGB32 otherwise. The client maps these instead
// of decoding PNGs.
QImage AsPixmapHoldsIt(const QString& pngFile)
{
    const QImage read(pngFile, "PNG");
    if (read.isNull())
        return read;
    return read.convertToFormat(read.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
}

void PutU32(QByteArray& out, qsizetype at, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        out[at + i] = static_cast<char>((v >> (8 * i)) & 0xff);
}

// pictures.bin: a 16-byte head ("QPIC", version 1, count, 0), then one 64-byte entry per
// picture (name, NUL-padded, 40 bytes; width; height; format 0 RGB32 / 1 premultiplied
// ARGB32; 0; offset of the pixels from the blob's start, 8 bytes), then the pixels, each
// picture 64-byte aligned, rows of width * 4 bytes. All numbers little-endian.
bool WriteBlob(const QString& path, const std::vector<std::pair<QString, QImage>>& images)
{
    constexpr qsizetype Head = 16, Entry = 64, NameBytes = 40;
    QByteArray blob(Head + Entry * qsizetype(images.size()), '\0');
    blob.replace(0, 4, "QPIC");
    PutU32(blob, 4, 1);
    PutU32(blob, 8, quint32(images.size()));
    for (size_t i = 0; i < images.size(); ++i) {
        const auto& [name, image] = images[i];
        const QByteArray bytes = name.toLatin1();
        if (bytes.size() >= NameBytes)
            return false;
        while (blob.size() % 64 != 0)
            blob.append('\0');
        const qsizetype entry = Head + Entry * qsizetype(i);
        blob.replace(entry, bytes.size(), bytes);
        PutU32(blob, entry + 40, quint32(image.width()));
        PutU32(blob, entry + 44, quint32(image.height()));
        PutU32(blob, entry + 48, image.format() == QImage::Format_RGB32 ? 0 : 1);
        const quint64 offset = quint64(blob.size());
        PutU32(blob, entry + 56, quint32(offset & 0xffffffffu));
        PutU32(blob, entry + 60, quint32(offset >> 32));
        for (int y = 0; y < image.height(); ++y)
            blob.append(reinterpret_cast<const char*>(image.constScanLine(y)), qsizetype(image.width()) * 4);
    }
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(blob) == blob.size();
}

bool IsOpaque(const QImage& image)
{
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < argb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x)
            if (qAlpha(line[x]) != 255)
                return false;
    }
    return true;
}

// The picture drawn at `scale` times its pixels: the painter works in the picture's own
// coordinates, so fonts, paths and pens come out sharp at the finer grid instead of enlarged.
QImage Draw(const PictureEntry& entry, int scale)
{
    QImage image(entry.size * scale, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing |
                               QPainter::SmoothPixmapTransform);
        entry.draw(painter, entry.size);
    }
    return image;
}

// The 2x set keeps the pixels as drawn (no PNG in between), in the form a pixmap keeps.
QImage AsPixmapHoldsIt(const QImage& drawn)
{
    return IsOpaque(drawn) ? drawn.convertToFormat(QImage::Format_RGB32) : drawn;
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: quellor_picgen <output dir>\n");
        return 2;
    }
    if (!CheckFont())
        return 1;

    const QDir out(QString::fromLocal8Bit(argv[1]));
    QDir pictures(out.filePath(QStringLiteral("pictures")));
    if (!pictures.exists() && !QDir().mkpath(pictures.path())) {
        std::fprintf(stderr, "quellor_picgen: cannot create %s\n", qPrintable(pictures.path()));
        return 1;
    }
    // Pictures dropped from the set must not linger in the folder.
    for (const QString& old : pictures.entryList({QStringLiteral("*.png")}, QDir::Files))
        pictures.remove(old);

    const PictureList list = Catalog();
    std::set<QString> seen;
    std::vector<std::pair<QString, QImage>> mapped, sharp;
    QString qrc;
    QTextStream qrcText(&qrc);
    qrcText << "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n<qresource prefix=\"/pictures\">\n";
    for (const PictureEntry& entry : list) {
        if (!seen.insert(entry.name).second) {
            std::fprintf(stderr, "quellor_picgen: picture %s drawn twice\n", qPrintable(entry.name));
            return 1;
        }
        const QImage image = Draw(entry, 1);
        const QString file = entry.name + QStringLiteral(".png");
        // An opaque picture is written without its alpha channel: the same pixels, a quarter
        // less to inflate at start-up, and no scan for transparency when it is loaded.
        const QImage::Format format = IsOpaque(image) ? QImage::Format_RGB32 : QImage::Format_ARGB32;
        if (!image.convertToFormat(format).save(pictures.filePath(file), "PNG")) {
            std::fprintf(stderr, "quellor_picgen: cannot write %s\n", qPrintable(file));
            return 1;
        }
        qrcText << "  <file alias=\"" << file << "\">pictures/" << file << "</file>\n";
        QImage pixels = AsPixmapHoldsIt(pictures.filePath(file));
        if (pixels.isNull()) {
            std::fprintf(stderr, "quellor_picgen: cannot read back %s\n", qPrintable(file));
            return 1;
        }
        mapped.emplace_back(entry.name, std::move(pixels));
    }
    // A second pass, so that the 1x pictures come out as they did before the 2x set existed:
    // the font engines drawing at 2x in between would move a few of their pixels.
    for (const PictureEntry& entry : list)
        sharp.emplace_back(entry.name, AsPixmapHoldsIt(Draw(entry, 2)));
    for (const auto& [file, set] : {std::pair{"pictures.bin", &mapped}, std::pair{"pictures2x.bin", &sharp}}) {
        if (!WriteBlob(out.filePath(QString::fromLatin1(file)), *set)) {
            std::fprintf(stderr, "quellor_picgen: cannot write %s\n", file);
            return 1;
        }
    }
    qrcText << "</qresource>\n</RCC>\n";
    qrcText.flush();

    QFile qrcFile(out.filePath(QStringLiteral("pictures.qrc")));
    if (!qrcFile.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        qrcFile.write(qrc.toUtf8()) != qrc.toUtf8().size()) {
        std::fprintf(stderr, "quellor_picgen: cannot write pictures.qrc\n");
        return 1;
    }
    std::printf("quellor_picgen: %d pictures\n", int(list.size()));
    return 0;
}
