#include <gtest/gtest.h>

#include "common/Doubles.h"
#include "protocol/TableState.h"
#include "session/Startup.h"
#include "session/Transport.h"
#include "ui/MainForm.h"

using Startup::CommandLine;
using Startup::ParseOutcome;

namespace {

// The thirteen fields of a direct player line, each followed by "$".
QString Line(QStringList fields)
{
    QString line;
    for (const QString& f : fields)
        line += f + QLatin1Char('$');
    return line;
}

QStringList BaseFields()
{
    return {"alice", "pw", "10.0.0.1", "5000", "Room 3", "0", "", "0", "", "", "0", "", ""};
}

QStringList With(int field, const QString& value, QStringList fields = BaseFields())
{
    fields[field - 1] = value;
    return fields;
}

struct LineCase {
    const char* name;
    QString line;
    ParseOutcome outcome;
};

}  // namespace

TEST(CommandLine, DirectPlayerLineCarriesEveryField)
{
    CommandLine c;
    ASSERT_EQ(Startup::ParseCommandLine(Line(BaseFields()), c), ParseOutcome::Ok);
    EXPECT_EQ(c.userKey, "alice");
    EXPECT_EQ(c.password, "pw");
    EXPECT_EQ(c.serverHost, "10.0.0.1");
    EXPECT_EQ(c.serverPort, 5000);
    EXPECT_EQ(c.location, "Room 3");
    EXPECT_EQ(c.proxyType, 0);
    EXPECT_FALSE(c.customCaption);
    EXPECT_FALSE(c.spectator);
}

TEST(CommandLine, CustomCaptionsAndProxyFields)
{
    QStringList f = BaseFields();
    f[5] = "5";
    f[6] = "127.0.0.1";
    f[7] = "1080";
    f[8] = "bob";
    f[9] = "xy";
    f[10] = "1";
    f[11] = "Lobby";
    f[12] = "Table 7";
    CommandLine c;
    ASSERT_EQ(Startup::ParseCommandLine(Line(f), c), ParseOutcome::Ok);
    EXPECT_EQ(c.proxyType, 5);
    EXPECT_EQ(c.proxyHost, "127.0.0.1");
    EXPECT_EQ(c.proxyPort, 1080);
    EXPECT_EQ(c.proxyUserLength, 3);
    EXPECT_EQ(c.proxyPasswordLength, 2);
    EXPECT_TRUE(c.customCaption);
    EXPECT_EQ(c.hallCaption, "Lobby");
    EXPECT_EQ(c.ownCaption, "Table 7");
}

TEST(CommandLine, SpectatorLineEndsWithTheSeatValue)
{
    CommandLine c;
    ASSERT_EQ(Startup::ParseCommandLine(Line(BaseFields()) + "4", c), ParseOutcome::Ok);
    EXPECT_TRUE(c.spectator);
    EXPECT_DOUBLE_EQ(c.spectatorSeatValue, 4);
    EXPECT_EQ(c.location, "Room 3");
}

TEST(CommandLine, OutcomeTable)
{
    const LineCase cases[] = {
        {"empty", "", ParseOutcome::Empty},
        {"only blanks", "   ", ParseOutcome::Empty},
        {"blanks around a good line", "  " + Line(BaseFields()) + "  ", ParseOutcome::Ok},
        {"twelve fields", Line(BaseFields().mid(0, 12)), ParseOutcome::Invalid},
        {"one field", "alice$", ParseOutcome::Invalid},
        {"empty proxy port", Line(With(8, "")), ParseOutcome::Invalid},
        {"port not a number", Line(With(4, "50x0")), ParseOutcome::Invalid},
        {"port above 32767", Line(With(4, "40000")), ParseOutcome::Ok},
        {"port beyond 65535", Line(With(4, "70000")), ParseOutcome::Invalid},
        {"negative port", Line(With(4, "-1")), ParseOutcome::Invalid},
        {"proxy type beyond 16 bits", Line(With(6, "40000")), ParseOutcome::Invalid},
        {"proxy type not a number", Line(With(6, "socks")), ParseOutcome::Invalid},
        {"caption switch not a number", Line(With(11, "yes")), ParseOutcome::Invalid},
        {"name with a double-byte character", Line(With(1, "张三")), ParseOutcome::Invalid},
        {"password with a double-byte character", Line(With(2, "密码")), ParseOutcome::Invalid},
        {"name longer than its 16 bytes", Line(With(1, "abcdefghijklmnopq")), ParseOutcome::Invalid},
        {"name of exactly 16 bytes", Line(With(1, "abcdefghijklmnop")), ParseOutcome::Ok},
        {"proxy user with a double-byte character", Line(With(9, "用户")), ParseOutcome::Invalid},
        {"Chinese location is fine", Line(With(5, "北京 三号桌")), ParseOutcome::Ok},
        {"spectator value not a number", Line(BaseFields()) + "x", ParseOutcome::Invalid},
    };
    for (const LineCase& c : cases) {
        CommandLine parsed;
        EXPECT_EQ(Startup::ParseCommandLine(c.line, parsed), c.outcome) << c.name;
    }
}

