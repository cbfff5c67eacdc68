#include "Messages.h"

#include <algorithm>
#include <array>

#include "rules/Cards.h"

namespace Server {

namespace Msg {

namespace {

void Put(Packet& p, int at, uint8_t value)
{
    if (at >= 0 && at < PacketSize)
        p[static_cast<size_t>(at)] = value;
}

}  // namespace

void WriteU64(Packet& p, int at, uint64_t value)
{
    for (int i = 0; i < 8; ++i)
        Put(p, at + i, static_cast<uint8_t>(value >> (8 * i)));
}

void WriteU32BigEndian(Packet& p, int at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        Put(p, at + i, static_cast<uint8_t>(value >> (8 * (3 - i))));
}

void WriteText(Packet& p, int at, int width, const std::string& bytes)
{
    int n = 0;
    const int size = static_cast<int>(bytes.size());
    while (n < size) {
        const int step = static_cast<uint8_t>(bytes[static_cast<size_t>(n)]) >= 0x80 ? 2 : 1;
        if (n + step > width || n + step > size)
            break;
        n += step;
    }
    for (int i = 0; i < n; ++i)
        Put(p, at + i, static_cast<uint8_t>(bytes[static_cast<size_t>(i)]));
}

Packet EntryResult(uint8_t outcome, uint8_t timeoutLimit, const std::string& webAddress, uint8_t seatBit)
{
    Packet p = Wire::NewPacket(18);
    p[6] = seatBit;
    p[9] = timeoutLimit;
    p[15] = outcome;
    const size_t n = std::min<size_t>(webAddress.size(), 100);
    for (size_t i = 0; i < n; ++i)
        p[16 + i] = static_cast<uint8_t>(webAddress[i]);
    return p;
}

Packet SeatInfo(uint8_t addresseeBit, int seat, const PlayerProfile& player, bool ready)
{
    Packet p = Wire::NewPacket(20);
    p[6] = addresseeBit;
    WriteText(p, 16, 32, player.nickname);
    WriteText(p, 48, 16, player.face);
    p[64] = player.sex;
    WriteText(p, 72, 8, player.area);
    WriteU64(p, 80, player.points);
    WriteU64(p, 88, player.credit);
    WriteU64(p, 96, player.coins);
    WriteText(p, 112, 16, LevelNameGbk(PlayerLevel(player.points)));
    Wire::WriteLE32(p, 152, player.logins);
    Wire::WriteLE32(p, 156, player.disconnects);
    Wire::WriteLE32(p, 160, player.wins);
    Wire::WriteLE32(p, 164, player.losses);
    WriteText(p, 168, 16, player.key);
    WriteText(p, 184, 24, player.title);
    p[208] = ready ? 1 : 0;
    WriteText(p, 210, 8, "27");
    WriteText(p, 218, 8, std::to_string(10 * (1 + (seat & 3))));
    WriteU64(p, 226, SeatBit(seat));
    return p;
}

Packet Ready(const std::string& key)
{
    Packet p = Wire::NewPacket(23);
    p[15] = 1;
    WriteText(p, 16, 16, key);
    return p;
}

Packet Deal(const DealInfo& info, std::span<const CardValue> hand)
{
    Packet p = Wire::NewPacket(1);
    p[6] = info.addresseeBit;
    p[8] = SeatBit(info.starter);
    p[9] = static_cast<uint8_t>(info.levelRank);
    p[11] = static_cast<uint8_t>(std::clamp(info.turnSeconds, 0, 255));
    const int a = std::min(info.longSeatA, info.longSeatB);
    const int b = std::max(info.longSeatA, info.longSeatB);
    p[12] = SeatBit(a);
    p[13] = SeatBit(b);
    p[14] = static_cast<uint8_t>(info.ourLevel);
    p[15] = static_cast<uint8_t>(info.theirLevel);
    const size_t n = std::min<size_t>(hand.size(), 14);
    for (size_t k = 0; k < n; ++k)
        Wire::WriteLE32(p, static_cast<int>(16 + 4 * k), hand[k]);
    return p;
}

Packet Play(int seat, int nextSeat, uint8_t turnState, Rules::PlayType type, std::span<const CardValue> cards)
{
    Packet p = Wire::NewPacket(6);
    p[6] = SeatBit(seat);
    p[11] = SeatBit(nextSeat);
    p[15] = turnState;
    const size_t n = std::min<size_t>(cards.size(), 14);
    p[17] = static_cast<uint8_t>(n);
    p[18] = n == 0 ? 0 : static_cast<uint8_t>(Rules::PlayTypeCode(type));
    for (size_t i = 0; i < n; ++i)
        Wire::WriteLE32(p, static_cast<int>(20 + 4 * i), cards[i]);
    return p;
}

Packet Result(const ResultInfo& info)
{
    Packet p = Wire::NewPacket(9);
    p[6] = SeatBit(info.seat);
    WriteU32BigEndian(p, 8, info.roomFigure);
    // No second score line: the final score is shown on its own line already.
    p[13] = 1;
    p[15] = 1;  // coins
    p[16] = static_cast<uint8_t>(info.outcome == 1 ? info.levelsGained : 0);
    const size_t n = std::min<size_t>(info.remaining.size(), 14);
    p[17] = static_cast<uint8_t>(n);
    for (size_t j = 0; j < n; ++j) {
        p[20 + 4 * j] = static_cast<uint8_t>(Rules::CardSuitBit(info.remaining[j]));
        p[21 + 4 * j] = static_cast<uint8_t>(Rules::CardRank(info.remaining[j]));
    }
    p[76] = static_cast<uint8_t>(info.place);
    p[78] = info.outcome;
    WriteU64(p, 79, info.total);
    WriteU64(p, 87, info.final);
    p[95] = static_cast<uint8_t>(std::clamp(info.playerLevel, 1, MaxPlayerLevel));
    return p;
}

Packet Departure(uint8_t stayingMask, uint8_t reason)
{
    Packet p = Wire::NewPacket(16);
    p[6] = stayingMask & 15;
    p[15] = reason;
    return p;
}

Packet LeftTable(const std::string& key)
{
    Packet p = Wire::NewPacket(21);
    WriteText(p, 16, 16, key);
    return p;
}

Packet TableClosed(const std::string& noticeGbk)
{
    Packet p = Wire::NewPacket(22);
    WriteText(p, 16, 200, noticeGbk);
    return p;
}

Packet ReconnectResult(bool accepted)
{
    Packet p = Wire::NewPacket(29);
    p[15] = accepted ? 1 : 0;
    return p;
}

}  // namespace Msg

std::string RankText(int rank)
{
    static constexpr std::array<const char*, 7> High{"J", "Q", "K", "A", "2", "小王", "大王"};
    if (rank >= 3 && rank <= 10)
        return std::to_string(rank);
    if (rank >= Rules::RankJack && rank <= Rules::RankBigJoker)
        return High[static_cast<size_t>(rank - Rules::RankJack)];
    return "?";
}

std::string CardText(CardValue card)
{
    const int rank = Rules::CardRank(card);
    if (rank == Rules::RankSmallJoker || rank == Rules::RankBigJoker)
        return RankText(rank);
    static constexpr std::array<const char*, 4> Suits{"♦", "♣", "♥", "♠"};
    return Suits[static_cast<size_t>(Rules::SuitIndex(card) & 3)] + RankText(rank);
}

std::string CardsText(std::span<const CardValue> cards)
{
    std::string text;
    for (CardValue c : cards) {
        if (!text.empty())
            text += ' ';
        text += CardText(c);
    }
    return text;
}

const char* PlayTypeName(Rules::PlayType type)
{
    switch (type) {
    case Rules::PlayType::Single: return "single";
    case Rules::PlayType::Pair: return "pair";
    case Rules::PlayType::Straight: return "straight";
    case Rules::PlayType::PairRun: return "run of pairs";
    case Rules::PlayType::Bomb: return "bomb";
    case Rules::PlayType::TripleWithSingle: return "triple with single";
    case Rules::PlayType::TripleWithPair: return "triple with pair";
    case Rules::PlayType::Triple: return "triple";
    case Rules::PlayType::TripleRun: return "run of triples";
    default: return "illegal";
    }
}

}  // namespace Server
