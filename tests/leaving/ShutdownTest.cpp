// Leaving the table: the exit confirmation, the notice window, the close and end-of-table
// steps, and the hall's questions in each state of the table.
#include <gtest/gtest.h>

#include <functional>

#include <QFile>
#include <QTemporaryDir>

#include "leaving/Shutdown.h"
#include "play/PlayerActions.h"
#include "session/Connection.h"
#include "session/HallLink.h"
#include "session/Platform.h"
#include "sound/Mod_Sound.h"
#include "table/TableState.h"
#include "ui/ExitWindows.h"
#include "ui/UiFixture.h"
#include "video/VideoLinks.h"
#include "video/ZoomWindows.h"

namespace {

class ShutdownTest : public UiTest::TableInTempDirFixture {
protected:
    // A seated, connected table with a round history.
    MainForm& Seated()
    {
        MainForm& f = Load({1280, 1024});
        socket->state = SocketState::Connected;
        socket->sent.clear();
        TableState.Seats[0].seatBit = 4;
        TableState.Seats[1].seatKey = "bob";
        TableState.Players[1].nickname = "乙";
        f.Nid[1]->setText("[新手] 乙");
        QFile history(dir.filePath("info.hm"));
        EXPECT_TRUE(history.open(QIODevice::WriteOnly));
        history.write("[juNum:1]\r\ncount( 0 )=1\r\n");
        history.close();
        hall->posted.clear();
        return f;
    }

    bool Emptied(const MainForm& f) const
    {
        return TableState.Seats[1].seatKey.isEmpty() && TableState.Players[1].nickname.isEmpty()
               && f.Nid[1]->text().isEmpty() && !QFile::exists(dir.filePath("info.hm")) && f.isMinimized();
    }

    // The leave packets that went out on the socket.
    int LeavePackets() const
    {
        int n = 0;
        for (const QByteArray& bytes : socket->sent) {
            QByteArray expected(272, '\0');
            expected[3] = 16;
            expected[6] = 4;
            expected[14] = 1;
            n += bytes == expected ? 1 : 0;
        }
        return n;
    }

};

}  // namespace

TEST_F(ShutdownTest, TheConfirmationShowsItsSecondLineOnlyForAPlayerDuringARound)
{
    Seated();
    struct Case {
        bool round, spectator, warning;
    } cases[] = {{true, false, true}, {false, false, false}, {true, true, false}};
    for (const Case& c : cases) {
        TableState.Round.RoundRunning = c.round;
        TableState.Table.Spectator = c.spectator;
        PlayerActions::AnNiuClick(8);
        ASSERT_TRUE(ExitWindows::ExitShowing());
        EXPECT_EQ(ExitWindows::TheExit().Label1->text(), "您真的要退出吗？");
        EXPECT_EQ(ExitWindows::TheExit().Label2->isVisible(), c.warning) << c.round << c.spectator;
        PlayerActions::AnNiuClick(8);  // a second press takes it away again
        EXPECT_FALSE(ExitWindows::ExitShowing());
    }
}

TEST_F(ShutdownTest, ConfirmingSendsOneLeavePacketClosesAndHandsTheScreenBack)
{
    MainForm& f = Seated();
    f.show();
    TableState.Round.RoundRunning = true;
    PlayerActions::AnNiuClick(8);
    ExitWindows::TheExit().pbCloseMe->clicked(Qt::LeftButton);
    EXPECT_EQ(LeavePackets(), 1);
    EXPECT_EQ(socket->sent.size(), 1u);
    EXPECT_EQ(socket->state, SocketState::Closed);
    EXPECT_TRUE(Emptied(f));
    EXPECT_TRUE(TableState.Table.LeaveOnStart);
    EXPECT_EQ(hall->posted, (std::vector<uint32_t>{61728}));
    EXPECT_EQ(TestDoubles::Seen().endCalls, 0);  // the hall is there: the process waits for it
    EXPECT_FALSE(ExitWindows::ExitShowing());

    // Without a hall, leaving ends the program.
    Seated();
    hall->present = false;
    PlayerActions::AnNiuClick(8);
    ExitWindows::TheExit().pbCloseMe->clicked(Qt::LeftButton);
    EXPECT_EQ(TestDoubles::Seen().endCalls, 1);
}

TEST_F(ShutdownTest, CancelThenStartClosesTheTable)
{
    MainForm& f = Seated();
    f.show();
    PlayerActions::AnNiuClick(8);
    ExitWindows::TheExit().pbCancel->clicked(Qt::LeftButton);
    EXPECT_FALSE(ExitWindows::ExitShowing());
    EXPECT_TRUE(TableState.Table.LeaveOnStart);
    f.AnNiuLatched[2] = false;
    PlayerActions::AnNiuClick(2);
    EXPECT_TRUE(Emptied(f));
    EXPECT_EQ(hall->posted, (std::vector<uint32_t>{61728}));
    EXPECT_EQ(LeavePackets(), 0);  // the end of the table closes the socket without a word
}

