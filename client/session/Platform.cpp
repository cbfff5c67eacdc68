#include "session/Platform.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>
#include <QUrl>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

std::function<void(const QString&, const QString&)> g_messageBox;
std::function<bool(const QString&, const QString&)> g_okCancel;
std::function<void(const QString&)> g_shellOpen;
std::function<bool(const QString&, const QStringList&)> g_startProgram;
std::function<void(int)> g_endProgram;
std::function<double()> g_clock;
QString g_programDir;
std::vector<std::function<void()>> g_endHooks;
double g_waitFactor = 1.0;
std::unique_ptr<QLockFile> g_instanceLock;
std::function<bool()> g_instanceCheck;
int g_boxesWaiting = 0;

// Counts a box for as long as it waits.
class BoxWait {
public:
    BoxWait() { ++g_boxesWaiting; }
    ~BoxWait() { --g_boxesWaiting; }
    BoxWait(const BoxWait&) = delete;
    BoxWait& operator=(const BoxWait&) = delete;
};

}  // namespace

namespace Platform {

void ShowMessageBox(const QString& text, const QString& title)
{
    const BoxWait wait;
    if (g_messageBox) {
        g_messageBox(text, title);
        return;
    }
    // Integration tests run the real program without anybody to press OK.
    if (qEnvironmentVariable("QUELLOR_MESSAGEBOX") == QLatin1String("print")) {
        std::fprintf(stderr, "messagebox: %s: %s\n", title.toUtf8().constData(),
                     text.toUtf8().constData());
        std::fflush(stderr);
        return;
    }
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Ok);
    box.exec();
}

void SetMessageBoxHandler(std::function<void(const QString&, const QString&)> handler)
{
    g_messageBox = std::move(handler);
}

bool AskOkCancel(const QString& text, const QString& title)
{
    const BoxWait wait;
    if (g_okCancel)
        return g_okCancel(text, title);
    if (qEnvironmentVariable("QUELLOR_MESSAGEBOX") == QLatin1String("print")) {
        std::fprintf(stderr, "messagebox: %s: %s (cancel)\n", title.toUtf8().constData(),
                     text.toUtf8().constData());
        std::fflush(stderr);
        return false;
    }
    QMessageBox box(QMessageBox::Information, title, text, QMessageBox::Ok | QMessageBox::Cancel);
    return box.exec() == QMessageBox::Ok;
}

bool BoxWaiting()
{
    return g_boxesWaiting > 0;
}

void SetOkCancelHandler(std::function<bool(const QString&, const QString&)> handler)
{
    g_okCancel = std::move(handler);
}

void ShellOpen(const QString& target)
{
    if (g_shellOpen) {
        g_shellOpen(target);
        return;
    }
    const QUrl url = QUrl::fromUserInput(target);
    if (url.isValid())
        QDesktopServices::openUrl(url);
}

void SetShellOpenHandler(std::function<void(const QString&)> handler)
{
    g_shellOpen = std::move(handler);
}

bool StartProgram(const QString& program, const QStringList& arguments)
{
    if (g_startProgram)
        return g_startProgram(program, arguments);
    return QProcess::startDetached(program, arguments);
}

void SetStartProgramHandler(std::function<bool(const QString&, const QStringList&)> handler)
{
    g_startProgram = std::move(handler);
}

void EndProgram(int exitCode)
{
    if (g_endProgram) {
        g_endProgram(exitCode);
        return;
    }
    for (auto& hook : g_endHooks)
        hook();
    std::fflush(stdout);
    std::fflush(stderr);
    // Leave at once, the way the table always has: no window teardown, no event loop.
    std::_Exit(exitCode);
}

void SetEndProgramHandler(std::function<void(int)> handler)
{
    g_endProgram = std::move(handler);
}

void AddEndHook(std::function<void()> hook)
{
    g_endHooks.push_back(std::move(hook));
}

double SecondsSinceMidnight()
{
    if (g_clock)
        return g_clock();
    const QTime now = QTime::currentTime();
    return now.msecsSinceStartOfDay() / 1000.0;
}

void SetClock(std::function<double()> clock)
{
    g_clock = std::move(clock);
}

int ScaledWait(int ms)
{
    const int scaled = static_cast<int>(ms * g_waitFactor);
    return scaled < 0 ? 0 : scaled;
}

bool PumpUntil(const std::function<bool()>& done, int timeoutMs)
{
    const int scaled = ScaledWait(timeoutMs);
    QDeadlineTimer deadline(scaled < 0 ? 0 : scaled);
    while (!done()) {
        if (deadline.hasExpired())
            return done();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        if (!done())
            QThread::msleep(2);
    }
    return true;
}

void PumpFor(int ms)
{
    PumpUntil([] { return false; }, ms);
}

void SetWaitFactor(double factor)
{
    g_waitFactor = factor;
}

bool AnotherInstanceRunning()
{
    if (g_instanceCheck)
        return g_instanceCheck();
    if (g_instanceLock)
        return false;
    auto lock = std::make_unique<QLockFile>(QDir::temp().filePath(QStringLiteral("quellor.lock")));
    // A lock left by a crashed copy is taken over: QLockFile checks the owner's PID.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0))
        return true;
    g_instanceLock = std::move(lock);
    return false;
}

QString ProgramDir()
{
    if (!g_programDir.isEmpty())
        return g_programDir;
    return QCoreApplication::applicationDirPath();
}

namespace {

// The installation's data folder when the program runs installed, else empty. The path from the
// program's folder to it is fixed at build time, so that an installation moved as a whole (a
// package unpacked under another root) still finds its data.
QString InstalledDataDir()
{
#ifdef QUELLOR_INSTALLED_DATA
    static const QString dir = [] {
        const QString candidate =
            QDir::cleanPath(QCoreApplication::applicationDirPath() + QLatin1Char('/') + QStringLiteral(QUELLOR_INSTALLED_DATA));
        return QFileInfo(candidate).isDir() ? candidate : QString();
    }();
    return dir;
#else
    return QString();
#endif
}

}  // namespace

QString DataDir()
{
    if (!g_programDir.isEmpty())
        return g_programDir;
    const QString installed = InstalledDataDir();
    return installed.isEmpty() ? ProgramDir() : installed;
}

QString UserDir()
{
    if (!g_programDir.isEmpty() || InstalledDataDir().isEmpty())
        return ProgramDir();
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/quellor");
    QDir().mkpath(dir);
    return dir;
}

void SetProgramDir(const QString& dir)
{
    g_programDir = dir;
}

void SetInstanceCheck(std::function<bool()> check)
{
    g_instanceCheck = std::move(check);
}

void RestoreDefaults()
{
    g_instanceCheck = nullptr;
    g_messageBox = nullptr;
    g_okCancel = nullptr;
    g_shellOpen = nullptr;
    g_startProgram = nullptr;
    g_endProgram = nullptr;
    g_clock = nullptr;
    g_waitFactor = 1.0;
    g_programDir.clear();
}

}  // namespace Platform
