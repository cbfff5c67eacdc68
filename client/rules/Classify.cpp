#include "rules/Classify.h"

#include "rules/Cards.h"

namespace Rules {

PlayType FindRun(std::span<const CardValue> cards, int levelRank)
{
    const int n = static_cast<int>(cards.size());
    if (n < 3)
        return PlayType::Illegal;

    // Cards per rank 3..14; a 2, a joker, the level rank or a corrupt rank ends it at once.
    std::array<int, RankAce + 1> count{};
    for (CardValue card : cards) {
        const int rank = CardRank(card);
        if (rank < LowestRank || rank > RankAce || rank == levelRank)
            return PlayType::Illegal;
        ++count[static_cast<size_t>(rank)];
    }

    auto everyCountIs = [&](int per) {
        for (int rank = LowestRank; rank <= RankAce; ++rank) {
            const int c = count[static_cast<size_t>(rank)];
            if (c != 0 && c != per)
                return false;
        }
        return true;
    };

    const int r0 = CardRank(cards[0]);
    const int r1 = CardRank(cards[1]);
    const int r2 = CardRank(cards[2]);
    // First minus last, on printed ranks: with the count test this makes the ranks unbroken.
    const int span = r0 - CardRank(cards[static_cast<size_t>(n - 1)]);

    if (r0 == r1 && r1 == r2) {
        if (n % 3 == 0 && n >= 9 && everyCountIs(3) && span == n / 3 - 1)
            return PlayType::TripleRun;
        return PlayType::Illegal;
    }
    if (r0 == r1) {
        if (n % 2 == 0 && everyCountIs(2) && span == n / 2 - 1)
            return PlayType::PairRun;
        return PlayType::Illegal;
    }
    if (everyCountIs(1) && span == n - 1)
        return PlayType::Straight;
    return PlayType::Illegal;
}

namespace {

PlayType ClassifyRanks(std::span<const CardValue> cards, int levelRank)
{
    const int n = static_cast<int>(cards.size());
    if (n < 1 || n > MaxPlayCards)
        return PlayType::Illegal;
    auto r = [&](int k) { return CardRank(cards[static_cast<size_t>(k)]); };

    switch (n) {
    case 1:
        return PlayType::Single;
    case 2:
        if (r(0) == r(1))
            return PlayType::Pair;
        if (r(0) == RankBigJoker && r(1) == RankSmallJoker)
            return PlayType::Bomb;
        return PlayType::Illegal;
    case 3:
        if (r(0) == r(1) && r(1) == r(2))
            return PlayType::Triple;
        return FindRun(cards, levelRank);
    case 4: {
        if (r(0) == r(1) && r(1) == r(2) && r(2) == r(3))
            return PlayType::Bomb;
        const PlayType run = FindRun(cards, levelRank);
        if (run != PlayType::Illegal)
            return run;
        if ((r(1) == r(2) && r(2) == r(3)) || (r(0) == r(1) && r(1) == r(2)))
            return PlayType::TripleWithSingle;
        return PlayType::Illegal;
    }
    case 5:
        if ((r(0) == r(1) && r(1) == r(2) && r(3) == r(4))
            || (r(2) == r(3) && r(3) == r(4) && r(0) == r(1)))
            return PlayType::TripleWithPair;
        return FindRun(cards, levelRank);
    default:
        return FindRun(cards, levelRank);
    }
}

}  // namespace

PlayType ClassifyPlay(std::span<const CardValue> cards, int levelRank)
{
    return ClassifyRanks(cards, levelRank);
}

PlayType ClassifyPlay(std::span<const CardValue> cards, int levelRank, ClassifiedPlay& area)
{
    const PlayType type = ClassifyRanks(cards, levelRank);
    area.slot[0] = PlayTypeCode(type);
    if (type != PlayType::Illegal)
        for (size_t k = 0; k < cards.size(); ++k)
            area.slot[ClassifiedFirstCard + k] = cards[k];
    return type;
}

}  // namespace Rules
