#include "video/Photos.h"

#include <QDir>
#include <QSaveFile>

#include "session/Platform.h"
#include "session/TableWindow.h"
#include "video/VideoDisplay.h"
#include "video/VideoLinks.h"

namespace Photos {

namespace {
std::function<QDateTime()> g_photoClock;
}  // namespace

QString AlbumFolder()
{
    return Platform::UserDir() + QStringLiteral("/photo");
}

QString PhotoFileName(const QDateTime& at)
{
    const QDate d = at.date();
    const QTime t = at.time();
    return AlbumFolder() + QLatin1Char('/') + QString::number(d.year()) + QString::number(d.month())
           + QString::number(d.day()) + QString::number(t.hour()) + QString::number(t.minute())
           + QString::number(t.second()) + QStringLiteral(".bmp");
}

bool TakePhoto(int k)
{
    if (k < 0 || k > 3)
        return false;
    const QByteArray& frame = VideoLinks::Video.LastFrame[static_cast<size_t>(k)];
    // A frame comes from another player's machine: only a well-formed picture within the
    // limit is written, only into the album, and a failure is said as one.
    bool saved = VideoDisplay::ValidFrame(frame) && QDir().mkpath(AlbumFolder());
    if (saved) {
        QSaveFile file(PhotoFileName(g_photoClock ? g_photoClock() : QDateTime::currentDateTime()));
        saved = file.open(QIODevice::WriteOnly) && file.write(frame) == frame.size() && file.commit();
    }
    PostSystemLine(saved ? QStringLiteral("照相成功,照片保存在本机相册中。")
                               : QStringLiteral("照相失败，照片没有保存。"));
    return saved;
}

void SetPhotoClock(std::function<QDateTime()> clock)
{
    g_photoClock = std::move(clock);
}

void OpenAlbum()
{
    QDir().mkpath(AlbumFolder());
    Platform::ShellOpen(AlbumFolder());
}

void Reset()
{
    g_photoClock = nullptr;
}

}  // namespace Photos
