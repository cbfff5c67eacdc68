#include "rules/Cards.h"

#include <algorithm>
#include <utility>

namespace Rules {

int CardPictureId(int code, bool smallLayout)
{
    if (!IsValidPictureCode(code))
        return -1;
    if (!smallLayout || code == CardBackCode)
        return code;
    if (code == RankSmallJoker)
        return 353;
    if (code == RankBigJoker)
        return 354;
    const int suit = code / 16;
    const int rank = code % 16;
    // The small set starts each suit with the ace and the 2.
    const int k = rank <= RankKing ? rank : rank - 13;
    return 300 + 13 * suit + k;
}

int16_t CompareRank(int rank, int levelRank)
{
    if (rank == levelRank)
        return 16;
    if (rank == RankSmallJoker)
        return 17;
    if (rank == RankBigJoker)
        return 18;
    return static_cast<int16_t>(rank);
}

void SortHand(std::span<HandEntry> hand, int count, int levelRank)
{
    const int n = std::clamp(count, 0, static_cast<int>(hand.size()));
    // Rank pass, then suit pass; each exchanges only the card words.
    for (int i = 0; i + 1 < n; ++i)
        for (int j = i + 1; j < n; ++j)
            if (CardCompareRank(hand[i].value, levelRank) < CardCompareRank(hand[j].value, levelRank))
                std::swap(hand[i].value, hand[j].value);
    for (int i = 0; i + 1 < n; ++i)
        for (int j = i + 1; j < n; ++j)
            if (CardRank(hand[i].value) == CardRank(hand[j].value)
                && CardSuitBit(hand[i].value) < CardSuitBit(hand[j].value))
                std::swap(hand[i].value, hand[j].value);
}

bool InHandOrder(std::span<const CardValue> cards, int levelRank)
{
    for (size_t k = 1; k < cards.size(); ++k) {
        const CardValue a = cards[k - 1];
        const CardValue b = cards[k];
        const int diff = CompareCards(a, b, levelRank);
        if (diff > 0)
            continue;
        if (diff < 0 || CardRank(a) != CardRank(b) || CardSuitBit(a) < CardSuitBit(b))
            return false;
    }
    return true;
}

}  // namespace Rules
