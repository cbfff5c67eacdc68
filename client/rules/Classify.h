#pragma once
// Which of the nine play shapes a set of cards makes. Only ranks count, never suits; no card
// is wild, and the level rank keeps its cards out of runs.
#include <array>
#include <cstdint>
#include <span>

#include "rules/CardTypes.h"

namespace Rules {

// The codes travel in the play packet (byte 18) and in the play messages of other seats.
enum class PlayType : int16_t {
    Illegal = 0,
    Single = 1,            // any card
    Pair = 2,              // two of a rank
    Straight = 3,          // three or more ranks in sequence, one card each
    PairRun = 4,           // two or more ranks in sequence, two cards each
    Bomb = 5,              // four of a rank, or the big joker with the small joker
    TripleWithSingle = 6,  // three of a rank and one other card
    TripleWithPair = 7,    // three of a rank and a pair of another rank
    Triple = 8,            // three of a rank
    TripleRun = 9,         // three or more ranks in sequence, three cards each
};

// The wire code of a type, and a wire code read back as a type (codes 1..9; anything else
// is Illegal).
constexpr int PlayTypeCode(PlayType type) { return static_cast<int>(type); }
constexpr PlayType PlayTypeFromCode(int code)
{
    return code >= 1 && code <= 9 ? static_cast<PlayType>(code) : PlayType::Illegal;
}

inline constexpr int MaxPlayCards = 14;       // a play comes from one hand
inline constexpr int ClassifiedFirstCard = 5; // slot of the first card in ClassifiedPlay

// The classifier's result area: slot 0 the type code and, when the type is not illegal, the
// cards in their input order from slot 5 on. An illegal result writes slot 0 only, so the
// card slots keep what the last legal play left there.
struct ClassifiedPlay {
    std::array<int32_t, 32> slot{};
};

// Classifies 1..14 cards; any other count is illegal. The cards must come in hand order
// (highest first by CompareRank, equal ranks by suit, as SortHand leaves a hand and as a
// selection collected slot by slot is): several shapes are recognised by fixed positions,
// and the same cards in another order may classify differently (a small joker before the
// big joker is no bomb).
PlayType ClassifyPlay(std::span<const CardValue> cards, int levelRank);
PlayType ClassifyPlay(std::span<const CardValue> cards, int levelRank, ClassifiedPlay& area);

// Whether cards in hand order make a run, and which: Straight, PairRun, TripleRun, or Illegal.
// The first three cards choose the kind (three equal: triple run; two equal: pair run;
// else straight) and a failed test does not fall back to another kind. Runs hold no 2, no
// joker and no level-rank card and are checked on printed ranks, so they never step over
// the level rank. Fewer than three cards are never a run.
PlayType FindRun(std::span<const CardValue> cards, int levelRank);

}  // namespace Rules
