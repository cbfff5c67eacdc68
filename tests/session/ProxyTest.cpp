#include <gtest/gtest.h>

#include "common/ClientFixture.h"
#include "session/Connection.h"
#include "session/Proxy.h"
#include "session/Transport.h"
#include "wire/Commands.h"

namespace {

QByteArray Bytes(std::initializer_list<int> values)
{
    QByteArray b;
    for (int v : values)
        b.append(static_cast<char>(v));
    return b;
}

class ProxyTest : public TestDoubles::ClientFixture {
protected:
    void SetUp() override
    {
        ClientFixture::SetUp();
        Launch::CommandLine& s = Connection::Link.Session;
        s.proxyType = 5;
        s.proxyHost = "127.0.0.1";
        s.proxyPort = 1080;
        s.serverHost = "192.168.1.20";
        s.serverPort = 6000;
        s.proxyUser = "u";
        s.proxyUserLength = 1;
        s.proxyPassword = "pw";
        s.proxyPasswordLength = 2;
        Connection::Link.EntryRequest = Wire::NewPacket(Command::Entry);
        Mod_Proxy::StartProxyConnection();
    }
};

}  // namespace

TEST_F(ProxyTest, GreetingThenConnectWithoutAuthentication)
{
    EXPECT_EQ(socket->RemotePort, 1080);
    ASSERT_EQ(socket->sent.size(), 1u);
    EXPECT_EQ(socket->sent[0], Bytes({5, 2, 0, 2}));
    EXPECT_FALSE(Transport::State.ProxyHandshakeDone);
    EXPECT_TRUE(Connection::Link.AwaitingEntryReply);

    socket->Deliver(Bytes({5, 0}));
    ASSERT_EQ(socket->sent.size(), 2u);
    EXPECT_EQ(socket->sent[1], Bytes({5, 1, 0, 1, 0xC0, 0xA8, 0x01, 0x14, 0x17, 0x70}));
}

TEST_F(ProxyTest, AuthenticationRequestCarriesLengthsAndBytes)
{
    socket->Deliver(Bytes({5, 2}));
    ASSERT_EQ(socket->sent.size(), 2u);
    EXPECT_EQ(socket->sent[1], Bytes({1, 1, 'u', 2, 'p', 'w'}));
    socket->Deliver(Bytes({1, 0}));
    ASSERT_EQ(socket->sent.size(), 3u);
    EXPECT_EQ(socket->sent[2][1], 1);  // the connect request
}

TEST_F(ProxyTest, RefusalsShowTheirBoxAndCloseTheSocket)
{
    struct Case {
        std::vector<QByteArray> replies;
        const char* text;
    } cases[] = {
        {{Bytes({5, 0xFF})}, "请求代理失败！"},
        {{Bytes({4, 0})}, "请求代理失败！"},
        {{Bytes({5, 2}), Bytes({1, 1})}, "代理服务器用户验证失败！"},
        {{Bytes({5, 0}), Bytes({5, 5, 0, 1, 0, 0, 0, 0, 0, 0})}, "通过代理连接主站失败！"},
    };
    for (const Case& c : cases) {
        TestDoubles::Seen() = {};
        socket->sent.clear();
        Mod_Proxy::StartProxyConnection();
        // The box waits with the link already gone: nothing more can arrive or be answered.
        int stateUnderTheBox = -1;
        TestDoubles::Seen().whileBoxShows = [&] { stateUnderTheBox = socket->state; };
        for (const QByteArray& r : c.replies)
            socket->Deliver(r);
        EXPECT_EQ(stateUnderTheBox, SocketState::Closed) << c.text;
        ASSERT_EQ(TestDoubles::Seen().messageBoxes.size(), 1u) << c.text;
        EXPECT_EQ(TestDoubles::Seen().messageBoxes[0].text, QString::fromUtf8(c.text));
        EXPECT_EQ(socket->state, SocketState::Closed);
        EXPECT_FALSE(Transport::State.ProxyHandshakeDone);
    }
}

TEST_F(ProxyTest, SuccessHandsOverWithoutLeakingTheBoundAddress)
{
    socket->Deliver(Bytes({5, 0}));
    // The connect result comes in pieces, the first of one byte only.
    socket->Deliver(Bytes({5}));
    socket->Deliver(Bytes({0, 0, 1, 10}));
    EXPECT_FALSE(Transport::State.ProxyHandshakeDone);
    socket->Deliver(Bytes({0, 0, 1, 0x1F, 0x90}));
    EXPECT_TRUE(Transport::State.ProxyHandshakeDone);
    EXPECT_EQ(Transport::State.RecvRing.Queued(), 0);
    ASSERT_EQ(socket->sent.size(), 3u);
    EXPECT_EQ(socket->sent[2].size(), 272);
    EXPECT_EQ(socket->sent[2][3], 18);
    EXPECT_EQ(hall->posted, (std::vector<uint32_t>{771}));
    EXPECT_TRUE(Transport::TimerBongEnabled());

    // From now on arrivals are packets.
    socket->Deliver(QByteArray(272, '\0'));
    EXPECT_EQ(Transport::State.RecvRing.Queued(), 272);
}

TEST(ProxyLine, ServerMustBeAnIPv4AddressBehindAProxy)
{
    Launch::CommandLine c;
    EXPECT_EQ(Launch::ParseCommandLine("a$b$game.example$6000$R$5$127.0.0.1$1080$$$0$$$", c),
              Launch::ParseOutcome::Invalid);
    EXPECT_EQ(Launch::ParseCommandLine("a$b$10.1.2.3$6000$R$5$127.0.0.1$1080$$$0$$$", c),
              Launch::ParseOutcome::Ok);
    EXPECT_EQ(Launch::ParseCommandLine("a$b$game.example$6000$R$0$$0$$$0$$$", c), Launch::ParseOutcome::Ok);
}
