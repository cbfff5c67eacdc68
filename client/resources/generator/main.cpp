// Draws the picture set into <output dir>/pictures/*.png and writes <output dir>/pictures.qrc,
// which rcc then compiles into the client.
#include <cstdio>
#include <set>
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

}  // namespace

namespace {

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
    QString qrc;
    QTextStream qrcText(&qrc);
    qrcText << "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n<qresource prefix=\"/pictures\">\n";
    for (const PictureEntry& entry : list) {
        if (!seen.insert(entry.name).second) {
            std::fprintf(stderr, "quellor_picgen: picture %s drawn twice\n", qPrintable(entry.name));
            return 1;
        }
        QImage image(entry.size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        {
            QPainter painter(&image);
            painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing |
                                   QPainter::SmoothPixmapTransform);
            entry.draw(painter, entry.size);
        }
        const QString file = entry.name + QStringLiteral(".png");
        // An opaque picture is written without its alpha channel: the same pixels, a quarter
        // less to inflate at start-up, and no scan for transparency when it is loaded.
        const QImage::Format format = IsOpaque(image) ? QImage::Format_RGB32 : QImage::Format_ARGB32;
        if (!image.convertToFormat(format).save(pictures.filePath(file), "PNG")) {
            std::fprintf(stderr, "quellor_picgen: cannot write %s\n", qPrintable(file));
            return 1;
        }
        qrcText << "  <file alias=\"" << file << "\">pictures/" << file << "</file>\n";
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
