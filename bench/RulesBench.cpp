// Speed of the card rules on random 13- and 14-card hands (fixed seeds): classification,
// comparison, hand sorting and the follow-hint candidates.
#include <algorithm>
#include <array>
#include <chrono>
#include <random>
#include <vector>

#include <benchmark/benchmark.h>

#include "rules/Cards.h"
#include "rules/Classify.h"
#include "rules/Compare.h"
#include "rules/Hints.h"

namespace {

using Rules::PlayType;

std::vector<CardValue> ShuffledDeck(std::mt19937& rng)
{
    std::vector<CardValue> deck;
    int id = 0;
    for (int rank = 3; rank <= Rules::RankTwo; ++rank)
        for (int suit = 1; suit <= 8; suit *= 2)
            deck.push_back(Rules::MakeCard(rank, suit, id++));
    deck.push_back(Rules::MakeCard(Rules::RankSmallJoker, 1, id++));
    deck.push_back(Rules::MakeCard(Rules::RankBigJoker, 1, id++));
    std::shuffle(deck.begin(), deck.end(), rng);
    return deck;
}

struct Hand {
    std::array<HandEntry, 14> slots{};
    int count = 0;
    int level = 3;

    std::vector<CardValue> Cards() const
    {
        std::vector<CardValue> cards;
        for (int m = 0; m < count; ++m)
            cards.push_back(slots[static_cast<size_t>(m)].value);
        return cards;
    }
};

// Hands as a deal stores them, unsorted.
std::vector<Hand> DealtHands(int size, int howMany, uint32_t seed)
{
    std::mt19937 rng(seed);
    std::vector<Hand> hands;
    for (int k = 0; k < howMany; ++k) {
        const std::vector<CardValue> deck = ShuffledDeck(rng);
        Hand hand;
        hand.count = size;
        hand.level = std::uniform_int_distribution<int>(3, 14)(rng);
        for (int m = 0; m < size; ++m)
            hand.slots[static_cast<size_t>(m)] = HandEntry{deck[static_cast<size_t>(m)], static_cast<int16_t>(m)};
        hands.push_back(hand);
    }
    return hands;
}

std::vector<Hand> SortedHands(int size, int howMany, uint32_t seed)
{
    std::vector<Hand> hands = DealtHands(size, howMany, seed);
    for (Hand& hand : hands)
        Rules::SortHand(hand.slots, hand.count, hand.level);
    return hands;
}

std::vector<CardValue> Subset(const Hand& hand, uint32_t mask)
{
    std::vector<CardValue> cards;
    for (int m = 0; m < hand.count; ++m)
        if (mask & (1u << m))
            cards.push_back(hand.slots[static_cast<size_t>(m)].value);
    return cards;
}

struct Selection {
    std::vector<CardValue> cards;
    int level;
    PlayType type;
};

// Every legal play of a sorted hand, by type.
std::array<std::vector<std::vector<CardValue>>, 10> LegalPlays(const Hand& hand)
{
    std::array<std::vector<std::vector<CardValue>>, 10> plays;
    for (uint32_t mask = 1; mask < (1u << hand.count); ++mask) {
        std::vector<CardValue> cards = Subset(hand, mask);
        const PlayType type = Rules::ClassifyPlay(cards, hand.level);
        if (type != PlayType::Illegal)
            plays[static_cast<size_t>(Rules::PlayTypeCode(type))].push_back(std::move(cards));
    }
    return plays;
}

std::vector<Selection> RandomSelections(int size, bool legalOnly, uint32_t seed)
{
    std::mt19937 rng(seed);
    std::vector<Selection> out;
    for (const Hand& hand : SortedHands(size, 64, seed)) {
        if (legalOnly) {
            const auto plays = LegalPlays(hand);
            for (int type = 1; type <= 9; ++type) {
                const auto& list = plays[static_cast<size_t>(type)];
                for (int k = 0; k < 8 && !list.empty(); ++k)
                    out.push_back({list[std::uniform_int_distribution<size_t>(0, list.size() - 1)(rng)], hand.level,
                                   static_cast<PlayType>(type)});
            }
        } else {
            for (int k = 0; k < 64; ++k) {
                const uint32_t mask = std::uniform_int_distribution<uint32_t>(1, (1u << hand.count) - 1)(rng);
                out.push_back({Subset(hand, mask), hand.level, PlayType::Illegal});
            }
        }
    }
    std::shuffle(out.begin(), out.end(), rng);
    return out;
}

// A hand to hint from and a play of some shape to follow, the play taken from another hand
// of the same deal level.
struct FollowCase {
    Hand hand;
    Rules::CurrentPlayRecord current;
};

std::vector<FollowCase> FollowCases(int size, uint32_t seed)
{
    std::mt19937 rng(seed);
    std::vector<FollowCase> out;
    const std::vector<Hand> hands = SortedHands(size, 96, seed);
    const std::vector<Hand> others = SortedHands(14, 96, seed + 1);
    for (size_t k = 0; k < hands.size(); ++k) {
        Hand other = others[k];
        other.level = hands[k].level;
        Rules::SortHand(other.slots, other.count, other.level);
        const auto plays = LegalPlays(other);
        for (int type = 1; type <= 9; ++type) {
            const auto& list = plays[static_cast<size_t>(type)];
            if (list.empty())
                continue;
            FollowCase c{hands[k], {}};
            Rules::SetCurrentPlay(c.current, static_cast<PlayType>(type),
                                  list[std::uniform_int_distribution<size_t>(0, list.size() - 1)(rng)]);
            out.push_back(c);
        }
    }
    std::shuffle(out.begin(), out.end(), rng);
    return out;
}

void BM_ClassifyPlay(benchmark::State& state)
{
    const std::vector<Selection> pool = RandomSelections(static_cast<int>(state.range(0)), state.range(1) != 0, 11);
    Rules::ClassifiedPlay area;
    size_t k = 0;
    for (auto _ : state) {
        const Selection& s = pool[k];
        benchmark::DoNotOptimize(Rules::ClassifyPlay(s.cards, s.level, area));
        k = k + 1 == pool.size() ? 0 : k + 1;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ClassifyPlay)->ArgNames({"hand", "legal"})->Args({13, 0})->Args({14, 0})->Args({13, 1})->Args({14, 1});

void BM_BeatsPlay(benchmark::State& state)
{
    // Legal plays against legal plays of the same shape (and bombs against anything).
    const std::vector<Selection> mine = RandomSelections(static_cast<int>(state.range(0)), true, 21);
    const std::vector<Selection> theirs = RandomSelections(14, true, 22);
    struct Pair {
        const Selection* mine;
        Rules::CurrentPlayRecord current;
    };
    std::vector<Pair> pool;
    for (size_t k = 0; k < mine.size() && pool.size() < 4096; ++k)
        for (size_t j = k % 7; j < theirs.size() && pool.size() < 4096; j += 97)
            if (theirs[j].type == mine[k].type || mine[k].type == PlayType::Bomb) {
                Pair p{&mine[k], {}};
                Rules::SetCurrentPlay(p.current, theirs[j].type, theirs[j].cards);
                pool.push_back(p);
                break;
            }
    size_t k = 0;
    for (auto _ : state) {
        const Pair& p = pool[k];
        benchmark::DoNotOptimize(Rules::BeatsPlay(p.mine->cards, p.mine->type, p.current, p.mine->level));
        k = k + 1 == pool.size() ? 0 : k + 1;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_BeatsPlay)->ArgName("hand")->Arg(13)->Arg(14);

void BM_SortHand(benchmark::State& state)
{
    const std::vector<Hand> pool = DealtHands(static_cast<int>(state.range(0)), 1024, 31);
    size_t k = 0;
    for (auto _ : state) {
        Hand hand = pool[k];  // a fresh deal each time
        Rules::SortHand(hand.slots, hand.count, hand.level);
        benchmark::DoNotOptimize(hand.slots.data());
        benchmark::ClobberMemory();
        k = k + 1 == pool.size() ? 0 : k + 1;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SortHand)->ArgName("hand")->Arg(13)->Arg(14);

void BM_FollowHintCandidates(benchmark::State& state)
{
    const std::vector<FollowCase> pool = FollowCases(static_cast<int>(state.range(0)), 41);
    Rules::FollowHintStore store;
    size_t k = 0;
    for (auto _ : state) {
        const FollowCase& c = pool[k];
        Rules::ComputeHintCandidates(c.hand.slots, c.hand.count, c.current, c.hand.level, store);
        benchmark::DoNotOptimize(store.HintCount);
        k = k + 1 == pool.size() ? 0 : k + 1;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FollowHintCandidates)->ArgName("hand")->Arg(13)->Arg(14);

// The slowest case of the pool: each (hand, current play) is timed on its own, its best of
// five rounds taken (so that a preempted round does not count), and the largest of these is
// reported as max_ns.
void BM_FollowHintSlowestCase(benchmark::State& state)
{
    const std::vector<FollowCase> pool = FollowCases(static_cast<int>(state.range(0)), 41);
    Rules::FollowHintStore store;
    double slowest = 0;
    int most = 0;
    for (auto _ : state) {
        for (const FollowCase& c : pool) {
            constexpr int rounds = 5, repeats = 32;
            double best = 1e18;
            for (int round = 0; round < rounds; ++round) {
                const auto start = std::chrono::steady_clock::now();
                for (int r = 0; r < repeats; ++r) {
                    Rules::ComputeHintCandidates(c.hand.slots, c.hand.count, c.current, c.hand.level, store);
                    benchmark::DoNotOptimize(store.HintCount);
                    benchmark::ClobberMemory();
                }
                const auto elapsed = std::chrono::steady_clock::now() - start;
                best = std::min(best, std::chrono::duration<double, std::nano>(elapsed).count() / repeats);
            }
            slowest = std::max(slowest, best);
            most = std::max(most, static_cast<int>(store.HintCount));
        }
    }
    state.counters["cases"] = static_cast<double>(pool.size());
    state.counters["max_ns"] = slowest;
    state.counters["most_candidates"] = most;
}
BENCHMARK(BM_FollowHintSlowestCase)->ArgName("hand")->Arg(13)->Arg(14)->Iterations(3)->Unit(benchmark::kMillisecond);

void BM_FollowHintRichHand(benchmark::State& state)
{
    // Four triples and two singles against a low triple with a single: the most candidates
    // a hand of 14 can give for one shape.
    const int level = 14;
    std::array<HandEntry, 14> hand{};
    const int ranks[] = {Rules::RankBigJoker, 13, 13, 13, 12, 12, 12, 11, 11, 11, 10, 10, 10, 9};
    for (int m = 0; m < 14; ++m)
        hand[static_cast<size_t>(m)] = HandEntry{Rules::MakeCard(ranks[m], 1 << (m % 4), m), static_cast<int16_t>(m)};
    Rules::SortHand(hand, 14, level);
    Rules::CurrentPlayRecord current;
    const std::vector<CardValue> play = {Rules::MakeCard(4, 8), Rules::MakeCard(4, 4), Rules::MakeCard(4, 2),
                                         Rules::MakeCard(3, 1)};
    Rules::SetCurrentPlay(current, PlayType::TripleWithSingle, play);
    Rules::FollowHintStore store;
    for (auto _ : state) {
        Rules::ComputeHintCandidates(hand, 14, current, level, store);
        benchmark::DoNotOptimize(store.HintCount);
    }
    state.counters["candidates"] = store.HintCount;
}
BENCHMARK(BM_FollowHintRichHand);

}  // namespace

BENCHMARK_MAIN();
