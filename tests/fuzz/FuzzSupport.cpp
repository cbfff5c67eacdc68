#include "FuzzTarget.h"

#include <QApplication>
#include <QSize>

#include "Startup.h"
#include "common/doubles/FakeWebPage.h"
#include "common/doubles/PlatformDoubles.h"
#include "ui/MainForm.h"
#include "ui/WebPage.h"

namespace FuzzSupport {

void EnsureApplication()
{
    if (QCoreApplication::instance())
        return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "quellor-fuzz";
    static char* argv[] = {name, nullptr};
    // Never destroyed: at exit, Qt's own globals may already be gone before a static
    // application object would be.
    static QApplication* app = new QApplication(argc, argv);
    (void)app;
    TestDoubles::InstallPlatformDoubles();
}

Client::Client(bool withTable)
{
    EnsureApplication();
    doubles = TestDoubles::ResetClientWithDoubles();
    if (!withTable)
        return;
    WebPage::SetFactory([](QWidget*) { return std::make_unique<TestDoubles::FakeWebPage>(); });
    form = std::make_unique<MainForm>();
    const QString line = QStringLiteral("alice$pw$10.0.0.1$5000$一号桌$9$$0$$$0$$$");
    Startup::LoadMainForm(*form, {QStringLiteral("quellor"), line}, QSize(1024, 768));
}

Client::~Client()
{
    form.reset();
    WebPage::SetFactory(nullptr);
    TestDoubles::ResetClientAfterUse();
}

}  // namespace FuzzSupport
