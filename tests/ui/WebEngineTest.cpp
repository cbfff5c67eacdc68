// The table's web page on the real browser plugin, against pages served on 127.0.0.1.
// Its own program: the browser engine, once loaded, stays in the process.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QTcpServer>

#include "common/ClientFixture.h"
#include "messages/EntryMessages.h"
#include "resources/Pictures.h"
#include "session/Platform.h"
#include "table/TableState.h"
#include "ui/Layout.h"
#include "wire/Commands.h"

// The browser engine frees some objects with a delete of another type than it allocated;
// that is inside its own library. Read only by a sanitizer build.
extern "C" const char* __asan_default_options()
{
    return "new_delete_type_mismatch=0";
}
#include "ui/LocalHttp.h"
#include "ui/MainForm.h"
#include "ui/WebPage.h"

namespace {

// How long the engine may take to start and answer one navigation here.
constexpr int EngineWaitMs = 30000;

Packet EntryWithAddress(const QString& address)
{
    Packet p = Wire::NewPacket(Command::Entry);
    p[15] = 1;
    const QByteArray bytes = address.toLatin1();
    for (int i = 0; i < bytes.size() && i < 100; ++i)
        p[static_cast<size_t>(16 + i)] = static_cast<uint8_t>(bytes[i]);
    return p;
}

// A port on 127.0.0.1 where nobody listens.
quint16 ClosedPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}

class WebEngineTest : public TestDoubles::ClientFixture {
protected:
    void SetUp() override
    {
        ClientFixture::SetUp();
        const QString plugin = QStringLiteral(QUELLOR_WEB_PLUGIN);
        if (plugin.isEmpty() || !QFile::exists(plugin))
            GTEST_SKIP() << "the browser plugin was not built (no Qt WebEngine at configure time)";
        WebPage::PrepareEnvironment();
        Pictures::BuildPictureTables(TableState.Display.LayoutScale);
        Layout::FirstLayoutPass(form);
        form.show();
        Layout::SecondLayoutPass(form);
        form.SetWebBrowser(WebPage::MakePluginView(form.Pic1, plugin));
        form.WebBrowser1->DocumentComplete = [this] {
            ++completes;
            form.WebDocumentComplete();
        };
        form.WebBrowser1->NavigateError = [this] {
            ++errors;
            form.WebNavigateError();
        };
    }

    // Waits for the next event of the page; skips the test when the engine gives no sign of
    // life in time (no display for it, no GPU fallback, a broken installation).
    bool WaitForEvent(int before)
    {
        const bool answered = Platform::PumpUntil([&] { return completes + errors > before; }, EngineWaitMs * 100);
        return answered;
    }

    QWidget* Browser() const { return form.Pic1->findChild<QWidget*>(QStringLiteral("WebBrowser1")); }

    MainForm form;
    LocalHttp http;
    int completes = 0;
    int errors = 0;
};

}  // namespace

TEST_F(WebEngineTest, ServedPageIsShownBesideTheBird)
{
    ASSERT_TRUE(http.Listening());
    QElapsedTimer clock;
    clock.start();
    EntryMessages::HandleEntryResult(EntryWithAddress(http.Url("/page")));
    if (!WebPage::EngineLoaded())
        GTEST_SKIP() << "the browser plugin could not be loaded here";
    EXPECT_TRUE(form.WebBrowser1->IsVisible());  // shown while loading, as the entry reply asks
    if (!WaitForEvent(0))
        GTEST_SKIP() << "Qt WebEngine did not answer within " << EngineWaitMs / 1000 << " s here";
    EXPECT_EQ(completes, 1) << "errors: " << errors;
    EXPECT_GE(http.Requests(), 1);
    ASSERT_NE(Browser(), nullptr);
    EXPECT_TRUE(Browser()->isVisible());
    EXPECT_EQ(Browser()->pos(), form.Bird->pos() + QPoint(2, 2));
    EXPECT_FALSE(form.WebPageFailed);
    RecordProperty("engine_ms", static_cast<int>(clock.elapsed()));
}

TEST_F(WebEngineTest, UnreachablePageStaysHiddenEvenWhenALaterPageCompletes)
{
    EntryMessages::HandleEntryResult(EntryWithAddress(QStringLiteral("http://127.0.0.1:%1/page").arg(ClosedPort())));
    if (!WebPage::EngineLoaded())
        GTEST_SKIP() << "the browser plugin could not be loaded here";
    if (!WaitForEvent(0))
        GTEST_SKIP() << "Qt WebEngine did not answer within " << EngineWaitMs / 1000 << " s here";
    EXPECT_EQ(errors, 1);
    EXPECT_TRUE(form.WebPageFailed);
    EXPECT_FALSE(form.WebBrowser1->IsVisible());

    // A page that does load afterwards (a second entry reply) completes, and stays hidden.
    EntryMessages::HandleEntryResult(EntryWithAddress(http.Url("/page")));
    ASSERT_TRUE(WaitForEvent(1));
    EXPECT_EQ(completes, 1);
    EXPECT_FALSE(form.WebBrowser1->IsVisible());
    ASSERT_NE(Browser(), nullptr);
    EXPECT_FALSE(Browser()->isVisible());
}

TEST_F(WebEngineTest, MissingDocumentIsANavigateError)
{
    EntryMessages::HandleEntryResult(EntryWithAddress(http.Url("/missing")));
    if (!WebPage::EngineLoaded())
        GTEST_SKIP() << "the browser plugin could not be loaded here";
    if (!WaitForEvent(0))
        GTEST_SKIP() << "Qt WebEngine did not answer within " << EngineWaitMs / 1000 << " s here";
    EXPECT_EQ(errors, 1);
    EXPECT_EQ(completes, 0);
    EXPECT_TRUE(form.WebPageFailed);
    EXPECT_FALSE(form.WebBrowser1->IsVisible());
}

TEST_F(WebEngineTest, OnlyWebAddressesAreOpened)
{
    for (const char* address : {"file:///etc/hostname", "javascript:alert(1)", "ftp://127.0.0.1/x"}) {
        SCOPED_TRACE(address);
        form.WebPageFailed = false;
        const int before = errors;
        EntryMessages::HandleEntryResult(EntryWithAddress(QString::fromLatin1(address)));
        ASSERT_TRUE(WaitForEvent(before + completes));
        EXPECT_EQ(errors, before + 1);
        EXPECT_TRUE(form.WebPageFailed);
        EXPECT_EQ(Browser(), nullptr);  // no browser was made for it
    }
}
