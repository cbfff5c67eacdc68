// Received packets through the whole path: session code, log and the dispatcher's table.
#include <gtest/gtest.h>

#include <random>

#include "chat/ChatDisplay.h"
#include "common/ClientFixture.h"
#include "session/Connection.h"
#include "session/Platform.h"
#include "session/Reconnect.h"
#include "session/SiteConfig.h"
#include "session/TableWindow.h"
#include "session/Transport.h"
#include "table/TableState.h"
#include "ui/MainForm.h"
#include "wire/Commands.h"
#include "wire/Gbk.h"

namespace {

Packet WithCode(uint8_t command, uint8_t a, uint8_t b)
{
    Packet p = Wire::NewPacket(command);
    p[260] = a;
    p[261] = b;
    return p;
}

Packet EntryResult(uint8_t outcome)
{
    Packet p = Wire::NewPacket(Command::Entry);
    p[15] = outcome;
    return p;
}

class DispatcherTest : public TestDoubles::ClientFixture {
protected:
    MainForm form;
};

}  // namespace

TEST_F(DispatcherTest, SessionCodeIsTakenFromEveryPacketButAReconnectResult)
{
    Transport::DeliverPacket(WithCode(24, 1, 2));
    EXPECT_EQ(Transport::State.SessionCode, (std::array<uint8_t, 2>{1, 2}));
    Packet reconnect = WithCode(29, 9, 9);
    reconnect[15] = 1;
    Reconnect::RequestSent();
    Transport::DeliverPacket(reconnect);
    EXPECT_EQ(Transport::State.SessionCode, (std::array<uint8_t, 2>{1, 2}));
    EXPECT_TRUE(Connection::Link.EntryOk);
    EXPECT_TRUE(Connection::Link.Reconnected);
    Transport::DeliverPacket(WithCode(5, 3, 4));
    EXPECT_EQ(Transport::State.SessionCode, (std::array<uint8_t, 2>{3, 4}));
}

TEST_F(DispatcherTest, UnknownCommandsChangeNothingButTheSessionCode)
{
    for (uint8_t command : {2, 5, 30, 255}) {
        ResetTableState();
        Packet p = WithCode(command, command, 7);
        for (int i = 4; i < 260; ++i)
            p[static_cast<size_t>(i)] = 0xFF;
        SysmsgClear(0);
        Transport::DeliverPacket(p);
        EXPECT_EQ(Transport::State.SessionCode[0], command);
        EXPECT_FALSE(Connection::Link.EntryOk);
        EXPECT_TRUE(TableState.Table.WebPageAddress.isEmpty());
        EXPECT_TRUE(SysmsgText(0).isEmpty());
        EXPECT_TRUE(hall->posted.empty());
        EXPECT_EQ(TestDoubles::Seen().endCalls, 0);
    }
}

TEST_F(DispatcherTest, AcceptedEntry)
{
    Connection::Link.AwaitingEntryReply = true;
    TableState.Clock.ClockSeconds = 20;
    Packet p = EntryResult(1);
    p[9] = 3;
    const QByteArray address("http://127.0.0.1:8090/table.html");
    for (int i = 0; i < address.size(); ++i)
        p[static_cast<size_t>(16 + i)] = static_cast<uint8_t>(address[i]);
    Transport::DeliverPacket(p);

    EXPECT_TRUE(Connection::Link.EntryOk);
    EXPECT_FALSE(Connection::Link.AwaitingEntryReply);
    EXPECT_EQ(TableState.Clock.TimeoutLimit, 3);
    EXPECT_EQ(TableState.Clock.TurnSeconds, 20);
    EXPECT_EQ(TableState.Clock.ClockValue, 20);
    EXPECT_EQ(TableState.Table.WebPageAddress, QString::fromLatin1(address));
    EXPECT_EQ(SysmsgText(0), "连接服务器成功！");
    EXPECT_EQ(SysmsgText(1), "欢迎进入" + SiteConfig::SiteName);
    EXPECT_EQ(hall->posted, (std::vector<uint32_t>{771}));
    EXPECT_TRUE(form.TimerKeepAlive->isActive());
    EXPECT_EQ(TestDoubles::Seen().endCalls, 0);
}

TEST_F(DispatcherTest, WebAddressFieldBounds)
{
    Packet full = EntryResult(1);
    for (int i = 16; i < 116; ++i)
        full[static_cast<size_t>(i)] = 'a';
    full[116] = 'b';  // beyond the field
    Transport::DeliverPacket(full);
    EXPECT_EQ(TableState.Table.WebPageAddress, QString(100, QLatin1Char('a')));

    Packet empty = EntryResult(1);
    empty[17] = 'x';  // after a leading zero byte: still empty
    Transport::DeliverPacket(empty);
    EXPECT_TRUE(TableState.Table.WebPageAddress.isEmpty());
}