TEST_F(ShutdownTest, TheNoticeWindowLeavesOrStays)
{
    MainForm& f = Seated();
    f.show();
    Shutdown::ShowOtherExit("本桌已关闭");
    ASSERT_TRUE(ExitWindows::OtherExitShowing());
    EXPECT_EQ(ExitWindows::TheOtherExit().Label1->text(), "本桌已关闭");
    ExitWindows::TheOtherExit().imgCancel->clicked(Qt::LeftButton);
    EXPECT_FALSE(ExitWindows::OtherExitShowing());
    EXPECT_TRUE(TableState.Table.LeaveOnStart);
    Shutdown::ShowOtherExit("本桌已关闭");
    ExitWindows::TheOtherExit().imgOK->clicked(Qt::LeftButton);
    EXPECT_TRUE(Emptied(f));
    EXPECT_EQ(hall->posted, (std::vector<uint32_t>{61728}));
}

TEST_F(ShutdownTest, TheHallsQuestionsInEachState)
{
    struct Case {
        const char* name;
        uint32_t message;
        bool awaitingEntry, round;
        std::vector<uint32_t> answer;
        bool closes;
    } cases[] = {
        {"1125 during a round", 1125, false, true, {1125}, false},
        {"1125 between rounds", 1125, false, false, {1024}, false},
        {"771 while logging in", 771, true, false, {1126}, false},
        {"771 during a round", 771, false, true, {1125}, false},
        {"771 between rounds", 771, false, false, {1024}, true},
        {"1024", 1024, false, true, {}, true},
    };
    for (const Case& c : cases) {
        Startup::ResetClient();
        MainForm& f = Seated();
        f.show();
        Connection::Link.AwaitingEntryReply = c.awaitingEntry;
        TableState.Round.RoundRunning = c.round;
        HallLink::OnHallMessage(c.message);
        EXPECT_EQ(hall->posted, c.answer) << c.name;
        EXPECT_EQ(Emptied(f), c.closes) << c.name;
        EXPECT_EQ(LeavePackets(), c.closes ? 1 : 0) << c.name;
        EXPECT_EQ(TestDoubles::Seen().endCalls, 0) << c.name;
    }
}

TEST_F(ShutdownTest, EveryWayOfLeavingStopsTheCameraUntilTheUserSitsAgain)
{
    struct Case {
        const char* name;
        std::function<void()> leave;
    } cases[] = {
        {"the exit confirmation", [] {
             PlayerActions::AnNiuClick(8);
             ExitWindows::TheExit().pbCloseMe->clicked(Qt::LeftButton);
         }},
        {"the notice window", [] {
             Shutdown::ShowOtherExit("本桌已关闭");
             ExitWindows::TheOtherExit().imgOK->clicked(Qt::LeftButton);
         }},
        {"the hall closing the table", [] { HallLink::OnHallMessage(1024); }},
    };
    for (const Case& c : cases) {
        Startup::ResetClient();
        camera->startResult = 0;
        camera->opens = camera->closes = 0;
        MainForm& f = Seated();
        f.show();
        ASSERT_TRUE(VideoLinks::Video.CameraOn) << c.name;  // the table's layout started it
        ZoomWindows::ToggleZoom(0);
        ASSERT_TRUE(ZoomWindows::ZoomShowing(0)) << c.name;

        c.leave();
        EXPECT_FALSE(VideoLinks::Video.CameraOn) << c.name;
        EXPECT_EQ(camera->closes, 1) << c.name;
        EXPECT_GE(camera->stops, 1) << c.name;
        EXPECT_FALSE(f.vcap1->isVisible()) << c.name;
        EXPECT_FALSE(ZoomWindows::ZoomShowing(0)) << c.name;

        // A new table seats the user: the camera comes back.
        const int opens = camera->opens;
        VideoLinks::OnPlayerSeated(0);
        EXPECT_EQ(camera->opens, opens + 1) << c.name;
        EXPECT_TRUE(VideoLinks::Video.CameraOn) << c.name;
    }
}

TEST_F(ShutdownTest, AWindowManagerCloseTakesTheCloseButtonsPath)
{
    MainForm& f = Seated();
    f.show();
    TableState.Round.RoundRunning = true;
    // Alt+F4 or the task bar: the confirmation, and nothing else yet.
    EXPECT_FALSE(f.close());
    EXPECT_TRUE(f.isVisible());
    EXPECT_TRUE(ExitWindows::ExitShowing());
    EXPECT_EQ(LeavePackets(), 0);
    EXPECT_EQ(TestDoubles::Seen().endCalls, 0);
    // Once more takes it away again, like the close button.
    EXPECT_FALSE(f.close());
    EXPECT_FALSE(ExitWindows::ExitShowing());
    EXPECT_TRUE(f.isVisible());
}

TEST_F(ShutdownTest, AnEndThatCannotWaitStillLeavesAndUnloads)
{
    camera->startResult = 0;
    MainForm& f = Seated();
    f.show();
    TableState.Round.RoundRunning = true;
    Mod_Sound::PlaySound(QStringLiteral("/tune.wav"), true);
    ASSERT_TRUE(soundDevice->playing);

    Shutdown::LeaveAtOnce();
    EXPECT_EQ(LeavePackets(), 1);
    EXPECT_EQ(socket->state, SocketState::Closed);
    EXPECT_EQ(peerLink->logouts, 1);       // the relay is told
    EXPECT_EQ(camera->closes, 1);
    EXPECT_FALSE(soundDevice->playing);
    EXPECT_EQ(hall->posted, (std::vector<uint32_t>{61728}));
    EXPECT_EQ(TestDoubles::Seen().endCalls, 1);
    EXPECT_EQ(TestDoubles::Seen().lastExitCode, 0);
}
