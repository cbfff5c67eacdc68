// The peer link against the real relay on 127.0.0.1: two users who ask for each other are
// linked and pictures pass as BMP frames; a computer player sends its moving picture; what a
// hostile relay or peer sends is dropped.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>

#include <memory>

#include "video/P2PSocket.h"
#include "video/RelayWire.h"

namespace {

bool Until(const std::function<bool()>& done, int ms)
{
    QDeadlineTimer deadline(ms);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

QByteArray Picture(const char* format, QSize size, QColor colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

struct Peer {
    std::unique_ptr<P2PSocket> socket = MakeRelayP2PSocket();
    std::vector<int> logins;
    std::vector<std::pair<int, int>> states;
    std::vector<std::pair<int, QByteArray>> frames;

    Peer(int port, const QString& name)
    {
        socket->ServerHost = QStringLiteral("127.0.0.1");
        socket->ServerPort = port;
        socket->LoginResult = [this](int state) { logins.push_back(state); };
        socket->UserStateChanged = [this](int slot, int state) { states.emplace_back(slot, state); };
        socket->FrameArrived = [this](int slot, const QByteArray& frame) { frames.emplace_back(slot, frame); };
        socket->Login(name, {});
    }
};

class P2PSocketTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        relay.setProcessChannelMode(QProcess::MergedChannels);
        relay.start(QStringLiteral(QUELLOR_BIN_DIR "/quellor-relay"), {"--port", "0"});
        ASSERT_TRUE(relay.waitForStarted(5000));
        const QRegularExpression listening("listening on 127\\.0\\.0\\.1:(\\d+)");
        QDeadlineTimer deadline(5000);
        while (!listening.match(out).hasMatch() && !deadline.hasExpired()) {
            relay.waitForReadyRead(100);
            out += QString::fromUtf8(relay.readAll());
        }
        port = listening.match(out).captured(1).toInt();
        ASSERT_GT(port, 0) << out.toStdString();
    }

    void TearDown() override
    {
        relay.kill();
        relay.waitForFinished(3000);
    }

    QProcess relay;
    QString out;
    int port = 0;
};

}  // namespace

TEST_F(P2PSocketTest, TwoUsersWhoAskForEachOtherSeeEachOthersPictures)
{
    Peer alice(port, "alice");
    Peer bob(port, "bob");
    ASSERT_TRUE(Until([&] { return !alice.logins.empty() && !bob.logins.empty(); }, 5000));
    EXPECT_EQ(alice.logins[0], 2);

    alice.socket->RequestVideo(1, "bob");
    ASSERT_TRUE(Until([&] { return alice.socket->UserState(1) == 1; }, 3000));
    EXPECT_EQ(alice.socket->UserID(1), "bob");
    bob.socket->RequestVideo(3, "alice");
    ASSERT_TRUE(Until([&] { return alice.socket->UserState(1) == 14 && bob.socket->UserState(3) == 14; }, 3000));
    EXPECT_EQ(bob.socket->UserID(3), "alice");

    // A BMP from alice reaches bob as a BMP of the same size, in bob's slot for alice.
    const QByteArray bmp = Picture("BMP", {160, 120}, QColor(200, 30, 30));
    alice.socket->SendFrame(1, bmp);
    ASSERT_TRUE(Until([&] { return !bob.frames.empty(); }, 3000));
    EXPECT_EQ(bob.frames[0].first, 3);
    QImage got;
    ASSERT_TRUE(got.loadFromData(bob.frames[0].second, "BMP"));
    EXPECT_EQ(got.size(), QSize(160, 120));
    const QColor centre = got.pixelColor(80, 60);
    EXPECT_NEAR(centre.red(), 200, 12);
    EXPECT_NEAR(centre.green(), 30, 12);

    // bob wants every frame of alice: alice's slot says so.
    bob.socket->SetViewerRate(3, true);
    ASSERT_TRUE(Until([&] { return alice.socket->UserState(1) == 15; }, 3000));

    // Something that is not a BMP is not sent at all.
    alice.socket->SendFrame(1, QByteArray("not a picture"));
    Until([] { return false; }, 300);
    EXPECT_EQ(bob.frames.size(), 1u);

    // bob goes: alice's slot waits for him again.
    bob.socket->Logout();
    ASSERT_TRUE(Until([&] { return alice.socket->UserState(1) == 1; }, 3000));
}

