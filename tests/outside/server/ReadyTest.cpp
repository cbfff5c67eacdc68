// The wait for the first deal of a table that has just filled: a human who stays silent is made
// ready once it is over, one who asks first is dealt at once, and between rounds the table
// leaves readiness to the players.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "wire/Commands.h"
#include "Harness.h"
#include "Probe.h"

namespace {

constexpr int Wait = 7;  // seconds; not the default, so that a fixed 15 would show
constexpr int64_t WaitMs = 1000LL * Wait;

Server::TableConfig Config(int bots, int readySeconds = Wait)
{
    Server::TableConfig c = QuickTable(bots, 3);
    c.readySeconds = readySeconds;
    return c;
}

std::vector<std::string> MadeReadyLines(const Harness& h)
{
    std::vector<std::string> out;
    for (const std::string& line : h.log)
        if (line.find(" is made ready after ") != std::string::npos)
            out.push_back(line);
    return out;
}

// Keys named in the ready messages a seat was sent, in order.
std::vector<std::string> ReadyKeys(const Harness& h, int seat)
{
    std::vector<std::string> keys;
    for (const Packet& p : h.Of(seat, Command::Ready))
        keys.push_back(Probe::Field(p, 16, 16));
    return keys;
}

struct Step {
    int64_t at;
    enum { Enter, Ready, Leave } what;
    int seat;         // for Ready and Leave
    const char* key;  // for Enter
};

TEST(ReadyWait, SilentHumansOfAJustFilledTableAreMadeReadyWhenTheWaitIsOver)
{
    struct Case {
        const char* name;
        int bots;
        std::vector<Step> steps;
        int64_t filledAt;         // the entry that took the fourth seat
        size_t roundsBefore;
        std::vector<int> silent;  // seats to be made ready, in seat order
    };
    const std::vector<Case> cases = {
        {"one human", 3, {{4000, Step::Enter, 0, "alice"}}, 4000, 0, {0}},
        // The wait counts from the fill, not from the first entry, and spares whoever asked.
        {"the second human fills the table",
         2,
         {{0, Step::Enter, 0, "alice"}, {1000, Step::Ready, 0, nullptr}, {6000, Step::Enter, 0, "bob"}},
         6000,
         0,
         {1}},
        // A table that stops being full starts the wait again when it fills once more.
        {"filled, left, filled again",
         2,
         {{0, Step::Enter, 0, "alice"},
          {1000, Step::Enter, 0, "bob"},
          {3000, Step::Leave, 1, nullptr},
          {9000, Step::Enter, 0, "carol"}},
         9000,
         0,
         {0, 1}},
        {"filled again after a round was abandoned",
         2,
         {{0, Step::Enter, 0, "alice"},
          {0, Step::Enter, 0, "bob"},
          {0, Step::Ready, 0, nullptr},
          {0, Step::Ready, 1, nullptr},
          {500, Step::Leave, 1, nullptr},
          {8000, Step::Enter, 0, "carol"}},
         8000,
         1,
         {0, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Harness h(Config(c.bots));
        for (const Step& step : c.steps) {
            h.At(step.at);
            if (step.what == Step::Enter)
                ASSERT_GE(h.Enter(step.key), 0);
            else if (step.what == Step::Ready)
                h.Ready(step.seat);
            else
                h.Receive(step.seat, LeavePacket(step.seat));
        }
        ASSERT_FALSE(h.table.RoundRunning());
        ASSERT_EQ(h.table.Rounds().size(), c.roundsBefore);

        h.At(c.filledAt + WaitMs - 1);
        EXPECT_FALSE(h.table.RoundRunning()) << "dealt before the wait was over";
        EXPECT_EQ(h.table.Rounds().size(), c.roundsBefore);
        for (int seat : c.silent)
            EXPECT_FALSE(h.table.IsReady(seat)) << "seat " << seat;
        EXPECT_TRUE(MadeReadyLines(h).empty());

        for (auto& in : h.inbox)
            in.clear();
        h.At(c.filledAt + WaitMs);
        EXPECT_TRUE(h.table.RoundRunning());
        EXPECT_EQ(h.table.Rounds().size(), c.roundsBefore + 1);
        std::vector<std::string> lines, keys;
        for (int seat : c.silent) {
            lines.push_back("seat " + std::to_string(seat) + " " + h.table.Profile(seat).logName
                            + " is made ready after 7 seconds");
            keys.push_back(h.table.Profile(seat).key);
        }
        EXPECT_EQ(MadeReadyLines(h), lines);
        // Every human hears of it as of a ready request, before the deal.
        for (int seat = 0; seat < 4; ++seat) {
            if (h.table.Kind(seat) != Server::SeatKind::Human)
                continue;
            EXPECT_EQ(ReadyKeys(h, seat), keys) << "seat " << seat;
            ASSERT_FALSE(h.inbox[static_cast<size_t>(seat)].empty());
            EXPECT_EQ(h.inbox[static_cast<size_t>(seat)].front()[3], Command::Ready) << "seat " << seat;
            EXPECT_EQ(h.Of(seat, Command::Deal).size(), 1u) << "seat " << seat;
        }
    }
}

TEST(ReadyWait, ReadyRequestWithinTheWaitDealsAtOnce)
{
    Harness h(Config(3));
    h.At(2000);
    ASSERT_EQ(h.Enter("alice"), 0);
    h.At(5000);
    EXPECT_FALSE(h.table.RoundRunning());
    h.Ready(0);
    EXPECT_TRUE(h.table.RoundRunning());
    EXPECT_EQ(ReadyKeys(h, 0).back(), "alice");
    // The end of the wait, in the middle of the round, changes nothing.
    const size_t readies = h.Of(0, Command::Ready).size();
    h.At(2000 + WaitMs + 100);
    EXPECT_EQ(h.table.Rounds().size(), 1u);
    EXPECT_EQ(h.Of(0, Command::Ready).size(), readies);
    EXPECT_TRUE(MadeReadyLines(h).empty());
}

TEST(ReadyWait, NoWaitMeansTheHumanAlonePicksTheMoment)
{
    Harness h(Config(3, 0));
    ASSERT_EQ(h.Enter("alice"), 0);
    h.At(600000);
    EXPECT_FALSE(h.table.RoundRunning());
    EXPECT_FALSE(h.table.IsReady(0));
    EXPECT_TRUE(MadeReadyLines(h).empty());
    h.Ready(0);
    EXPECT_TRUE(h.table.RoundRunning());
}

// The first game starts by the wait and alice stays silent through it; after the results her
// client's own clock is in charge, so the table waits for her however long it takes, also when
// computer players who went broke were replaced by new ones.
TEST(ReadyWait, BetweenRoundsNobodyIsMadeReady)
{
    struct Case {
        const char* name;
        uint32_t stake;
    };
    for (const Case c : {Case{"same players", 100}, Case{"broke computer players replaced", 100000}}) {
        SCOPED_TRACE(c.name);
        Server::TableConfig config = Config(3);
        config.stake = c.stake;
        config.humanCoins = 1000000000;
        Harness h(config);
        ASSERT_EQ(h.Enter("alice"), 0);
        ASSERT_TRUE(h.RunUntil([&] { return h.table.RoundRunning(); }, WaitMs + 100));
        ASSERT_TRUE(h.RunUntil([&] { return h.Of(0, Command::RoundResult).size() == 4; }, 900000));
        ASSERT_FALSE(h.table.RoundRunning());
        if (c.stake > 100) {
            bool replaced = false;
            for (const std::string& line : h.log)
                replaced = replaced || line.find("makes room") != std::string::npos;
            ASSERT_TRUE(replaced) << "no computer player was replaced";
        }
        const size_t readies = h.Of(0, Command::Ready).size();
        h.At(h.now + 10 * WaitMs);
        EXPECT_TRUE(h.table.IsReady(1) && h.table.IsReady(2) && h.table.IsReady(3));
        EXPECT_FALSE(h.table.IsReady(0));
        EXPECT_FALSE(h.table.RoundRunning());
        EXPECT_EQ(h.table.Rounds().size(), 1u);
        EXPECT_EQ(MadeReadyLines(h), std::vector<std::string>{"seat 0 alice is made ready after 7 seconds"});
        // Only the computer players' ready messages came after the results.
        const auto keys = ReadyKeys(h, 0);
        for (size_t i = readies; i < keys.size(); ++i)
            EXPECT_NE(keys[i], "alice");
        h.Ready(0);
        EXPECT_TRUE(h.table.RoundRunning());
    }
}

}  // namespace
