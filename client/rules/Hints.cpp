#include "rules/Hints.h"

#include <algorithm>

#include "rules/Cards.h"

namespace Rules {

namespace {

constexpr int RankCount = HighestRank - LowestRank + 1;  // 3..17

// Ranks 3..17 from low to high in CompareRank order, and the step up from each.
struct RankLadder {
    std::array<int, RankCount> order{};
    std::array<int, HighestRank + 1> up{};  // 0: nothing higher, or not a rank
};

RankLadder MakeLadder(int levelRank)
{
    RankLadder ladder;
    for (int k = 0; k < RankCount; ++k)
        ladder.order[static_cast<size_t>(k)] = LowestRank + k;
    // Insertion sort; stable, so ranks that compare alike would keep printed order.
    for (int k = 1; k < RankCount; ++k) {
        const int rank = ladder.order[static_cast<size_t>(k)];
        int m = k;
        while (m > 0 && CompareRank(ladder.order[static_cast<size_t>(m - 1)], levelRank) > CompareRank(rank, levelRank)) {
            ladder.order[static_cast<size_t>(m)] = ladder.order[static_cast<size_t>(m - 1)];
            --m;
        }
        ladder.order[static_cast<size_t>(m)] = rank;
    }
    for (int k = 0; k + 1 < RankCount; ++k) {
        const int rank = ladder.order[static_cast<size_t>(k)];
        const int next = ladder.order[static_cast<size_t>(k + 1)];
        if (CompareRank(next, levelRank) > CompareRank(rank, levelRank))
            ladder.up[static_cast<size_t>(rank)] = next;
    }
    return ladder;
}

bool IsRank(int rank) { return rank >= LowestRank && rank <= HighestRank; }

// For each rank the number of cards in hand and the positions of its lowest four,
// lowest first.
struct RankTable {
    std::array<int, HighestRank + 1> count{};
    std::array<std::array<int16_t, 4>, HighestRank + 1> pos{};

    int Held(int rank) const { return IsRank(rank) ? count[static_cast<size_t>(rank)] : 0; }
    int16_t Pos(int rank, int k) const { return pos[static_cast<size_t>(rank)][static_cast<size_t>(k)]; }
};

RankTable MakeRankTable(std::span<const HandEntry> hand, int n)
{
    RankTable table;
    for (int p = 1; p <= n; ++p) {
        const int rank = CardRank(hand[static_cast<size_t>(HandSlotOfPosition(n, p))].value);
        if (!IsRank(rank))
            continue;
        int& c = table.count[static_cast<size_t>(rank)];
        if (c < 4)
            table.pos[static_cast<size_t>(rank)][static_cast<size_t>(c)] = static_cast<int16_t>(p);
        ++c;
    }
    return table;
}

// Builds candidates column by column.
struct CandidateBuilder {
    FollowHintStore& store;
    std::array<int16_t, HintRows> rows{};
    int used = 0;

