#pragma once
// The play to beat and whether a play beats it.
#include <array>
#include <cstdint>
#include <span>

#include "rules/CardTypes.h"
#include "rules/Classify.h"

namespace Rules {

inline constexpr int CurrentPlaySlots = 27;

// The play the next play must beat. type Illegal means nothing to beat: the player leads.
// Each card is rank * 256 + suit bit (bytes 1 and 0 of its CardValue, so the card helpers
// read it as they read a card word), in the order the play was made: hand order, highest
// first.
struct CurrentPlayRecord {
    PlayType type = PlayType::Illegal;
    int16_t count = 0;
    std::array<int32_t, CurrentPlaySlots> cards{};
};

// A card as the play record keeps it: rank and suit bit, no identifier, no byte 2.
constexpr int32_t CurrentPlayCard(CardValue card)
{
    return static_cast<int32_t>(((static_cast<uint32_t>(card) >> 8) & 0xFFu) * 256
                                + (static_cast<uint32_t>(card) & 15u));
}

// The record's cards in use (count clamped to 0..27).
std::span<const int32_t> CurrentPlayCards(const CurrentPlayRecord& current);

// Makes a play the one to beat: type, count and cards (at most 27 are kept).
void SetCurrentPlay(CurrentPlayRecord& current, PlayType type, std::span<const CardValue> cards);

// Whether my play beats the current one. Both sets of cards in hand order (highest first),
// each with the type ClassifyPlay gave it:
// - different types: only a bomb beats, and it beats every other type;
// - Single, Pair: my card 0 higher; Straight, PairRun, Triple, TripleRun: equal counts and my
//   card 0 higher; TripleWithSingle, TripleWithPair: my triple higher;
// - Bomb: a four-card bomb beats the joker pair, the joker pair beats no four-card bomb,
//   equal counts compare card 0.
// Higher means a greater CompareRank: an equal rank never beats. Too few cards for the
// type (a malformed play) never beats.
bool BeatsPlay(std::span<const CardValue> mine, PlayType myType,
               std::span<const CardValue> current, PlayType currentType, int levelRank);
bool BeatsPlay(std::span<const CardValue> mine, PlayType myType, const CurrentPlayRecord& current,
               int levelRank);

// The check before a selection is sent: classified, legal, and either leading (nothing to
// beat) or beating the current play. Returns the type to send, or Illegal when refused.
// The selection must be in hand order.
PlayType ValidatePlay(std::span<const CardValue> selection, const CurrentPlayRecord& current,
                      int levelRank, ClassifiedPlay& area);

}  // namespace Rules
