#include "rules/Compare.h"

#include <algorithm>

#include "rules/Cards.h"

namespace Rules {

std::span<const int32_t> CurrentPlayCards(const CurrentPlayRecord& current)
{
    const int n = std::clamp(static_cast<int>(current.count), 0, CurrentPlaySlots);
    return std::span<const int32_t>(current.cards).first(static_cast<size_t>(n));
}

void SetCurrentPlay(CurrentPlayRecord& current, PlayType type, std::span<const CardValue> cards)
{
    const size_t n = std::min(cards.size(), static_cast<size_t>(CurrentPlaySlots));
    current.type = type;
    current.count = static_cast<int16_t>(n);
    for (size_t k = 0; k < n; ++k)
        current.cards[k] = CurrentPlayCard(cards[k]);
}

namespace {

// The card that stands for the triple of a triple-with-extra play in hand order: with the
// single before the triple it is card 3, otherwise card 0.
CardValue TripleOfTripleWithSingle(std::span<const CardValue> play)
{
    return CardRank(play[0]) != CardRank(play[1]) ? play[3] : play[0];
}

// Triple then pair: cards 2 and 3 differ, the triple is card 0; pair then triple: card 4.
CardValue TripleOfTripleWithPair(std::span<const CardValue> play)
{
    return CardRank(play[2]) != CardRank(play[3]) ? play[0] : play[4];
}

}  // namespace

bool BeatsPlay(std::span<const CardValue> mine, PlayType myType,
               std::span<const CardValue> current, PlayType currentType, int levelRank)
{
    if (myType != currentType)
        return myType == PlayType::Bomb;

    auto higher = [levelRank](CardValue a, CardValue b) { return CompareCards(a, b, levelRank) > 0; };
    auto atLeast = [&](size_t n) { return mine.size() >= n && current.size() >= n; };

    switch (myType) {
    case PlayType::Single:
    case PlayType::Pair:
        return atLeast(1) && higher(mine[0], current[0]);
    case PlayType::Straight:
    case PlayType::PairRun:
    case PlayType::Triple:
    case PlayType::TripleRun:
        return atLeast(1) && mine.size() == current.size() && higher(mine[0], current[0]);
    case PlayType::Bomb:
        if (mine.size() != current.size())
            return current.size() == 2;
        return atLeast(1) && higher(mine[0], current[0]);
    case PlayType::TripleWithSingle:
        return atLeast(4) && higher(TripleOfTripleWithSingle(mine), TripleOfTripleWithSingle(current));
    case PlayType::TripleWithPair:
        return atLeast(5) && higher(TripleOfTripleWithPair(mine), TripleOfTripleWithPair(current));
    default:
        return false;
    }
}

bool BeatsPlay(std::span<const CardValue> mine, PlayType myType, const CurrentPlayRecord& current,
               int levelRank)
{
    return BeatsPlay(mine, myType, CurrentPlayCards(current), current.type, levelRank);
}

PlayType ValidatePlay(std::span<const CardValue> selection, const CurrentPlayRecord& current,
                      int levelRank, ClassifiedPlay& area)
{
    const PlayType type = ClassifyPlay(selection, levelRank, area);
    if (type == PlayType::Illegal)
        return PlayType::Illegal;
    if (current.type == PlayType::Illegal || BeatsPlay(selection, type, current, levelRank))
        return type;
    return PlayType::Illegal;
}

}  // namespace Rules
