#pragma once
// The hint button's logic: which cards of the hand to raise when leading, and the table of
// proposals when following. Both count the hand from its low end: position 1 is the last
// slot (the lowest card in hand order), position p is slot count - p; the leading hint
// counts the same way from 0 (index q is position q + 1). The hand must be in hand order
// (SortHand), so that the cards of a rank sit at consecutive positions.
#include <array>
#include <cstdint>
#include <span>

#include "rules/CardTypes.h"
#include "rules/Compare.h"

namespace Rules {

// The next higher rank in CompareRank order, or 0 if there is none: 3, 4, ..., K, A, 2 with
// the level rank taken out of its place, then the level rank, small joker, big joker.
// 0 for the big joker and for anything that is not a rank 3..17.
int NextRankUp(int rank, int levelRank);

// Hand slot of a position counted from the low end (1-based), and of an index (0-based).
constexpr int HandSlotOfPosition(int cardCount, int position) { return cardCount - position; }
constexpr int HandSlotOfIndex(int cardCount, int index) { return cardCount - 1 - index; }

// One click of the leading hint: the group of cards at indexes first .. first + size - 1
// (from the low end) to raise, and the LeadHintPos to keep for the next click. Starting at
// LeadHintPos q: a single card alone; two or three equal cards as a pair; four equal cards
// as a bomb; nothing is grouped past index 5 (the six lowest cards). size 0 when q does not
// lie inside the hand: nothing is raised and LeadHintPos stays until the next turn resets
// it. After the last group of the hand LeadHintPos wraps to 0.
struct LeadHintGroup {
    int first = 0;
    int size = 0;
    int nextLeadHintPos = 0;
};
LeadHintGroup NextLeadHint(std::span<const HandEntry> hand, int cardCount, int leadHintPos);

inline constexpr int HintMaxCandidates = 31;
inline constexpr int HintRows = 14;

// The follow-hint proposals. HintCandidates[c][r] is the position (from the low end,
// 1-based) of the r-th card of candidate c, 0 for no card. HintCount candidates are in use;
// HintNext is the one the next click shows.
struct FollowHintStore {
    std::array<std::array<int16_t, HintRows>, HintMaxCandidates> HintCandidates{};
    int16_t HintCount = 0;
    int16_t HintNext = 0;
};

// Clears the store and fills it with every proposal against the current play, each shape's
// own proposals first in rising order, then (unless the current play is a bomb) the joker
// pair and the four-of-a-kinds from the lowest. Within a rank the lowest-positioned cards
// are taken. The hand (slots 0..cardCount-1) must be in hand order, and so must the
// current play's cards.
void ComputeHintCandidates(std::span<const HandEntry> hand, int cardCount,
                           const CurrentPlayRecord& current, int levelRank, FollowHintStore& store);

// Adds one candidate (positions, at most 14 are kept); past 31 candidates it is dropped.
// Returns whether it was kept.
bool AppendHintCandidate(FollowHintStore& store, std::span<const int16_t> positions);

// One click of the follow hint on a computed store: the hand slots of candidate HintNext, and
// HintNext steps on, wrapping after the last. count 0 when there is no candidate (the hint
// then passes for the player). Positions that no longer lie in the hand are left out.
struct HintSelection {
    std::array<int16_t, HintRows> handSlots{};
    int count = 0;
};
HintSelection NextHintSelection(FollowHintStore& store, int cardCount);

}  // namespace Rules
