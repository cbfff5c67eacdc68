// Players going away (commands 16, 21 and 22) on a seated table.
#include <gtest/gtest.h>

#include <QTimer>

#include "session/Platform.h"
#include "session/TableWindow.h"
#include "session/Transport.h"
#include "table/TableState.h"
#include "ui/ExitWindows.h"
#include "ui/UiFixture.h"
#include "wire/Commands.h"
#include "wire/Fields.h"
#include "wire/Gbk.h"

namespace {

Packet Departure(uint8_t staying, uint8_t reason)
{
    Packet p = Wire::NewPacket(Command::Departure);
    p[Field::Seat] = staying;
    p[Field::Departure::Reason] = reason;
    return p;
}

Packet WithText(uint8_t command, int at, const QByteArray& bytes)
{
    Packet p = Wire::NewPacket(command);
    for (int i = 0; i < bytes.size(); ++i)
        p[static_cast<size_t>(at + i)] = static_cast<uint8_t>(bytes[i]);
    return p;
}

class DepartureTest : public UiTest::TableFixture {
protected:
    // The user 甲 at seat bit 1, 乙 2, 丙 4, 丁 8; the clock at 9:05:07.
    MainForm& Seated()
    {
        MainForm& f = Load({1280, 1024});
        f.show();
        Platform::SetClock([] { return 9 * 3600 + 5 * 60 + 7.5; });
        const char* names[4] = {"甲", "乙", "丙", "丁"};
        const char* keys[4] = {"alice", "bob", "carol", "dave"};
        for (size_t pos = 0; pos < 4; ++pos) {
            TableState.Seats[pos].seatBit = static_cast<uint8_t>(1 << pos);
            TableState.Seats[pos].seatKey = QString::fromLatin1(keys[pos]);
            TableState.Players[pos].nickname = QString::fromUtf8(names[pos]);
            f.Nid[pos]->setText(QString::fromUtf8(names[pos]));
        }
        TableState.Table.PlayersKnown = 4;
        TableState.Table.GameStarted = true;
        TableState.Round.RoundRunning = true;
        hall->posted.clear();
        socket->sent.clear();
        return f;
    }
    static void Deliver(const Packet& p) { Transport::DeliverPacket(p); }
};

}  // namespace

TEST_F(DepartureTest, APlayerLeavingTheGameEmptiesTheSeatAndEndsTheGame)
{
    MainForm& f = Seated();
    Deliver(Departure(15, 1));  // nobody missing: nothing
    EXPECT_EQ(TableState.Table.PlayersKnown, 4);
    EXPECT_TRUE(TableState.Round.RoundRunning);

    Deliver(Departure(15 - 4, 1));  // 丙 (seat 4, position 2) left
    EXPECT_EQ(TableState.Table.PlayersKnown, 3);
    EXPECT_TRUE(f.Nid[2]->text().isEmpty());
    EXPECT_TRUE(TableState.Seats[2].seatKey.isEmpty());
    EXPECT_TRUE(TableState.Players[2].nickname.isEmpty());
    EXPECT_EQ(SysmsgText(0), "丙退出了游戏！ 9:5:7");
    ASSERT_TRUE(ExitWindows::OtherExitShowing());
    EXPECT_EQ(ExitWindows::TheOtherExit().Label1->text(), "玩家丙退出了游戏！游戏结束！");
    EXPECT_TRUE(TableState.Table.LeaveOnStart);
    EXPECT_FALSE(TableState.Round.RoundRunning);
    EXPECT_EQ(socket->state, SocketState::Closed);
    EXPECT_EQ(TestDoubles::Seen().endCalls, 0);
}

TEST_F(DepartureTest, TheUserLeavingEndsTheProgram)
{
    Seated();
    Deliver(Departure(15 - 1, 1));
    EXPECT_EQ(TestDoubles::Seen().endCalls, 1);
}

