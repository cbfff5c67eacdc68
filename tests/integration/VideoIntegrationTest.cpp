// The peer video end to end: this process is the client with its real peer link, at a table of
// the real server with three computer players whose cameras the real relay plays.
#include <QImage>
#include <QProcess>

#include "integration/TableIntegrationFixture.h"
#include "video/P2PSocket.h"
#include "video/VCap.h"
#include "video/VideoLinks.h"

using IntegrationTest::TableIntegration;

TEST_F(TableIntegration, TheComputerPlayersVideoShowsAtEverySeat)
{
    QProcess* relay = nullptr;
    QString relayOut;
    const int relayPort = StartRelay(relay, relayOut);
    ASSERT_GT(relayPort, 0);
    qputenv("QUELLOR_RELAY_PORT", QByteArray::number(relayPort));
    SetP2PSocket1(MakeRelayP2PSocket());
    VideoLinks::Connect();

    QProcess* server = nullptr;
    QString serverOut;
    const int port = StartServer({"--bots", "3", "--ready-seconds", "0"}, server, serverOut);
    ASSERT_GT(port, 0);
    MainForm& f = Sit(port);
    qunsetenv("QUELLOR_RELAY_PORT");

    const bool shown = Until(
        [&f] {
            for (size_t p = 1; p <= 3; ++p)
                if (!f.vshow1[p]->isVisible() || f.vshow1[p]->pixmap().isNull())
                    return false;
            return true;
        },
        15000);
    ASSERT_TRUE(shown);
    for (size_t p = 1; p <= 3; ++p) {
        EXPECT_TRUE(f.PicLocal[p]->isVisible()) << p;
        EXPECT_TRUE(VideoLinks::Video.LastFrame[p].startsWith("BM")) << p;
    }
    // The pictures move: a later frame differs from the first.
    const QByteArray first = VideoLinks::Video.LastFrame[2];
    ASSERT_TRUE(Until([&first] { return VideoLinks::Video.LastFrame[2] != first; }, 5000));
}

TEST_F(TableIntegration, TwoPlayersSeeEachOthersCameraThroughTheRelay)
{
    QProcess* relay = nullptr;
    QString relayOut;
    const int relayPort = StartRelay(relay, relayOut);
    ASSERT_GT(relayPort, 0);
    // Both clients take the test picture as their camera; bob's inherits the environment.
    qputenv("QUELLOR_RELAY_PORT", QByteArray::number(relayPort));
    qputenv("QUELLOR_CAMERA", "test");
    SetP2PSocket1(MakeRelayP2PSocket());
    SetVCap1(MakeVCap());
    VideoLinks::Connect();

    QProcess* bobsHall = nullptr;
    QString serverOut;
    const int bob = SitBesideBob(bobsHall, serverOut);
    qunsetenv("QUELLOR_RELAY_PORT");
    qunsetenv("QUELLOR_CAMERA");
    ASSERT_GT(bob, 0) << serverOut.toStdString();
    EXPECT_TRUE(VideoLinks::Video.CameraOn);

    const auto at = static_cast<size_t>(bob);
    ASSERT_TRUE(Until([this, at] { return !VideoLinks::Video.LastFrame[at].isEmpty() && form->vshow1[at]->isVisible(); }, 15000))
        << relayOut.toStdString();
    // bob's camera is the colour bars: white at the left edge, blue at the right.
    QImage picture;
    ASSERT_TRUE(picture.loadFromData(VideoLinks::Video.LastFrame[at], "BMP"));
    const QColor right = picture.pixelColor(picture.width() - 3, 3);
    EXPECT_GT(right.blue(), 180);
    EXPECT_LT(right.red(), 80);
    // And bob's relay link saw alice's login and request.
    relayOut += QString::fromUtf8(relay->readAll());
    EXPECT_TRUE(relayOut.contains("login of alice")) << relayOut.toStdString();
    EXPECT_TRUE(relayOut.contains("login of bob")) << relayOut.toStdString();

    // bob leaves: his video goes from alice's table and her slot for him closes.
    bobsHall->write("send 1024\n");
    ASSERT_TRUE(Until([this, at] { return !form->vshow1[at]->isVisible() && VideoLinks::Video.LastFrame[at].isEmpty(); }, 15000));
    EXPECT_FALSE(form->PicLocal[at]->isVisible());
    for (int slot = 1; slot <= 3; ++slot)
        EXPECT_NE(P2PSocket1().UserID(slot), "bob") << slot;

    // alice's pictures reached bob's link too: the relay says so when bob's client goes.
    bobsHall->terminate();
    const QRegularExpression bobsPictures("bob left the relay; (\\d+) pictures reached it");
    ASSERT_TRUE(Until([&] {
        relayOut += QString::fromUtf8(relay->readAll());
        return bobsPictures.match(relayOut).hasMatch();
    }, 10000)) << relayOut.toStdString();
    EXPECT_GT(bobsPictures.match(relayOut).captured(1).toInt(), 0);
}
