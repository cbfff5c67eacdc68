#include <gtest/gtest.h>

#include "Startup.h"
#include "common/ClientFixture.h"
#include "common/CommandLines.h"
#include "session/Connection.h"
#include "session/Transport.h"
#include "table/TableState.h"
#include "ui/MainForm.h"

using namespace TestLines;

class LoadTest : public TestDoubles::ClientFixture {};

TEST_F(LoadTest, DirectLineConnectsAndLogsIn)
{
    MainForm form;
    ASSERT_TRUE(Startup::LoadMainForm(form, {"quellor", Line(BaseFields())}, {1280, 1024}));
    EXPECT_EQ(socket->RemoteHost, "10.0.0.1");
    EXPECT_EQ(socket->RemotePort, 5000);
    EXPECT_EQ(socket->connectCalls, 1);
    EXPECT_EQ(form.Location->text(), "Room 3");
    EXPECT_EQ(HallLink::State.HallCaption, "Hallmere");
    EXPECT_FALSE(TableState.Table.Spectator);
    EXPECT_EQ(SysmsgText(0), "正在连接服务器...");
    EXPECT_TRUE(Transport::State.TickTasks[Transport::LoginTask].flag);
    EXPECT_TRUE(Transport::TimerBongEnabled());
    // The password is gone from the kept values once the request is built.
    EXPECT_TRUE(Connection::Link.Session.password.isEmpty());
    EXPECT_EQ(Connection::Link.EntryRequest[32], 'p');

    // The login task runs on the fourth tick: 22, then 771, then the request on the wire.
    for (int tick = 0; tick < 3; ++tick)
        Transport::RunTick();
    EXPECT_TRUE(hall->posted.empty());
    Transport::RunTick();
    EXPECT_EQ(hall->posted, (std::vector<uint32_t>{22, 771}));
    ASSERT_EQ(socket->sent.size(), 1u);
    EXPECT_EQ(socket->sent[0], QByteArray(reinterpret_cast<const char*>(Connection::Link.EntryRequest.data()), 272));
    EXPECT_TRUE(Connection::Link.AwaitingEntryReply);
    EXPECT_TRUE(Transport::State.TickTasks[Transport::LinkWatchTask].flag);
    EXPECT_FALSE(Transport::State.TickTasks[Transport::LoginTask].flag);
}

TEST_F(LoadTest, TheTuneStartsOnceTheWindowIsShown)
{
    MainForm form;
    ASSERT_TRUE(Startup::LoadMainForm(form, {"quellor", Line(BaseFields())}, {1280, 1024}));
    ASSERT_FALSE(soundDevice->calls.isEmpty());
    EXPECT_EQ(soundDevice->calls.first(), "open");
    EXPECT_TRUE(soundDevice->windowShownAtOpen);
    EXPECT_TRUE(soundDevice->playing);
    EXPECT_TRUE(soundDevice->looping);
}

TEST_F(LoadTest, CustomCaptionTitlesTheWindowAndNamesTheHall)
{
    QStringList f = BaseFields();
    f[10] = "1";
    f[11] = "Lobby";
    f[12] = "Table 7";
    MainForm form;
    ASSERT_TRUE(Startup::LoadMainForm(form, {"quellor", Line(f)}, {1024, 768}));
    EXPECT_EQ(form.windowTitle(), "Table 7");
    EXPECT_EQ(HallLink::State.HallCaption, "Lobby");
}

TEST_F(LoadTest, FailuresEndTheProgram)
{
    {
        MainForm form;
        EXPECT_FALSE(Startup::LoadMainForm(form, {"quellor", Line(With(8, ""))}, {1024, 768}));
        EXPECT_EQ(TestDoubles::Seen().endCalls, 1);
        EXPECT_TRUE(TestDoubles::Seen().messageBoxes.empty());
        EXPECT_EQ(hall->posted, (std::vector<uint32_t>{61728}));  // the hall is brought back
        EXPECT_EQ(socket->connectCalls, 0);
        EXPECT_TRUE(soundDevice->calls.isEmpty());  // a client that ends plays no tune
    }
    {
        MainForm form;
        EXPECT_FALSE(Startup::LoadMainForm(form, {"quellor"}, {1024, 768}));
        ASSERT_EQ(TestDoubles::Seen().messageBoxes.size(), 1u);
        EXPECT_EQ(TestDoubles::Seen().messageBoxes[0].text, "本游戏需从游戏大厅中启动！");
        EXPECT_EQ(TestDoubles::Seen().messageBoxes[0].title, "警告");
        EXPECT_EQ(TestDoubles::Seen().endCalls, 2);
    }
}

TEST_F(LoadTest, LocationFontFollowsScaleAndLength)
{
    struct Case {
        QString location;
        QSize screen;
        int points;
    } cases[] = {
        {"0123456789", {1280, 1024}, MainForm::LocationPointSize},
        {"0123456789A", {1280, 1024}, MainForm::LocationPointSize - 2},
        {"0123456789", {800, 600}, 10},
        {"0123456789A", {800, 600}, 8},
    };
    for (const Case& c : cases) {
        Transport::Reset();
        MainForm form;
        ASSERT_TRUE(Startup::LoadMainForm(form, {"quellor", Line(With(5, c.location))}, c.screen));
        EXPECT_EQ(form.Location->font().pointSize(), c.points) << c.location.toStdString();
    }
}

TEST_F(LoadTest, OtherProxyTypesOpenNoConnection)
{
    MainForm form;
    ASSERT_TRUE(Startup::LoadMainForm(form, {"quellor", Line(With(6, "3"))}, {1024, 768}));
    EXPECT_EQ(socket->connectCalls, 0);
    EXPECT_FALSE(Transport::State.TickTasks[Transport::LoginTask].flag);
    EXPECT_EQ(SysmsgText(0), "正在连接服务器...");
}

TEST_F(LoadTest, RefusedConnectionIsALostLink)
{
    socket->stateOnConnect = SocketState::Error;
    MainForm form;
    ASSERT_TRUE(Startup::LoadMainForm(form, {"quellor", Line(BaseFields())}, {1024, 768}));
    for (int tick = 0; tick < 4; ++tick)
        Transport::RunTick();
    EXPECT_TRUE(socket->sent.empty());
    EXPECT_FALSE(Transport::State.TickTasks[Transport::LoginTask].flag);
    // With a hall: the table closes and the hall is restored, the process stays.
    EXPECT_EQ(hall->posted, (std::vector<uint32_t>{22, 61728}));
    EXPECT_EQ(TestDoubles::Seen().endCalls, 0);
    EXPECT_FALSE(Transport::TimerBongEnabled());

    // Without a hall the same loss ends the program.
    hall->present = false;
    Transport::StartTask(Transport::LoginTask);
    for (int tick = 0; tick < 4; ++tick)
        Transport::RunTick();
    EXPECT_GE(TestDoubles::Seen().endCalls, 1);
}