    void Start() { used = 0; }
    void Add(int16_t position)
    {
        if (used < HintRows)
            rows[static_cast<size_t>(used++)] = position;
    }
    void AddFirst(const RankTable& table, int rank, int k)
    {
        for (int i = 0; i < k; ++i)
            Add(table.Pos(rank, i));
    }
    void Finish()
    {
        if (used > 0)
            AppendHintCandidate(store, std::span<const int16_t>(rows).first(static_cast<size_t>(used)));
    }
};

// Runs of `width` cards per rank over `ranks` ranks from each start above w, lowest first.
void RunCandidates(CandidateBuilder& out, const RankTable& table, const RankLadder& ladder,
                   int w, int ranks, int width, int levelRank)
{
    if (ranks < 1 || !IsRank(w))
        return;
    for (int s = ladder.up[static_cast<size_t>(w)]; s != 0; s = ladder.up[static_cast<size_t>(s)]) {
        if (s < LowestRank || s > RankAce || s == levelRank || s + ranks - 1 > RankAce)
            continue;
        bool held = true;
        for (int r = s; r < s + ranks && held; ++r)
            held = r != levelRank && table.Held(r) >= width;
        if (!held)
            continue;
        out.Start();
        for (int r = s; r < s + ranks; ++r)
            out.AddFirst(table, r, width);
        out.Finish();
    }
}

// Every rank above `from` (or from the lowest rank when from is 0) held at least `width`
// times, as one candidate of its first `width` cards.
void SameRankCandidates(CandidateBuilder& out, const RankTable& table, const RankLadder& ladder,
                        int from, int width, bool fromLowest)
{
    int r = fromLowest ? ladder.order[0] : (IsRank(from) ? ladder.up[static_cast<size_t>(from)] : 0);
    for (; r != 0; r = ladder.up[static_cast<size_t>(r)]) {
        if (table.Held(r) < width)
            continue;
        out.Start();
        out.AddFirst(table, r, width);
        out.Finish();
    }
}

void TripleWithExtraCandidates(CandidateBuilder& out, const RankTable& table,
                               const RankLadder& ladder, int t, int extra)
{
    if (!IsRank(t))
        return;
    for (int r = ladder.up[static_cast<size_t>(t)]; r != 0; r = ladder.up[static_cast<size_t>(r)]) {
        if (table.Held(r) < 3)
            continue;
        // Extra cards in plain rank order, whatever their place in the rank order.
        for (int k = LowestRank; k <= HighestRank; ++k) {
            if (k == r || table.Held(k) < extra)
                continue;
            out.Start();
            out.AddFirst(table, r, 3);
            out.AddFirst(table, k, extra);
            out.Finish();
        }
    }
}

}  // namespace

int NextRankUp(int rank, int levelRank)
{
    if (!IsRank(rank))
        return 0;
    return MakeLadder(levelRank).up[static_cast<size_t>(rank)];
}

LeadHintGroup NextLeadHint(std::span<const HandEntry> hand, int cardCount, int leadHintPos)
{
    const int n = std::clamp(cardCount, 0, static_cast<int>(hand.size()));
    const int q = leadHintPos;
    LeadHintGroup group{q, 0, leadHintPos};
    if (q < 0 || q >= n)
        return group;

    auto rankAt = [&](int index) { return CardRank(hand[static_cast<size_t>(HandSlotOfIndex(n, index))].value); };
    group.size = 1;
    for (int i = 1; i <= 3; ++i) {
        // Grouping looks no further than the six lowest cards, and never past the hand's end.
        if (q + i >= 6 || q + i >= n || rankAt(q + i) != rankAt(q))
            break;
        group.size = i == 3 ? 4 : 2;
    }
    group.nextLeadHintPos = q + group.size == n ? 0 : q + group.size;
    return group;
}

bool AppendHintCandidate(FollowHintStore& store, std::span<const int16_t> positions)
{
    if (store.HintCount < 0 || store.HintCount >= HintMaxCandidates)
        return false;
    auto& column = store.HintCandidates[static_cast<size_t>(store.HintCount)];
    column.fill(0);
    const size_t n = std::min(positions.size(), static_cast<size_t>(HintRows));
    std::copy_n(positions.begin(), n, column.begin());
    ++store.HintCount;
    return true;
}

void ComputeHintCandidates(std::span<const HandEntry> hand, int cardCount,
                           const CurrentPlayRecord& current, int levelRank, FollowHintStore& store)
{
    store = FollowHintStore{};
    const int n = std::clamp(cardCount, 0, std::min(static_cast<int>(hand.size()), HintRows));
    const RankTable table = MakeRankTable(hand, n);
    const RankLadder ladder = MakeLadder(levelRank);
    CandidateBuilder out{store};

    const std::span<const int32_t> played = CurrentPlayCards(current);
    const int count = static_cast<int>(played.size());
    // w: the lowest card of the play (the last, highest first); t: card 2, always in the
    // triple of a triple with extra cards.
    const int w = count > 0 ? CardRank(played[static_cast<size_t>(count - 1)]) : 0;
    const int t = count > 2 ? CardRank(played[2]) : 0;

    switch (current.type) {
    case PlayType::Single:
        SameRankCandidates(out, table, ladder, w, 1, false);
        break;
    case PlayType::Pair:
        SameRankCandidates(out, table, ladder, w, 2, false);
        break;
    case PlayType::Triple:
        SameRankCandidates(out, table, ladder, w, 3, false);
        break;
    case PlayType::Straight:
        RunCandidates(out, table, ladder, w, count, 1, levelRank);
        break;
    case PlayType::PairRun:
        RunCandidates(out, table, ladder, w, count / 2, 2, levelRank);
        break;
    case PlayType::TripleRun:
        RunCandidates(out, table, ladder, w, count / 3, 3, levelRank);
        break;
    case PlayType::TripleWithSingle:
        TripleWithExtraCandidates(out, table, ladder, t, 1);
        break;
    case PlayType::TripleWithPair:
        TripleWithExtraCandidates(out, table, ladder, t, 2);
        break;
    case PlayType::Bomb:
        // Any four of a kind beats the joker pair; a four-card bomb needs a higher rank.
        SameRankCandidates(out, table, ladder, w, 4, count == 2);
        break;
    default:
        break;
    }

    if (current.type != PlayType::Bomb) {
        if (table.Held(RankBigJoker) >= 1 && table.Held(RankSmallJoker) >= 1) {
            out.Start();
            out.AddFirst(table, RankBigJoker, 1);
            out.AddFirst(table, RankSmallJoker, 1);
            out.Finish();
        }
        SameRankCandidates(out, table, ladder, 0, 4, true);
    }
}

HintSelection NextHintSelection(FollowHintStore& store, int cardCount)
{
    HintSelection selection;
    const int total = std::min(static_cast<int>(store.HintCount), HintMaxCandidates);
    if (total <= 0)
        return selection;
    const int c = ((store.HintNext % total) + total) % total;
    for (int16_t position : store.HintCandidates[static_cast<size_t>(c)]) {
        if (position == 0)
            continue;
        const int slot = HandSlotOfPosition(cardCount, position);
        if (slot >= 0 && slot < cardCount && slot < HintRows)
            selection.handSlots[static_cast<size_t>(selection.count++)] = static_cast<int16_t>(slot);
    }
    store.HintNext = static_cast<int16_t>((c + 1) % total);
    return selection;
}

}  // namespace Rules
