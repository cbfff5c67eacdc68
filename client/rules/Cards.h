#pragma once
// Card words, rank order and hand order. Pure logic on plain values: no Qt, no table record,
// so the server stand-in links it as it is. The level rank of the deal is passed in.
#include <cstdint>
#include <span>

#include "rules/CardTypes.h"

namespace Rules {

// Ranks as byte 1 of a card carries them: 3..10 as printed, then these.
inline constexpr int RankJack = 11;
inline constexpr int RankQueen = 12;
inline constexpr int RankKing = 13;
inline constexpr int RankAce = 14;
inline constexpr int RankTwo = 15;
inline constexpr int RankSmallJoker = 16;
inline constexpr int RankBigJoker = 17;
inline constexpr int LowestRank = 3;
inline constexpr int HighestRank = RankBigJoker;

// Suit bits as byte 0 carries them. Both jokers carry the diamond bit.
inline constexpr int SuitDiamonds = 1;
inline constexpr int SuitClubs = 2;
inline constexpr int SuitHearts = 4;
inline constexpr int SuitSpades = 8;

// How often a small mask can be halved while it is above 1: 1 -> 0, 2 -> 1, 4 -> 2, 8 -> 3,
// 0 (or anything below 1) -> 0. Suit bits and seat bits both go through it.
constexpr int BitIndex(int mask)
{
    int index = 0;
    while (mask > 1) {
        mask /= 2;
        ++index;
    }
    return index;
}

// The four bytes of a card, least significant first. Shifts go through uint32_t so that a
// corrupt (negative) word still decodes byte by byte.
constexpr int CardByte(CardValue card, int byte)
{
    return static_cast<int>((static_cast<uint32_t>(card) >> (8 * byte)) & 0xFFu);
}
constexpr int CardSuitBit(CardValue card) { return CardByte(card, 0) & 15; }  // high nibble ignored
constexpr int CardRank(CardValue card) { return CardByte(card, 1); }
constexpr int CardByte2(CardValue card) { return CardByte(card, 2); }        // never interpreted
constexpr int CardIdentifier(CardValue card) { return CardByte(card, 3); }   // sent back in plays

// 0 diamonds, 1 clubs, 2 hearts, 3 spades.
constexpr int SuitIndex(CardValue card) { return BitIndex(CardSuitBit(card)); }

// A card word from its parts; for the deal of the server stand-in and for tests.
constexpr CardValue MakeCard(int rank, int suitBit, int identifier = 0, int byte2 = 0)
{
    return static_cast<CardValue>((static_cast<uint32_t>(identifier & 0xFF) << 24)
                                  | (static_cast<uint32_t>(byte2 & 0xFF) << 16)
                                  | (static_cast<uint32_t>(rank & 0xFF) << 8)
                                  | static_cast<uint32_t>(suitBit & 0xFF));
}

// Suit index times 16 plus rank. Not cut to 8 bits: a corrupt rank must come out invalid
// instead of wrapping onto a real card.
constexpr int PictureCode(CardValue card) { return SuitIndex(card) * 16 + CardRank(card); }

inline constexpr int CardBackCode = 18;

// 3..15 diamonds, 16 small joker, 17 big joker, 18 card back, 19..31 clubs, 35..47 hearts,
// 51..63 spades; everything else is a corrupt card.
constexpr bool IsValidPictureCode(int code)
{
    return (code >= 3 && code <= 31) || (code >= 35 && code <= 47) || (code >= 51 && code <= 63);
}

// Picture resource id of a valid code: the code itself in the large layout; in the small
// layout each suit is a block of thirteen from 301 in the order A, 2, 3, ..., K, the jokers
// 353 and 354, the card back 18 in both. -1 for an invalid code.
int CardPictureId(int code, bool smallLayout);

// Rank order: the level rank 16, small joker 17, big joker 18, any other rank itself.
// Comparing two cards is subtracting these; suits never decide.
int16_t CompareRank(int rank, int levelRank);
inline int16_t CardCompareRank(CardValue card, int levelRank)
{
    return CompareRank(CardRank(card), levelRank);
}
// Positive when a is higher than b, 0 when they rank alike.
inline int CompareCards(CardValue a, CardValue b, int levelRank)
{
    return CardCompareRank(a, levelRank) - CardCompareRank(b, levelRank);
}

// Puts slots 0..count-1 into hand order: highest first by CompareRank, equal ranks spades,
// hearts, clubs, diamonds. Only the card words move; each ImageIndex stays with its slot.
// Two exchange passes (rank, then suit) in the order the table has always used, so cards
// that tie on both keys land where those passes leave them. count is clamped to the span.
void SortHand(std::span<HandEntry> hand, int count, int levelRank);

// Whether the cards are in hand order as SortHand leaves a hand: CompareRank never rising,
// and equal ranks with the suit bit never rising. Plays collected from the hand slot by slot
// always are; the classifier, the comparison and the hints rely on it.
bool InHandOrder(std::span<const CardValue> cards, int levelRank);

}  // namespace Rules
