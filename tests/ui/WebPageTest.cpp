// The embedded web page's rules, with a recording page; and the plugin layer when the browser
// plugin is missing.
#include <gtest/gtest.h>

#include <unistd.h>

#include <QFile>

#include "messages/EntryMessages.h"
#include "session/Platform.h"
#include "table/TableState.h"
#include "ui/UiFixture.h"
#include "wire/Commands.h"

namespace {

using namespace UiTest;

Packet EntryWithAddress(const QByteArray& address)
{
    Packet p = Wire::NewPacket(Command::Entry);
    p[15] = 1;
    for (int i = 0; i < address.size() && i < 100; ++i)
        p[static_cast<size_t>(16 + i)] = static_cast<uint8_t>(address[i]);
    return p;
}

class WebPageTest : public TableFixture {};

bool EngineMapped()
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("WebEngine");
}

}  // namespace

TEST_F(WebPageTest, EntryReplyNavigatesAndCompletePlacesThePageBesideTheBird)
{
    for (const QSize screen : {QSize(1280, 1024), QSize(800, 600)}) {
        MainForm& f = Load(screen);
        const QRect bird = f.Bird->geometry();
        // Laid out inside the Bird picture before anything is shown.
        EXPECT_EQ(web->geometry, bird.adjusted(2, 2, -2, -2));
        EXPECT_FALSE(web->visible);

        EntryMessages::HandleEntryResult(EntryWithAddress("http://127.0.0.1:8090/ad.html"));
        ASSERT_EQ(web->navigations, (std::vector<QString>{"http://127.0.0.1:8090/ad.html"}));
        EXPECT_TRUE(web->visible);

        web->geometry.moveTopLeft({0, 0});
        web->DocumentComplete();
        EXPECT_EQ(web->geometry.topLeft(), bird.topLeft() + QPoint(2, 2));
        EXPECT_TRUE(web->visible);
        EXPECT_EQ(web->raises, 1);
        EXPECT_FALSE(f.WebPageFailed);
    }
}

TEST_F(WebPageTest, FailedPageNeverComesBack)
{
    MainForm& f = Load({1280, 1024});
    EntryMessages::HandleEntryResult(EntryWithAddress("http://127.0.0.1:1/none"));
    web->NavigateError();
    EXPECT_FALSE(web->visible);
    EXPECT_TRUE(f.WebPageFailed);

    // A complete event after the error, and a later entry reply, leave it hidden.
    web->DocumentComplete();
    EXPECT_FALSE(web->visible);
    EXPECT_EQ(web->raises, 0);
    EntryMessages::HandleEntryResult(EntryWithAddress("http://127.0.0.1:8090/ad.html"));
    EXPECT_FALSE(web->visible);
    web->DocumentComplete();
    EXPECT_FALSE(web->visible);
}

TEST_F(WebPageTest, NoAddressNoPage)
{
    Load({1280, 1024});
    Packet p = EntryWithAddress("");
    p[17] = 'x';  // text after a zero first byte is not an address
    EntryMessages::HandleEntryResult(p);
    EXPECT_TRUE(web->navigations.empty());
    EXPECT_FALSE(web->visible);
    EXPECT_TRUE(TableState.Table.WebPageAddress.isEmpty());
}

// Without the browser plugin the table goes on: the page reports an error from the event loop
// and never shows, and the engine never enters the process.
TEST_F(WebPageTest, MissingPluginLeavesTheTableWithoutAPage)
{
    MainForm& f = Load({1280, 1024});
    f.SetWebBrowser(WebPage::MakePluginView(f.Pic1, QStringLiteral("/nonexistent/libquellor-web.so")));
    EXPECT_EQ(f.WebBrowser1->Geometry(), f.Bird->geometry().adjusted(2, 2, -2, -2));
    EntryMessages::HandleEntryResult(EntryWithAddress("http://127.0.0.1:8090/ad.html"));
    EXPECT_FALSE(f.WebPageFailed);  // not from inside the entry reply
    EXPECT_TRUE(Platform::PumpUntil([&] { return f.WebPageFailed; }, 1000 * 100));
    EXPECT_FALSE(f.WebBrowser1->IsVisible());
    EXPECT_EQ(f.Pic1->findChild<QWidget*>(QStringLiteral("WebBrowser1")), nullptr);
    EXPECT_FALSE(WebPage::EngineLoaded());
    EXPECT_FALSE(EngineMapped());
}

TEST(WebPageEnvironment, SandboxIsSwitchedOffForRootOnly)
{
    const QByteArray saved = qgetenv("QTWEBENGINE_DISABLE_SANDBOX");
    qunsetenv("QTWEBENGINE_DISABLE_SANDBOX");
    WebPage::PrepareEnvironment();
    if (::geteuid() == 0)
        EXPECT_EQ(qgetenv("QTWEBENGINE_DISABLE_SANDBOX"), "1");
    else
        EXPECT_FALSE(qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"));
    // A value the user chose is kept.
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "0");
    WebPage::PrepareEnvironment();
    EXPECT_EQ(qgetenv("QTWEBENGINE_DISABLE_SANDBOX"), "0");
    if (saved.isNull())
        qunsetenv("QTWEBENGINE_DISABLE_SANDBOX");
    else
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", saved);
}
