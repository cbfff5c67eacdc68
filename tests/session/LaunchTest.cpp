#include <gtest/gtest.h>

#include "common/CommandLines.h"
#include "session/Launch.h"

using Launch::CommandLine;
using Launch::ParseOutcome;
using namespace TestLines;

namespace {

struct LineCase {
    const char* name;
    QString line;
    ParseOutcome outcome;
};

}  // namespace

TEST(CommandLine, DirectPlayerLineCarriesEveryField)
{
    CommandLine c;
    ASSERT_EQ(Launch::ParseCommandLine(Line(BaseFields()), c), ParseOutcome::Ok);
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
    ASSERT_EQ(Launch::ParseCommandLine(Line(f), c), ParseOutcome::Ok);
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
    ASSERT_EQ(Launch::ParseCommandLine(Line(BaseFields()) + "4", c), ParseOutcome::Ok);
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
        EXPECT_EQ(Launch::ParseCommandLine(c.line, parsed), c.outcome) << c.name;
    }
}

TEST(CommandLine, ArgumentsAreJoinedWithSingleBlanks)
{
    const QString whole = Line(BaseFields());
    EXPECT_EQ(Launch::JoinArguments({"quellor", whole}), whole);
    // A launcher that split the line at its blanks gives the same line back.
    EXPECT_EQ(Launch::JoinArguments({"quellor", "alice$pw$10.0.0.1$5000$Room", "3$0$$0$$$0$$$"}), whole);
}
