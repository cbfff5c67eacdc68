#include <gtest/gtest.h>

#include "common/CommandLines.h"
#include "rules/Cards.h"
#include "session/Launch.h"
#include "table/Outgoing.h"

using namespace TestLines;

TEST(EntryRequest, BytesOfAFirstLogin)
{
    Launch::CommandLine c;
    ASSERT_EQ(Launch::ParseCommandLine(Line(With(2, "s3cret!")), c), Launch::ParseOutcome::Ok);
    const Packet p = Outgoing::EntryRequest(c);
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

TEST(Outgoing, RequestsCarryTheirCommandSeatAndFlagsOnly)
{
    // Only the listed bytes may be non-zero: the session code is the send routine's.
    struct Case {
        const char* name;
        Packet packet;
        std::vector<std::pair<int, int>> bytes;
    } cases[] = {
        {"keep-alive", Outgoing::KeepAlive(4), {{3, 24}, {6, 4}}},
        {"chat to all", Outgoing::ChatLine(2, 0), {{3, 19}, {6, 2}}},
        {"private remark", Outgoing::ChatLine(2, 8), {{3, 19}, {6, 2}, {11, 8}}},
        {"leave", Outgoing::LeaveRequest(1), {{3, 16}, {6, 1}, {14, 1}}},
        {"ready", Outgoing::ReadyRequest(8), {{3, 16}, {6, 8}, {15, 1}}},
        {"pass", Outgoing::PassRequest(2), {{3, 7}, {6, 2}, {15, 1}}},
    };
    for (const Case& c : cases) {
        Packet expected{};
        for (const auto& [at, value] : c.bytes)
            expected[static_cast<size_t>(at)] = static_cast<uint8_t>(value);
        EXPECT_EQ(c.packet, expected) << c.name;
    }
}

TEST(Outgoing, PlayRequestListsTheCardIdentifiersInTheOrderGiven)
{
    const std::vector<CardValue> cards = {Rules::MakeCard(9, 8, 41), Rules::MakeCard(9, 1, 7),
                                          Rules::MakeCard(9, 4, 200)};
    const Packet p = Outgoing::PlayRequest(4, Rules::PlayType::Triple, cards);
    Packet expected{};
    expected[3] = 7;
    expected[6] = 4;
    expected[15] = 2;
    expected[17] = 3;
    expected[18] = static_cast<uint8_t>(Rules::PlayTypeCode(Rules::PlayType::Triple));
    expected[20] = 41;
    expected[21] = 7;
    expected[22] = 200;
    EXPECT_EQ(p, expected);

    // Never more than a hand: the fifteenth card of a corrupt selection is not written.
    const std::vector<CardValue> tooMany(15, Rules::MakeCard(5, 1, 99));
    const Packet cut = Outgoing::PlayRequest(1, Rules::PlayType::Straight, tooMany);
    EXPECT_EQ(cut[17], 14);
    EXPECT_EQ(cut[33], 99);
    EXPECT_EQ(cut[34], 0);
}
