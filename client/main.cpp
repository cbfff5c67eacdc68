#include <QApplication>
#include <QGuiApplication>
#include <QScreen>

#include <cstring>
#include <thread>

#include <fontconfig/fontconfig.h>

#include "Startup.h"
#include "ui/MainForm.h"
#include "ui/WebPage.h"

int main(int argc, char** argv)
{
    WebPage::PrepareEnvironment();
    // Reading the font configuration is the longest single step before the first frame, and
    // nothing needs it until the window is built: it runs while Qt starts. The library is safe
    // to call from any thread and keeps the result for Qt; nothing of ours is touched.
    std::thread fontConfiguration([] { FcInit(); });
    QApplication app(argc, argv);
    fontConfiguration.join();
    QApplication::setApplicationName(QStringLiteral("Quellor"));

    const QStringList arguments = QCoreApplication::arguments();
    // The command line carries the password: keep it out of the process list from now on.
    for (int i = 1; i < argc; ++i)
        std::memset(argv[i], 0, std::strlen(argv[i]));

    QSize screen(1024, 768);
    if (const QScreen* primary = QGuiApplication::primaryScreen())
        screen = primary->size();
    if (qEnvironmentVariableIsSet("QUELLOR_SCREEN")) {
        // For trying the small layout on a large display: QUELLOR_SCREEN=800x600.
        const QStringList wh = qEnvironmentVariable("QUELLOR_SCREEN").split(QLatin1Char('x'));
        if (wh.size() == 2 && wh[0].toInt() > 0 && wh[1].toInt() > 0)
            screen = QSize(wh[0].toInt(), wh[1].toInt());
    }

    MainForm form;
    if (!Startup::LoadMainForm(form, arguments, screen))
        return 1;
    Startup::WatchOutsideEnd();
    return app.exec();
}
