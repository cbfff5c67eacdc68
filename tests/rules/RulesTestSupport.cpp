#include "RulesTestSupport.h"

#include <algorithm>
#include <map>

namespace RulesTest {

std::vector<CardValue> Ranks(const std::vector<int>& ranks)
{
    static constexpr int suitTurn[4] = {Rules::SuitSpades, Rules::SuitHearts, Rules::SuitClubs,
                                        Rules::SuitDiamonds};
    std::map<int, int> seen;
    std::vector<CardValue> cards;
    int id = 1;
    for (int rank : ranks) {
        const int suit = rank >= SJ ? Rules::SuitDiamonds : suitTurn[seen[rank]++ % 4];
        cards.push_back(Rules::MakeCard(rank, suit, id++));
    }
    return cards;
}

std::vector<HandEntry> HandOf(const std::vector<CardValue>& cards)
{
    std::vector<HandEntry> hand;
    for (size_t m = 0; m < cards.size(); ++m)
        hand.push_back(HandEntry{cards[m], static_cast<int16_t>(m)});
    return hand;
}

std::vector<CardValue> Sorted(std::vector<CardValue> cards, int levelRank)
{
    std::vector<HandEntry> hand = HandOf(cards);
    Rules::SortHand(hand, static_cast<int>(hand.size()), levelRank);
    for (size_t m = 0; m < hand.size(); ++m)
        cards[m] = hand[m].value;
    return cards;
}

std::vector<int> RanksOf(const std::vector<CardValue>& cards)
{
    std::vector<int> ranks;
    for (CardValue card : cards)
        ranks.push_back(Rules::CardRank(card));
    return ranks;
}

std::string Describe(const std::vector<CardValue>& cards)
{
    static const char* names[] = {"?", "?", "?", "3", "4", "5", "6", "7", "8", "9", "10",
                                  "J", "Q", "K", "A", "2", "SJ", "BJ"};
    static const char* suits = "dchs";
    std::string text;
    for (CardValue card : cards) {
        const int rank = Rules::CardRank(card);
        if (!text.empty())
            text += ' ';
        text += rank <= BJ ? names[rank] : std::to_string(rank);
        if (rank < SJ)
            text += suits[Rules::SuitIndex(card)];
    }
    return "[" + text + "]";
}

std::string Describe(Rules::PlayType type)
{
    static const char* names[] = {"Illegal", "Single", "Pair", "Straight", "PairRun", "Bomb",
                                  "TripleWithSingle", "TripleWithPair", "Triple", "TripleRun"};
    const int code = Rules::PlayTypeCode(type);
    return code >= 0 && code <= 9 ? names[code] : "?";
}

Rules::CurrentPlayRecord CurrentOf(const std::vector<CardValue>& cards, int levelRank)
{
    Rules::CurrentPlayRecord current;
    Rules::SetCurrentPlay(current, Rules::ClassifyPlay(cards, levelRank), cards);
    return current;
}

std::vector<CardValue> Deck(std::mt19937& rng)
{
    std::uniform_int_distribution<int> byte(0, 255);
    std::vector<CardValue> deck;
    int id = 0;
    for (int rank = 3; rank <= Two; ++rank)
        for (int suit : {Rules::SuitDiamonds, Rules::SuitClubs, Rules::SuitHearts, Rules::SuitSpades})
            deck.push_back(Rules::MakeCard(rank, suit, id++, byte(rng)));
    deck.push_back(Rules::MakeCard(SJ, Rules::SuitDiamonds, id++, byte(rng)));
    deck.push_back(Rules::MakeCard(BJ, Rules::SuitDiamonds, id++, byte(rng)));
    return deck;
}

uint64_t RankKey(const std::vector<CardValue>& cards)
{
    uint64_t key = 0;
    for (CardValue card : cards) {
        const int rank = Rules::CardRank(card);
        key += uint64_t{1} << (3 * (rank - 3));
    }
    return key;
}

std::vector<CardValue> CandidateCards(const Rules::FollowHintStore& store, int c,
                                      const std::vector<HandEntry>& hand)
{
    const int n = static_cast<int>(hand.size());
    std::vector<int> slots;
    for (int16_t position : store.HintCandidates[static_cast<size_t>(c)])
        if (position != 0)
            slots.push_back(Rules::HandSlotOfPosition(n, position));
    // Raised cards are collected from the hand slot by slot, so in hand order.
    std::sort(slots.begin(), slots.end());
    std::vector<CardValue> cards;
    for (int slot : slots)
        cards.push_back(hand[static_cast<size_t>(slot)].value);
    return cards;
}

}  // namespace RulesTest