TEST_F(P2PSocketTest, AComputerPlayerSendsAMovingPicture)
{
    Peer alice(port, "alice");
    ASSERT_TRUE(Until([&] { return !alice.logins.empty(); }, 5000));
    alice.socket->RequestVideo(2, "cpu1");
    alice.socket->SetViewerRate(2, true);
    ASSERT_TRUE(Until([&] { return alice.frames.size() >= 3; }, 5000));
    QImage first, third;
    ASSERT_TRUE(first.loadFromData(alice.frames[0].second, "BMP"));
    ASSERT_TRUE(third.loadFromData(alice.frames[2].second, "BMP"));
    EXPECT_EQ(first.size(), QSize(176, 144));
    EXPECT_NE(first, third);  // it moves
}

TEST(VideoFrames, PicturesFromPeersAreCheckedBeforeTheyAreDecoded)
{
    EXPECT_FALSE(VideoFrames::FromWire(Picture("JPEG", {64, 48}, Qt::blue)).isEmpty());
    EXPECT_FALSE(VideoFrames::FromWire(Picture("PNG", {64, 48}, Qt::blue)).isEmpty());
    EXPECT_TRUE(VideoFrames::FromWire(QByteArray()).isEmpty());
    EXPECT_TRUE(VideoFrames::FromWire(QByteArray(5000, 'x')).isEmpty());
    // A BMP (or anything else that is not a compressed picture) is not taken from the wire.
    EXPECT_TRUE(VideoFrames::FromWire(Picture("BMP", {64, 48}, Qt::blue)).isEmpty());
    // Too large a picture is refused from its header.
    EXPECT_TRUE(VideoFrames::FromWire(Picture("PNG", {4000, 10}, Qt::blue)).isEmpty());
    // A truncated picture gives nothing rather than garbage.
    const QByteArray jpeg = Picture("JPEG", {64, 48}, Qt::blue);
    EXPECT_TRUE(VideoFrames::FromWire(jpeg.left(40)).isEmpty());
    // A BMP frame of the program becomes a JPEG; anything else nothing.
    EXPECT_TRUE(VideoFrames::ToWire(Picture("BMP", {32, 32}, Qt::red)).startsWith("\xFF\xD8"));
    EXPECT_TRUE(VideoFrames::ToWire(jpeg).isEmpty());
}

TEST(P2PSocketHostileRelay, GarbageFromTheRelayDropsTheLinkAndNothingElse)
{
    QTcpServer fake;
    ASSERT_TRUE(fake.listen(QHostAddress::LocalHost, 0));
    auto socket = MakeRelayP2PSocket();
    std::vector<int> logins;
    socket->LoginResult = [&](int state) { logins.push_back(state); };
    socket->ServerHost = "127.0.0.1";
    socket->ServerPort = fake.serverPort();
    socket->Login("alice", {});
    ASSERT_TRUE(Until([&] { return fake.hasPendingConnections(); }, 3000));
    QTcpSocket* link = fake.nextPendingConnection();
    // Logged in, then a message claiming 100 MB.
    RelayWire::Message ok;
    ok.type = RelayWire::Type::LoginResult;
    ok.state = 2;
    const std::vector<uint8_t> bytes = RelayWire::Encode(ok);
    link->write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    link->write(QByteArray("\x00\x00\x40\x06\x18", 5));
    ASSERT_TRUE(Until([&] { return logins.size() >= 2; }, 3000));
    EXPECT_EQ(logins, (std::vector<int>{2, 0}));
    EXPECT_TRUE(Until([&] { return link->state() != QAbstractSocket::ConnectedState; }, 3000));
    socket->Logout();
}