TEST(CommandLine, ArgumentsAreJoinedWithSingleBlanks)
{
    const QString whole = Line(BaseFields());
    EXPECT_EQ(Startup::JoinArguments({"quellor", whole}), whole);
    // A launcher that split the line at its blanks gives the same line back.
    EXPECT_EQ(Startup::JoinArguments({"quellor", "alice$pw$10.0.0.1$5000$Room", "3$0$$0$$$0$$$"}), whole);
}

TEST(Screen, ScaleAndWindowPlacement)
{
    struct Case {
        QSize screen;
        double scale;
        QRect window;
        QRect pic1;
    } cases[] = {
        {{1024, 768}, 1.0, {0, 0, 1024, 768}, {0, 0, 1024, 768}},
        {{800, 600}, 0.78125, {0, 0, 800, 600}, {0, 0, 800, 600}},
        {{1280, 1024}, 1.0, {0, 0, 1040, 796}, {8, 20, 1024, 768}},
        {{1024, 600}, 0.78125, {0, 0, 1024, 600}, {0, 0, 1024, 600}},
    };
    for (const Case& c : cases) {
        const LayoutScaleFactors s = Startup::ChooseScale(c.screen);
        EXPECT_EQ(s.h, c.scale) << c.screen.width() << "x" << c.screen.height();
        EXPECT_EQ(s.v, c.scale);
        const Startup::WindowPlacement p = Startup::PlaceWindow(c.screen);
        EXPECT_EQ(p.window, c.window) << c.screen.width();
        EXPECT_EQ(p.pic1, c.pic1) << c.screen.width();
    }
}

TEST(EntryRequest, BytesOfAFirstLogin)
{
    CommandLine c;
    ASSERT_EQ(Startup::ParseCommandLine(Line(With(2, "s3cret!")), c), ParseOutcome::Ok);
    const Packet p = Startup::BuildEntryRequest(c);
    Packet expected{};
    expected[3] = 18;
    const char* name = "alice";
    for (int i = 0; name[i]; ++i)
        expected[static_cast<size_t>(16 + i)] = static_cast<uint8_t>(name[i]);
    const char* password = "s3cret!";
    for (int i = 0; password[i]; ++i)
        expected[static_cast<size_t>(32 + i)] = static_cast<uint8_t>(password[i]);
    EXPECT_EQ(p, expected);
}

class LoadTest : public TestDoubles::ClientFixture {};

TEST_F(LoadTest, DirectLineConnectsAndLogsIn)
{
    MainForm form;
    ASSERT_TRUE(Startup::LoadMainForm(form, {"quellor", Line(BaseFields())}, {1280, 1024}));
    EXPECT_EQ(socket->RemoteHost, "10.0.0.1");
    EXPECT_EQ(socket->RemotePort, 5000);
    EXPECT_EQ(socket->connectCalls, 1);
    EXPECT_EQ(form.Location->text(), "Room 3");
    EXPECT_EQ(HallLink::HallCaption, "Hallmere");
    EXPECT_FALSE(TableState.Spectator);
    EXPECT_EQ(SysmsgText(0), "正在连接服务器...");
    EXPECT_TRUE(Transport::TickTasks[Transport::LoginTask].flag);
    EXPECT_TRUE(Transport::TimerBongEnabled());
    // The password is gone from the kept values once the request is built.
    EXPECT_TRUE(Startup::Session.password.isEmpty());
    EXPECT_EQ(Startup::EntryRequest[32], 'p');

    // The login task runs on the fourth tick: 22, then 771, then the request on the wire.
    for (int tick = 0; tick < 3; ++tick)
        Transport::RunTick();
    EXPECT_TRUE(hall->posted.empty());
    Transport::RunTick();
    EXPECT_EQ(hall->posted, (std::vector<uint32_t>{22, 771}));
    ASSERT_EQ(socket->sent.size(), 1u);
    EXPECT_EQ(socket->sent[0], QByteArray(reinterpret_cast<const char*>(Startup::EntryRequest.data()), 272));
    EXPECT_TRUE(TableState.AwaitingEntryReply);
    EXPECT_TRUE(Transport::TickTasks[Transport::LinkWatchTask].flag);
    EXPECT_FALSE(Transport::TickTasks[Transport::LoginTask].flag);
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
    EXPECT_EQ(HallLink::HallCaption, "Lobby");
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
    EXPECT_FALSE(Transport::TickTasks[Transport::LoginTask].flag);
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
    EXPECT_FALSE(Transport::TickTasks[Transport::LoginTask].flag);
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