TEST_F(DispatcherTest, RefusedEntriesTellTheHallAndEnd)
{
    struct Case {
        uint8_t outcome;
        const char* text;
    } cases[] = {
        {2, "启动游戏失败，请重新在大厅就座后进入游戏！"},
        {0, "验证错误，请重新在大厅就座后进入游戏！"},
        {3, "验证错误，请重新在大厅就座后进入游戏！"},
    };
    for (const Case& c : cases) {
        hall->posted.clear();
        TestDoubles::Seen() = {};
        ResetTableState();
        Connection::Link.AwaitingEntryReply = true;
        Transport::DeliverPacket(EntryResult(c.outcome));
        EXPECT_FALSE(Connection::Link.EntryOk);
        EXPECT_FALSE(Connection::Link.AwaitingEntryReply);
        EXPECT_EQ(SysmsgText(0), QString::fromUtf8(c.text));
        EXPECT_EQ(hall->posted, (std::vector<uint32_t>{22, 61728}));
        EXPECT_EQ(TestDoubles::Seen().endCalls, 1);
    }
}

TEST_F(DispatcherTest, FailedReconnectShowsABoxAndEnds)
{
    // Without a reconnect request of its own out, the client takes no answer to one.
    Transport::DeliverPacket(WithCode(29, 0, 0));
    EXPECT_TRUE(TestDoubles::Seen().messageBoxes.empty());
    EXPECT_EQ(TestDoubles::Seen().endCalls, 0);

    Reconnect::RequestSent();
    Transport::DeliverPacket(WithCode(29, 0, 0));
    ASSERT_EQ(TestDoubles::Seen().messageBoxes.size(), 1u);
    EXPECT_EQ(TestDoubles::Seen().messageBoxes[0].text, "重连服务器失败，退出后请重新入座！");
    EXPECT_EQ(TestDoubles::Seen().endCalls, 1);
}

TEST_F(DispatcherTest, ChatLinesReachTheMessageArea)
{
    TableState.Seats[0].seatBit = 1;
    TableState.Players[0].nickname = "甲";
    TableState.Players[1].nickname = "乙";
    auto chat = [](uint8_t sender, uint8_t to, const QString& text) {
        Packet p = Wire::NewPacket(Command::Chat);
        p[6] = sender;
        p[11] = to;
        const QByteArray bytes = Gbk::Encode(text);
        for (int i = 0; i < bytes.size(); ++i)
            p[static_cast<size_t>(16 + i)] = static_cast<uint8_t>(bytes[i]);
        return p;
    };
    Transport::DeliverPacket(chat(1, 0, "甲说道： 你好"));
    Transport::DeliverPacket(chat(2, 1, "快点"));
    Transport::DeliverPacket(chat(0, 0, "系统消息"));
    // The newest line is the lower one; the own nickname reads 你.
    EXPECT_EQ(SysmsgText(0), "乙对你说道： 快点");
    EXPECT_EQ(SysmsgText(1), "系统消息");

    // 200 text bytes without a terminating zero end at byte 215.
    Packet full = chat(2, 0, QString(100, QChar(0x597D)));
    full[216] = 'X';
    EXPECT_EQ(Chat::DecodeChatText(full), QString(100, QChar(0x597D)));
}

// Whatever the server sends, the dispatcher stays inside the packet and the client keeps
// running (under the sanitizer build this also catches reads past the buffer).
TEST_F(DispatcherTest, RandomPacketsAreHandledSafely)
{
    // Departures wait with the window working; here the waits only cost time.
    Platform::SetWaitFactor(0);
    std::mt19937 random(20261210);
    std::uniform_int_distribution<int> byte(0, 255);
    const uint8_t commands[] = {1, 6, 9, 16, 18, 19, 20, 21, 22, 23, 24, 29, 0, 255};
    for (int n = 0; n < 3000; ++n) {
        Packet p{};
        for (uint8_t& b : p)
            b = static_cast<uint8_t>(byte(random));
        p[3] = commands[static_cast<size_t>(n) % std::size(commands)];
        Transport::DeliverPacket(p);
        if (p[3] != 29) {
            ASSERT_EQ(Transport::State.SessionCode[0], p[260]);
        }
    }
    EXPECT_LE(TableState.Table.WebPageAddress.size(), 100);
}
