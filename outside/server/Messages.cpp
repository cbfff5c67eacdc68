#include "Messages.h"

#include <algorithm>
#include <array>

#include "rules/Cards.h"
#include "wire/Commands.h"
#include "wire/Fields.h"

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
    using namespace Field::EntryResult;
    Packet p = Wire::NewPacket(Command::Entry);
    p[Field::Seat] = seatBit;
    p[TimeoutLimit] = timeoutLimit;
    p[Outcome] = outcome;
    const size_t n = std::min<size_t>(webAddress.size(), WebAddressWidth);
    for (size_t i = 0; i < n; ++i)
        p[WebAddress + i] = static_cast<uint8_t>(webAddress[i]);
    return p;
}

Packet SeatInfo(uint8_t addresseeBit, int seat, const PlayerProfile& player, bool ready)
{
    using namespace Field::SeatInfo;
    Packet p = Wire::NewPacket(Command::SeatInfo);
    p[Field::Seat] = addresseeBit;
    WriteText(p, Nickname, NicknameWidth, player.nickname);
    WriteText(p, Face, FaceWidth, player.face);
    p[Sex] = player.sex;
    WriteText(p, Area, AreaWidth, player.area);
    WriteU64(p, Points, player.points);
    WriteU64(p, Credit, player.credit);
    WriteU64(p, Coins, player.coins);
    WriteText(p, LevelName, LevelNameWidth, LevelNameGbk(PlayerLevel(player.points)));
    Wire::WriteLE32(p, Logins, player.logins);
    Wire::WriteLE32(p, Disconnects, player.disconnects);
    Wire::WriteLE32(p, Wins, player.wins);
    Wire::WriteLE32(p, Losses, player.losses);
    WriteText(p, Key, KeyWidth, player.key);
    WriteText(p, Title, TitleWidth, player.title);
    p[IsReady] = ready ? 1 : 0;
    WriteText(p, VoiceSet, VoiceSetWidth, "27");
    WriteText(p, VoiceId, VoiceIdWidth, std::to_string(10 * (1 + (seat & 3))));
    WriteU64(p, SeatValue, SeatBit(seat));
    return p;
}

Packet Ready(const std::string& key)
{
    Packet p = Wire::NewPacket(Command::Ready);
    p[Field::Ready::IsReady] = 1;
    WriteText(p, Field::Ready::Key, Field::Ready::KeyWidth, key);
    return p;
}

Packet Deal(const DealInfo& info, std::span<const CardValue> hand)
{
    using namespace Field::Deal;
    Packet p = Wire::NewPacket(Command::Deal);
    p[Field::Seat] = info.addresseeBit;
    p[Starter] = SeatBit(info.starter);
    p[LevelRank] = static_cast<uint8_t>(info.levelRank);
    p[TurnSeconds] = static_cast<uint8_t>(std::clamp(info.turnSeconds, 0, 255));
    const int a = std::min(info.longSeatA, info.longSeatB);
    const int b = std::max(info.longSeatA, info.longSeatB);
    p[LongSeatA] = SeatBit(a);
    p[LongSeatB] = SeatBit(b);
    p[OurLevel] = static_cast<uint8_t>(info.ourLevel);
    p[TheirLevel] = static_cast<uint8_t>(info.theirLevel);
    const size_t n = std::min<size_t>(hand.size(), 14);
    for (size_t k = 0; k < n; ++k)
        Wire::WriteLE32(p, static_cast<int>(Cards + 4 * k), hand[k]);
    return p;
}

Packet Play(int seat, int nextSeat, uint8_t turnState, Rules::PlayType type, std::span<const CardValue> cards)
{
    using namespace Field::Play;
    Packet p = Wire::NewPacket(Command::Play);
    p[Field::Seat] = SeatBit(seat);
    p[Next] = SeatBit(nextSeat);
    p[TurnState] = turnState;
    const size_t n = std::min<size_t>(cards.size(), 14);
    p[Count] = static_cast<uint8_t>(n);
    p[Type] = n == 0 ? 0 : static_cast<uint8_t>(Rules::PlayTypeCode(type));
    for (size_t i = 0; i < n; ++i)
        Wire::WriteLE32(p, static_cast<int>(Cards + 4 * i), cards[i]);
    return p;
}

Packet Result(const ResultInfo& info)
{
    using namespace Field::Result;
    Packet p = Wire::NewPacket(Command::RoundResult);
    p[Field::Seat] = SeatBit(info.seat);
    WriteU32BigEndian(p, RoomFigure, info.roomFigure);
    // No second score line: the final score is shown on its own line already.
    p[SecondLine] = 1;
    p[Currency] = 1;  // coins
    p[LevelsGained] = static_cast<uint8_t>(info.outcome == 1 ? info.levelsGained : 0);
    const size_t n = std::min<size_t>(info.remaining.size(), 14);
    p[Remaining] = static_cast<uint8_t>(n);
    for (size_t j = 0; j < n; ++j) {
        p[RemainingCards + 4 * j] = static_cast<uint8_t>(Rules::CardSuitBit(info.remaining[j]));
        p[RemainingCards + 1 + 4 * j] = static_cast<uint8_t>(Rules::CardRank(info.remaining[j]));
    }
    p[Place] = static_cast<uint8_t>(info.place);
    p[Outcome] = info.outcome;
    WriteU64(p, Total, info.total);
    WriteU64(p, Final, info.final);
    p[Field::Result::PlayerLevel] = static_cast<uint8_t>(std::clamp(info.playerLevel, 1, MaxPlayerLevel));
    return p;
}

Packet Departure(uint8_t stayingMask, uint8_t reason)
{
    Packet p = Wire::NewPacket(Command::Departure);
    p[Field::Seat] = stayingMask & 15;
    p[Field::Departure::Reason] = reason;
    return p;
}

Packet LeftTable(const std::string& key)
{
    Packet p = Wire::NewPacket(Command::PlayerLeft);
    WriteText(p, Field::PlayerLeft::Key, Field::PlayerLeft::KeyWidth, key);
    return p;
}

Packet TableClosed(const std::string& noticeGbk)
{
    Packet p = Wire::NewPacket(Command::TableClosed);
    WriteText(p, Field::TableClosed::Notice, Field::TableClosed::NoticeWidth, noticeGbk);
    return p;
}

Packet ReconnectResult(bool accepted)
{
    Packet p = Wire::NewPacket(Command::ReconnectResult);
    p[Field::ReconnectResult::Outcome] = accepted ? 1 : 0;
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
