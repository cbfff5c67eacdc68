#pragma once
// The packets the table sends, each built in a fresh zeroed packet at the offsets the client
// reads, and the small field writers they share. No session code here: the table stamps it
// when a packet goes out.
#include <cstdint>
#include <span>
#include <string>

#include "Players.h"
#include "rules/CardTypes.h"
#include "rules/Classify.h"
#include "wire/Fields.h"
#include "wire/Packet.h"

namespace Server {

constexpr uint8_t SeatBit(int seat) { return static_cast<uint8_t>(1 << (seat & 3)); }

// Turn states of the play message.
inline constexpr uint8_t TurnFollow = Field::Play::TurnFollow;
inline constexpr uint8_t TurnNewTrick = Field::Play::TurnNewTrick;
inline constexpr uint8_t TurnOpening = Field::Play::TurnOpening;
inline constexpr uint8_t TurnRoundOver = Field::Play::TurnRoundOver;

// Reasons of the departure message (byte 15).
inline constexpr uint8_t DepartureLeftGame = 1;
inline constexpr uint8_t DepartureCoinsShort = 3;

namespace Msg {

void WriteU64(Packet& p, int at, uint64_t value);      // least significant byte first
void WriteU32BigEndian(Packet& p, int at, uint32_t value);
// Copies at most `width` bytes; never leaves half of a two-byte character at the end.
void WriteText(Packet& p, int at, int width, const std::string& bytes);

Packet EntryResult(uint8_t outcome, uint8_t timeoutLimit, const std::string& webAddress, uint8_t seatBit);

Packet SeatInfo(uint8_t addresseeBit, int seat, const PlayerProfile& player, bool ready);
Packet Ready(const std::string& key);

struct DealInfo {
    uint8_t addresseeBit = 0;
    int starter = 0;
    int levelRank = 3;
    int turnSeconds = 15;
    int longSeatA = 0;  // the two seats holding 14 cards
    int longSeatB = 1;
    int ourLevel = 3;   // level rank of the addressee's side
    int theirLevel = 3;
};
Packet Deal(const DealInfo& info, std::span<const CardValue> hand);

Packet Play(int seat, int nextSeat, uint8_t turnState, Rules::PlayType type, std::span<const CardValue> cards);

struct ResultInfo {
    int seat = 0;
    uint32_t roomFigure = 0;
    int levelsGained = 0;
    std::span<const CardValue> remaining;
    int place = 4;
    uint8_t outcome = 2;  // 1 win, 2 loss
    uint64_t total = 0;
    uint64_t final = 0;
    int playerLevel = 1;
};
Packet Result(const ResultInfo& info);

Packet Departure(uint8_t stayingMask, uint8_t reason);
Packet LeftTable(const std::string& key);
Packet TableClosed(const std::string& noticeGbk);
Packet ReconnectResult(bool accepted);

}  // namespace Msg

// A rank as a person reads it: "3" .. "10", "J", "Q", "K", "A", "2", "小王", "大王".
std::string RankText(int rank);
// A card as a person reads it in the log: "♠10", "♥A", "小王".
std::string CardText(CardValue card);
std::string CardsText(std::span<const CardValue> cards);
const char* PlayTypeName(Rules::PlayType type);

}  // namespace Server
