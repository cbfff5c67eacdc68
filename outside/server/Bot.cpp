#include "Bot.h"

#include <algorithm>
#include <array>

#include "rules/Cards.h"
#include "rules/Classify.h"
#include "rules/Hints.h"

namespace Server {

namespace {

using Rules::PlayType;

// Where each rank sits in the hand: the slots of its cards in hand order.
struct RankSlots {
    std::array<std::vector<int>, Rules::HighestRank + 1> slots;

    explicit RankSlots(std::span<const CardValue> hand)
    {
        for (int i = 0; i < static_cast<int>(hand.size()); ++i) {
            const int rank = Rules::CardRank(hand[static_cast<size_t>(i)]);
            if (rank >= Rules::LowestRank && rank <= Rules::HighestRank)
                slots[static_cast<size_t>(rank)].push_back(i);
        }
    }
    int Count(int rank) const
    {
        return rank >= 0 && rank <= Rules::HighestRank ? static_cast<int>(slots[static_cast<size_t>(rank)].size()) : 0;
    }
    bool JokerPair() const { return Count(Rules::RankSmallJoker) > 0 && Count(Rules::RankBigJoker) > 0; }
    bool InBomb(int rank) const
    {
        if (Count(rank) >= 4)
            return true;
        return (rank == Rules::RankSmallJoker || rank == Rules::RankBigJoker) && JokerPair();
    }
};

std::vector<CardValue> CardsAt(std::span<const CardValue> hand, std::vector<int> slots)
{
    std::sort(slots.begin(), slots.end());
    slots.erase(std::unique(slots.begin(), slots.end()), slots.end());
    std::vector<CardValue> cards;
    for (int s : slots)
        if (s >= 0 && s < static_cast<int>(hand.size()))
            cards.push_back(hand[static_cast<size_t>(s)]);
    return cards;
}

// Ranks held, lowest first in play order.
std::vector<int> RanksLowFirst(const RankSlots& held, int levelRank)
{
    std::vector<int> ranks;
    for (int r = Rules::LowestRank; r <= Rules::HighestRank; ++r)
        if (held.Count(r) > 0)
            ranks.push_back(r);
    std::stable_sort(ranks.begin(), ranks.end(), [levelRank](int a, int b) {
        return Rules::CompareRank(a, levelRank) < Rules::CompareRank(b, levelRank);
    });
    return ranks;
}

bool RunRank(int rank, int levelRank)
{
    return rank >= Rules::LowestRank && rank <= Rules::RankAce && rank != levelRank;
}

// The last `take` slots of a rank: the lowest suits, leaving the higher ones in hand.
void TakeFrom(const RankSlots& held, int rank, int take, std::vector<int>& out)
{
    const auto& s = held.slots[static_cast<size_t>(rank)];
    for (int k = 0; k < take && k < static_cast<int>(s.size()); ++k)
        out.push_back(s[s.size() - 1 - static_cast<size_t>(k)]);
}

std::vector<CardValue> Lead(const BotView& v)
{
    const auto hand = v.hand;
    if (Rules::ClassifyPlay(hand, v.levelRank) != PlayType::Illegal)
        return {hand.begin(), hand.end()};

    const RankSlots held(hand);
    const std::vector<int> ranks = RanksLowFirst(held, v.levelRank);
    std::vector<int> plain;  // ranks not kept for a bomb, lowest first
    for (int r : ranks)
        if (!held.InBomb(r))
            plain.push_back(r);

    std::vector<int> slots;
    if (plain.empty()) {
        // Only bombs left: the lowest four of a kind, the jokers last.
        for (int r : ranks)
            if (held.Count(r) >= 4) {
                TakeFrom(held, r, 4, slots);
                return CardsAt(hand, slots);
            }
        TakeFrom(held, Rules::RankBigJoker, 1, slots);
        TakeFrom(held, Rules::RankSmallJoker, 1, slots);
        return CardsAt(hand, slots);
    }

    const int low = plain.front();
    const int lowCount = held.Count(low);

    // A run starting from the lowest rank sheds many cards at once; triples and bombs are
    // not broken up for it.
    if (RunRank(low, v.levelRank) && lowCount <= 2) {
        const int width = lowCount;
        int length = 0;
        while (RunRank(low + length, v.levelRank) && !held.InBomb(low + length)
               && held.Count(low + length) >= width && held.Count(low + length) <= 2)
            ++length;
        if ((width == 1 && length >= 5) || (width == 2 && length >= 3)) {
            for (int r = low; r < low + length; ++r)
                TakeFrom(held, r, width, slots);
            return CardsAt(hand, slots);
        }
    }

    // An opponent about to go out is not given a single to follow.
    if (v.fewestOpponentCards == 1 && lowCount == 1) {
        for (int r : plain)
            if (held.Count(r) >= 2) {
                TakeFrom(held, r, held.Count(r), slots);
                return CardsAt(hand, slots);
            }
        TakeFrom(held, plain.back(), 1, slots);
        return CardsAt(hand, slots);
    }

    TakeFrom(held, low, lowCount, slots);
    if (lowCount == 3) {
        // A low card of another rank rides along with the triple; nothing from a 2 up.
        auto cheap = [&](int r) { return r != low && Rules::CompareRank(r, v.levelRank) < Rules::RankTwo; };
        for (int want : {1, 2}) {
            const auto kicker = std::find_if(plain.begin(), plain.end(),
                                             [&](int r) { return cheap(r) && held.Count(r) == want; });
            if (kicker != plain.end()) {
                TakeFrom(held, *kicker, want, slots);
                break;
            }
        }
    }
    return CardsAt(hand, slots);
}

struct Option {
    std::vector<CardValue> cards;
    PlayType type = PlayType::Illegal;
};

// Whether a play takes some but not all cards of a bomb in hand.
bool BreaksBomb(const Option& o, const RankSlots& held)
{
    std::array<int, Rules::HighestRank + 1> used{};
    for (CardValue c : o.cards) {
        const int r = Rules::CardRank(c);
        if (r >= 0 && r <= Rules::HighestRank)
            ++used[static_cast<size_t>(r)];
    }
    for (int r = Rules::LowestRank; r <= Rules::HighestRank; ++r) {
        const int u = used[static_cast<size_t>(r)];
        if (u == 0)
            continue;
        if (held.Count(r) >= 4 && u < held.Count(r))
            return true;
    }
    const int jokers = used[Rules::RankSmallJoker] + used[Rules::RankBigJoker];
    return held.JokerPair() && jokers == 1;
}

// Whether a play of singles, pairs or triples takes part of a rank and leaves the rest.
bool SplitsGroup(const Option& o, const RankSlots& held)
{
    if (o.type != PlayType::Single && o.type != PlayType::Pair && o.type != PlayType::Triple)
        return false;
    const int rank = Rules::CardRank(o.cards.front());
    return held.Count(rank) > static_cast<int>(o.cards.size());
}

int TopRank(std::span<const CardValue> cards, int levelRank)
{
    int top = 0;
    for (CardValue c : cards)
        top = std::max<int>(top, Rules::CardCompareRank(c, levelRank));
    return top;
}

std::vector<CardValue> Follow(const BotView& v)
{
    const auto hand = v.hand;
    const int n = static_cast<int>(hand.size());
    std::vector<HandEntry> entries(hand.size());
    for (int i = 0; i < n; ++i)
        entries[static_cast<size_t>(i)] = HandEntry{hand[static_cast<size_t>(i)], static_cast<int16_t>(i)};
    Rules::FollowHintStore store;
    Rules::ComputeHintCandidates(entries, n, *v.current, v.levelRank, store);

    std::vector<Option> options;
    for (int c = 0; c < store.HintCount; ++c) {
        std::vector<int> slots;
        for (int16_t pos : store.HintCandidates[static_cast<size_t>(c)]) {
            if (pos <= 0)
                break;
            slots.push_back(Rules::HandSlotOfPosition(n, pos));
        }
        Option o{CardsAt(hand, slots), PlayType::Illegal};
        o.type = Rules::ClassifyPlay(o.cards, v.levelRank);
        if (o.type != PlayType::Illegal && Rules::BeatsPlay(o.cards, o.type, *v.current, v.levelRank))
            options.push_back(std::move(o));
    }

    for (const Option& o : options)
        if (static_cast<int>(o.cards.size()) == n)
            return o.cards;  // goes out
    if (v.currentByPartner)
        return {};

    const RankSlots held(hand);
    const int currentTop = TopRank(Rules::CurrentPlayCards(*v.current), v.levelRank);
    const bool opponentFar = v.currentPlayerCards > 8;
    // The lowest play that beats, taking whole groups before splitting a pair or a triple.
    for (const bool allowSplit : {false, true})
        for (const Option& o : options) {
            if (o.type == PlayType::Bomb || BreaksBomb(o, held))
                continue;
            if (!allowSplit && SplitsGroup(o, held))
                continue;
            // The level cards and the jokers are not spent on a low play while there is time.
            const bool costly = TopRank(o.cards, v.levelRank) >= 16 && currentTop < Rules::RankAce;
            if (costly && opponentFar && n > 6)
                continue;
            return o.cards;
        }

    const bool bombWorthIt = v.currentPlayerCards <= 6 || v.fewestOpponentCards <= 4;
    const Option* best = nullptr;
    for (const Option& o : options) {
        if (o.type != PlayType::Bomb)
            continue;
        if (!bombWorthIt && n - static_cast<int>(o.cards.size()) > 4)
            continue;
        // Four of a kind before the jokers, lower before higher.
        auto strength = [&](const Option& b) {
            return b.cards.size() == 2 ? 1000 : Rules::CardCompareRank(b.cards.front(), v.levelRank);
        };
        if (!best || strength(o) < strength(*best))
            best = &o;
    }
    if (best)
        return best->cards;
    return {};
}

}  // namespace

std::vector<CardValue> ChooseBotPlay(const BotView& view)
{
    if (view.hand.empty())
        return {};
    const bool leading = !view.current || view.current->type == PlayType::Illegal;
    std::vector<CardValue> cards = leading ? Lead(view) : Follow(view);

    // Whatever the strategy says, only a legal play leaves the bot.
    const PlayType type = Rules::ClassifyPlay(cards, view.levelRank);
    const bool legal = !cards.empty() && type != PlayType::Illegal
                       && (leading || Rules::BeatsPlay(cards, type, *view.current, view.levelRank));
    if (!legal)
        return TimeoutPlay(view.hand, leading);
    return cards;
}

std::vector<CardValue> TimeoutPlay(std::span<const CardValue> hand, bool leading)
{
    if (leading && !hand.empty())
        return {hand.back()};
    return {};
}

}  // namespace Server
