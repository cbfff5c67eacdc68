// Chat at the table: lines go to every human, private remarks only to the two players
// concerned, and the computer players chat only when the table is told to let them.
#include <gtest/gtest.h>

#include "BotChat.h"
#include "Harness.h"
#include "Probe.h"
#include "rules/Classify.h"

namespace {

// A chat line as a client sends it, claiming to come from claimedBit.
Packet ChatLine(uint8_t claimedBit, uint8_t to, const QString& text)
{
    Packet p = Wire::NewPacket(Command::Chat);
    p[6] = claimedBit;
    p[11] = to;
    const QByteArray bytes = Gbk::Encode(text);
    for (int i = 0; i < bytes.size() && i < 200; ++i)
        p[static_cast<size_t>(16 + i)] = static_cast<uint8_t>(bytes[i]);
    return p;
}

// The chat packets each seat was sent.
std::array<std::vector<Packet>, 4> ChatsBySeat(const Harness& h)
{
    std::array<std::vector<Packet>, 4> chats;
    for (int seat = 0; seat < 4; ++seat)
        chats[static_cast<size_t>(seat)] = h.Of(seat, Command::Chat);
    return chats;
}

}  // namespace

TEST(Chat, LinesReachEveryHumanAndRemarksOnlyTheTwoConcerned)
{
    Harness h(QuickTable(1, 3));
    ASSERT_EQ(h.Enter("alice"), 0);
    ASSERT_EQ(h.Enter("bob"), 1);
    ASSERT_EQ(h.Enter("carol"), 2);

    struct Case {
        const char* name;
        uint8_t to;
        std::array<bool, 3> reaches;  // alice, bob, carol
    };
    const Case cases[] = {
        {"to everyone", 0, {true, true, true}},
        {"to bob", 2, {true, true, false}},
        {"to carol", 4, {true, false, true}},
        {"to herself", 1, {true, false, false}},
        {"to the computer player: only the echo", 8, {true, false, false}},
        {"to two seats at once: dropped", 3, {false, false, false}},
        {"to no seat: dropped", 16, {false, false, false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (auto& in : h.inbox)
            in.clear();
        // alice's client claims another seat: the table goes by the link.
        const Packet sent = ChatLine(4, c.to, QStringLiteral("alice说道： 你好"));
        h.Receive(0, sent);
        const auto chats = ChatsBySeat(h);
        for (size_t seat = 0; seat < 3; ++seat) {
            ASSERT_EQ(chats[seat].size(), c.reaches[seat] ? 1u : 0u) << "seat " << seat;
            if (!c.reaches[seat])
                continue;
            const Packet& got = chats[seat][0];
            EXPECT_EQ(got[6], 1);
            EXPECT_EQ(got[11], c.to);
            EXPECT_TRUE(std::equal(got.begin() + 16, got.begin() + 216, sent.begin() + 16));
        }
    }
    // A line from a seat nobody holds goes nowhere.
    for (auto& in : h.inbox)
        in.clear();
    h.Receive(3, ChatLine(8, 0, QStringLiteral("x")));
    for (const auto& chats : ChatsBySeat(h))
        EXPECT_TRUE(chats.empty());
}

TEST(Chat, ComputerPlayersChatOnlyWhenAllowedAndNeverChangeTheDeals)
{
    std::array<std::vector<CardValue>, 4> dealtWithout{};
    for (bool botChat : {false, true}) {
        SCOPED_TRACE(botChat ? "chatting" : "silent");
        Server::TableConfig config = QuickTable(3, 21);
        config.botChat = botChat;
        config.readySeconds = 1;
        Harness h(config);
        ASSERT_EQ(h.Enter("alice"), 0);
        const bool over = h.RunUntil(
            [&] {
                if (h.table.Turn() == 0) {
                    const auto cards = h.HintPlay(0);
                    h.Receive(0, PlayPacket(0, cards, Rules::PlayTypeCode(Rules::ClassifyPlay(cards, h.table.LevelRank()))));
                }
                return h.Of(0, Command::RoundResult).size() == 4;
            },
            600000);
        ASSERT_TRUE(over);
        if (!botChat)
            dealtWithout = h.table.Rounds().front().hands;
        else
            EXPECT_EQ(h.table.Rounds().front().hands, dealtWithout);

        const std::vector<Packet> chats = h.Of(0, Command::Chat);
        if (!botChat) {
            EXPECT_TRUE(chats.empty());
            continue;
        }
        // The greeting comes with the entry; every line is a computer player's own, in GBK,
        // and a phrase asked for is one of the five every voice has recorded.
        ASSERT_FALSE(chats.empty());
        EXPECT_EQ(Probe::U8(h.inbox[0][8], 3), Command::Chat) << "right after the entry, the four seats and three ready marks";
        for (const Packet& p : chats) {
            const int seat = Probe::SeatOf(p[6]);
            ASSERT_GE(seat, 1);
            EXPECT_EQ(p[11], 0);
            const QString text = Probe::GbkField(p, 16, 200);
            EXPECT_TRUE(text.startsWith(QString::fromStdString(h.table.Profile(seat).logName) + "说道： "))
                << text.toStdString();
            if (p[9] == 1) {
                EXPECT_EQ(p[13], 'a');
                EXPECT_TRUE(p[15] >= 1 && p[15] <= 5);
            } else {
                EXPECT_EQ(p[13], 0);
            }
        }
    }
}

TEST(Chat, EveryMomentHasLinesThatFitThePacket)
{
    std::mt19937 random(1);
    Server::PlayerProfile bot;
    bot.nickname = Server::ToGbk("长长长长长长长长长长长长长长长长");  // 32 bytes, the longest a name can be
    for (auto moment : {Server::ChatMoment::Greeting, Server::ChatMoment::PartnerBomb, Server::ChatMoment::OpponentBomb,
                        Server::ChatMoment::RoundWon, Server::ChatMoment::RoundLost})
        for (int i = 0; i < 20; ++i) {
            const Server::BotLine line = Server::PickBotLine(moment, random);
            const Packet p = Server::BotChatPacket(2, bot, line);
            EXPECT_EQ(p[6], 4);
            EXPECT_EQ(Probe::GbkField(p, 16, 200),
                      QString::fromUtf8("长长长长长长长长长长长长长长长长说道： ") + QString::fromUtf8(line.text));
            EXPECT_EQ(p[9], line.phrase > 0 ? 1 : 0);
        }
}
