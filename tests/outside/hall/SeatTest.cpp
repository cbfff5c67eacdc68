// Where the seat button leads: the server as a person types it, and what may not go into the
// client's command line.
#include <gtest/gtest.h>

#include "Seat.h"

namespace {

using Hallmere::Seat;

TEST(Seat, TakesTheServerAsAPersonTypesIt)
{
    struct Case {
        const char* typed;
        bool taken;
        const char* host;
        int port;
        const char* shown;
    } cases[] = {
        {"games.example.org", true, "games.example.org", 7430, "games.example.org:7430"},
        {" 192.168.1.20:7555 ", true, "192.168.1.20", 7555, "192.168.1.20:7555"},
        {"[fd00::20]:7555", true, "fd00::20", 7555, "[fd00::20]:7555"},
        {"[fd00::20]", true, "fd00::20", 7430, "[fd00::20]:7430"},
        {"fd00::20", true, "fd00::20", 7430, "[fd00::20]:7430"},
        {"host:0", false, "127.0.0.1", 7430, nullptr},
        {"host:65536", false, "127.0.0.1", 7430, nullptr},
        {"two words", false, "127.0.0.1", 7430, nullptr},
        {"", false, "127.0.0.1", 7430, nullptr},
        {"[fd00::20]:x", false, "127.0.0.1", 7430, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        Seat seat;
        seat.host = "127.0.0.1";
        EXPECT_EQ(seat.SetServer(QString::fromUtf8(c.typed)), c.taken);
        EXPECT_EQ(seat.host, QString::fromUtf8(c.host));
        EXPECT_EQ(seat.port, c.port);
        if (c.shown) {
            EXPECT_EQ(seat.Server(), QString::fromUtf8(c.shown));
        }
    }
}

TEST(Seat, SaysWhatCannotGoIntoTheLineAndNeverShowsThePassword)
{
    Seat seat;
    seat.user = "alice";
    seat.password = "s3cret";
    seat.host = "192.168.1.20";
    seat.location = "一号桌";
    EXPECT_FALSE(seat.Problem());
    EXPECT_EQ(seat.Line(), QStringLiteral("alice$s3cret$192.168.1.20$7430$一号桌$0$$0$$$0$$$"));
    EXPECT_FALSE(seat.Summary().contains("s3cret"));
    EXPECT_TRUE(seat.Summary().contains("alice @ 192.168.1.20:7430"));

    const auto broken = [&](auto change) {
        Seat s = seat;
        change(s);
        return s.Problem().has_value();
    };
    EXPECT_TRUE(broken([](Seat& s) { s.user = ""; }));
    EXPECT_TRUE(broken([](Seat& s) { s.user = "al$ice"; }));
    EXPECT_TRUE(broken([](Seat& s) { s.password = "pa$$"; }));
    EXPECT_TRUE(broken([](Seat& s) { s.host = "evil$host"; }));
    EXPECT_TRUE(broken([](Seat& s) { s.port = 0; }));
    EXPECT_TRUE(broken([](Seat& s) { s.location = "$"; }));
    EXPECT_FALSE(broken([](Seat& s) { s.password = ""; }));
}

}  // namespace