TEST_F(DepartureTest, CoinShortageTexts)
{
    struct Case {
        const char* name;
        uint8_t missing;
        const char* line;
        const char* notice;
    } cases[] = {
        {"the user alone", 1, "玩家，甲金币不够，退出游戏！", "您的金币不够，退出游戏！游戏结束！"},
        {"two others", 2 | 8, "玩家乙，丁金币不够，退出游戏！", "乙，丁的金币不够，退出游戏！游戏结束！"},
        {"the user and another", 1 | 4, "玩家丙，甲金币不够，退出游戏！", "丙以及您的金币不够，退出游戏！游戏结束！"},
    };
    for (const Case& c : cases) {
        Startup::ResetClient();
        MainForm& f = Seated();
        // The line and the notice go with the table once its waits are over: a probe running
        // during those waits reads them while they show.
        QString line, notice;
        QTimer probe;
        QObject::connect(&probe, &QTimer::timeout, [&] {
            if (!SysmsgText(0).isEmpty())
                line = SysmsgText(0);
            if (ExitWindows::OtherExitShowing())
                notice = ExitWindows::TheOtherExit().Label1->text();
        });
        probe.start(0);
        Deliver(Departure(static_cast<uint8_t>(15 - c.missing), 3));
        probe.stop();
        EXPECT_EQ(line, QString::fromUtf8(c.line)) << c.name;
        EXPECT_EQ(notice, QString::fromUtf8(c.notice)) << c.name;
        EXPECT_TRUE(f.isMinimized()) << c.name;
        EXPECT_EQ(hall->posted, (std::vector<uint32_t>{61728})) << c.name;
        EXPECT_TRUE(TableState.Table.LeaveOnStart) << c.name;
        for (size_t pos = 0; pos < 4; ++pos)
            EXPECT_TRUE(f.Nid[pos]->text().isEmpty()) << c.name;
    }
}

TEST_F(DepartureTest, LeavingTheTable)
{
    MainForm& f = Seated();
    Transport::StartTask(Transport::ReadyClockTask);
    Deliver(WithText(Command::PlayerLeft, Field::PlayerLeft::Key, "nobody"));
    EXPECT_FALSE(Transport::State.TickTasks[Transport::ReadyClockTask].flag);
    EXPECT_EQ(TableState.Table.PlayersKnown, 4);

    Deliver(WithText(Command::PlayerLeft, Field::PlayerLeft::Key, "dave"));
    EXPECT_EQ(TableState.Table.PlayersKnown, 3);
    EXPECT_TRUE(f.Nid[3]->text().isEmpty());
    EXPECT_EQ(SysmsgText(0), "丁退出了游戏 9:5:7");
    EXPECT_FALSE(TableState.Table.GameStarted);
    EXPECT_EQ(TestDoubles::Seen().endCalls, 0);

    Deliver(WithText(Command::PlayerLeft, Field::PlayerLeft::Key, "alice"));
    EXPECT_EQ(TestDoubles::Seen().endCalls, 1);
}

TEST_F(DepartureTest, TheServerClosesTheTableEvenWithAnEmptyNotice)
{
    for (const QByteArray& notice : {Gbk::Encode(QStringLiteral("服务器正在维护")), QByteArray()}) {
        Startup::ResetClient();
        MainForm& f = Seated();
        socket->state = SocketState::Connected;
        Deliver(WithText(Command::TableClosed, Field::TableClosed::Notice, notice));
        EXPECT_TRUE(f.isMinimized());
        EXPECT_EQ(hall->posted, (std::vector<uint32_t>{61728}));
        EXPECT_TRUE(TableState.Table.LeaveOnStart);
        EXPECT_TRUE(f.Nid[1]->text().isEmpty());
        EXPECT_EQ(socket->state, SocketState::Closed);
        // Exactly one leave packet went out before the socket closed.
        ASSERT_EQ(socket->sent.size(), 1u);
        EXPECT_EQ(static_cast<uint8_t>(socket->sent[0][14]), 1);
    }
}

TEST_F(DepartureTest, ASpectatorLeavesWithAnyDeparture)
{
    Seated();
    TableState.Table.Spectator = true;
    Deliver(WithText(Command::PlayerLeft, Field::PlayerLeft::Key, "nobody"));
    ASSERT_EQ(TestDoubles::Seen().messageBoxes.size(), 1u);
    EXPECT_EQ(TestDoubles::Seen().messageBoxes[0].text, "有用户退出，旁观结束！");
    EXPECT_EQ(TestDoubles::Seen().endCalls, 1);
}
