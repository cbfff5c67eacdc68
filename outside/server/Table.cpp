#include "Table.h"

#include <algorithm>
#include <numeric>
#include <utility>

#include "Bot.h"
#include "Messages.h"
#include "rules/Cards.h"
#include "rules/Classify.h"
#include "wire/Commands.h"
#include "wire/Fields.h"

namespace Server {

namespace {

using Rules::PlayType;

constexpr size_t RoundsKept = 64;
constexpr int HighestLevel = Rules::RankAce;  // a side that climbs past the ace has won the game
constexpr int LowestLevel = 3;

int Partner(int seat) { return (seat + 2) & 3; }

void SortCards(std::vector<CardValue>& cards, int levelRank)
{
    std::vector<HandEntry> entries(cards.size());
    for (size_t i = 0; i < cards.size(); ++i)
        entries[i] = HandEntry{cards[i], static_cast<int16_t>(i)};
    Rules::SortHand(entries, static_cast<int>(entries.size()), levelRank);
    for (size_t i = 0; i < cards.size(); ++i)
        cards[i] = entries[i].value;
}

std::string Ordinal(int place)
{
    static const char* const Names[] = {"-", "1st", "2nd", "3rd", "4th"};
    return place >= 1 && place <= 4 ? Names[place] : "-";
}

}  // namespace

GameTable::GameTable(TableConfig config, LogSink log)
    : m_config(std::move(config)), m_log(std::move(log)),
      m_rng(m_config.seed ? *m_config.seed : std::random_device{}()),
      m_chatRng(m_config.seed ? *m_config.seed + 1 : std::random_device{}())
{
    m_config.bots = std::clamp(m_config.bots, 0, 4);
    m_config.turnSeconds = std::clamp(m_config.turnSeconds, 1, 255);
    m_config.botDelayMs = std::max(0, m_config.botDelayMs);
    m_config.readySeconds = std::max(0, m_config.readySeconds);
    for (int seat = 4 - m_config.bots; seat < 4; ++seat)
        SeatBot(seat);
    // A table of computer players starts on the first tick of the clock.
    if (m_config.bots == 4)
        Schedule(Due::BotsReady, 0);
}

// ---------------------------------------------------------------- seats

bool GameTable::IsHumanSeat(int seat) const
{
    const SeatKind k = At(seat).kind;
    return k == SeatKind::Human || k == SeatKind::Away;
}

bool GameTable::Active(int seat) const
{
    const SeatState& s = At(seat);
    return s.kind != SeatKind::Empty && s.place == 0 && !s.hand.empty();
}

int GameTable::NextActive(int seat) const
{
    for (int k = 1; k <= 4; ++k)
        if (Active((seat + k) & 3))
            return (seat + k) & 3;
    return -1;
}

std::string GameTable::Who(int seat) const
{
    const SeatState& s = At(seat);
    std::string who = "seat " + std::to_string(seat & 3) + " " + s.profile.logName;
    if (s.kind == SeatKind::Bot)
        who += " (cpu)";
    else if (s.kind == SeatKind::Away)
        who += " (away)";
    return who;
}

void GameTable::Log(const std::string& line)
{
    if (m_log)
        m_log(line);
}

SeatKind GameTable::Kind(int seat) const { return At(seat).kind; }
const PlayerProfile& GameTable::Profile(int seat) const { return At(seat).profile; }
std::span<const CardValue> GameTable::Hand(int seat) const { return At(seat).hand; }
bool GameTable::IsReady(int seat) const { return At(seat).ready; }
int GameTable::Turn() const { return m_phase == Phase::Playing ? m_turn : -1; }

uint16_t GameTable::Stamp(Packet& p)
{
    ++m_sessionCode;
    p[Wire::SessionCodeByte] = static_cast<uint8_t>(m_sessionCode & 0xFF);
    p[Wire::SessionCodeByte + 1] = static_cast<uint8_t>(m_sessionCode >> 8);
    return m_sessionCode;
}

void GameTable::Send(int seat, Packet p)
{
    SeatState& s = At(seat);
    if (s.kind != SeatKind::Human && s.kind != SeatKind::Away)
        return;
    ++s.packets;
    Deliver(seat, p);
}

void GameTable::Deliver(int seat, Packet p)
{
    SeatState& s = At(seat);
    Stamp(p);
    s.history.push_back(p);
    while (s.history.size() > m_config.historyLimit)
        s.history.pop_front();
    if (s.kind == SeatKind::Human)
        m_outbox.push_back(Outgoing{seat & 3, p});
}

void GameTable::SendAll(const Packet& p)
{
    for (int seat = 0; seat < 4; ++seat)
        Send(seat, p);
}

std::vector<Outgoing> GameTable::TakeOutgoing() { return std::exchange(m_outbox, {}); }
std::vector<int> GameTable::TakeReleasedSeats() { return std::exchange(m_released, {}); }

void GameTable::SeatBot(int seat, const std::vector<PlayerProfile>& alsoTaken)
{
    std::vector<PlayerProfile> taken = alsoTaken;
    for (const SeatState& s : m_seats)
        if (s.kind != SeatKind::Empty)
            taken.push_back(s.profile);
    SeatState& s = At(seat);
    s = SeatState{};
    s.kind = SeatKind::Bot;
    s.profile = MakeBotProfile(m_rng, taken);
    s.ready = m_phase == Phase::Waiting && m_due != Due::BotsReady;
    Log(Who(seat) + " sits down, " + std::to_string(s.profile.coins) + " coins");
    for (int h = 0; h < 4; ++h)
        if (IsHumanSeat(h))
            Send(h, Msg::SeatInfo(SeatBit(h), seat, s.profile, s.ready));
    if (s.ready)
        SendAll(Msg::Ready(s.profile.key));
}

int GameTable::Enter(const std::string& key, Packet reply, int64_t now)
{
    // Someone who lost the link in a round that is over now comes back as a new entry.
    for (int seat = 0; seat < 4; ++seat)
        if (At(seat).kind == SeatKind::Away && At(seat).profile.key == key && m_phase == Phase::Waiting)
            FreeSeat(seat, true);
    for (int seat = 0; seat < 4; ++seat)
        if (At(seat).kind != SeatKind::Empty && At(seat).profile.key == key) {
            Log("entry of " + MakeHumanProfile(key, 0).logName + " refused: that key already sits at seat "
                + std::to_string(seat));
            return -1;
        }
    int seat = -1;
    for (int i = 0; i < 4 && seat < 0; ++i)
        if (At(i).kind == SeatKind::Empty)
            seat = i;
    if (seat < 0) {
        Log("entry of " + MakeHumanProfile(key, 0).logName + " refused: the table is full");
        return -1;
    }

    SeatState& s = At(seat);
    s = SeatState{};
    s.kind = SeatKind::Human;
    s.profile = MakeHumanProfile(key, m_config.humanCoins);
    Log(Who(seat) + " sits down (human), " + std::to_string(s.profile.coins) + " coins");

    reply[Field::Seat] = SeatBit(seat);
    Send(seat, reply);
    // The newcomer's own seat first, then everyone else's, then who is ready.
    Send(seat, Msg::SeatInfo(SeatBit(seat), seat, s.profile, false));
    for (int other = 0; other < 4; ++other)
        if (other != seat && At(other).kind != SeatKind::Empty)
            Send(seat, Msg::SeatInfo(SeatBit(seat), other, At(other).profile, At(other).ready));
    for (int other = 0; other < 4; ++other)
        if (other != seat && At(other).kind != SeatKind::Empty && At(other).ready)
            Send(seat, Msg::Ready(At(other).profile.key));
    for (int other = 0; other < 4; ++other)
        if (other != seat && IsHumanSeat(other))
            Send(other, Msg::SeatInfo(SeatBit(other), seat, s.profile, false));

    // Only a human's entry can fill the table: computer players come with it or take a broke
    // one's seat at once, and neither may start the wait between rounds.
    const bool full = std::none_of(m_seats.begin(), m_seats.end(),
                                   [](const SeatState& other) { return other.kind == SeatKind::Empty; });
    if (full && m_phase == Phase::Waiting && m_config.readySeconds > 0)
        m_humansReadyAt = now + 1000LL * m_config.readySeconds;
    BotSays({0, 1, 2, 3}, ChatMoment::Greeting);
    return seat;
}

int GameTable::Reconnect(const std::string& key, uint16_t code, int64_t now)
{
    for (int seat = 0; seat < 4; ++seat) {
        SeatState& s = At(seat);
        if (!IsHumanSeat(seat) || s.profile.key != key)
            continue;
        auto it = std::find_if(s.history.rbegin(), s.history.rend(), [code](const Packet& p) {
            return (p[Wire::SessionCodeByte] | p[Wire::SessionCodeByte + 1] << 8) == code;
        });
        if (it == s.history.rend())
            break;
        // Everything after the last packet the client saw goes out again with fresh codes.
        const auto from = it.base();
        std::vector<Packet> missed(from, s.history.end());
        s.history.erase(from, s.history.end());
        s.kind = SeatKind::Human;
        Packet accepted = Msg::ReconnectResult(true);
        Stamp(accepted);
        m_outbox.push_back(Outgoing{seat, accepted});
        for (Packet& p : missed)
            Deliver(seat, p);
        Log(Who(seat) + " reconnected; " + std::to_string(missed.size()) + " missed packets sent again");
        if (m_phase == Phase::Playing && m_turn == seat && m_due == Due::Turn)
            m_dueAt = now + 1000LL * m_config.turnSeconds + m_config.clientSlackMs;
        return seat;
    }
    Log("reconnect of " + MakeHumanProfile(key, 0).logName + " with session code " + std::to_string(code)
        + " refused");
    return -1;
}

void GameTable::Disconnected(int seat, int64_t now)
{
    SeatState& s = At(seat);
    if (s.kind != SeatKind::Human)
        return;
    if (m_phase == Phase::Waiting) {
        Log(Who(seat) + " lost the link between rounds");
        FreeSeat(seat, true);
        return;
    }
    Log(Who(seat) + " lost the link during the round; the seat waits for a reconnect");
    s.kind = SeatKind::Away;
    s.awayUntil = now + m_config.awayGraceMs;
    ++s.profile.disconnects;
}

void GameTable::FreeSeat(int seat, bool announce)
{
    SeatState& s = At(seat);
    const std::string key = s.profile.key;
    const bool human = IsHumanSeat(seat);
    Log(Who(seat) + " leaves the table");
    s = SeatState{};
    // The table is no longer full; the next entry that fills it starts the wait again.
    m_humansReadyAt.reset();
    if (human)
        m_released.push_back(seat & 3);
    if (announce)
        SendAll(Msg::LeftTable(key));
}

void GameTable::CloseTable(const std::string& noticeUtf8, int64_t now)
{
    Log("table closes: " + (noticeUtf8.empty() ? std::string("(no notice)") : noticeUtf8));
    SendAll(Msg::TableClosed(ToGbk(noticeUtf8)));
    if (m_phase != Phase::Waiting)
        AbandonRound(now);
    for (int seat = 0; seat < 4; ++seat)
        if (IsHumanSeat(seat))
            FreeSeat(seat, false);
    m_teamLevel = {LowestLevel, LowestLevel};
    m_levelRank = LowestLevel;
    m_nextStarter = -1;
    m_roundsSinceOpen = 0;
}

// ---------------------------------------------------------------- packets from humans

void GameTable::Receive(int seat, const Packet& p, int64_t now)
{
    if (seat < 0 || seat > 3 || At(seat).kind != SeatKind::Human)
        return;
    switch (p[Wire::CommandByte]) {
    case Command::PlayRequest:
        PlayRequest(seat, p, now);
        break;
    case Command::Chat:
        RouteChat(seat, p);
        break;
    case Command::Departure:
        if (p[Field::Request::Kind] == 1)
            SetReady(seat, now);
        else if (p[Field::Request::Leave] == 1)
            Leave(seat, now);
        break;
    default:  // keep-alive and anything unknown
        break;
    }
}

void GameTable::SetReady(int seat, int64_t now)
{
    SeatState& s = At(seat);
    if (m_phase != Phase::Waiting || s.ready)
        return;
    s.ready = true;
    Log(Who(seat) + " is ready");
    SendAll(Msg::Ready(s.profile.key));
    TryStart(now);
}

void GameTable::Leave(int seat, int64_t now)
{
    if (m_phase == Phase::Finishing) {
        // The last card is down: the others get their results rather than a lost round.
        Log(Who(seat) + " asks to leave as round " + std::to_string(m_roundNumber) + " ends");
        FinishRound(now);
        if (At(seat).kind != SeatKind::Human)
            return;  // already sent away: too few coins, or the table closed
    }
    if (m_phase == Phase::Waiting) {
        FreeSeat(seat, true);
        return;
    }
    // Leaving in the middle of a round ends it for everyone.
    Log(Who(seat) + " leaves during round " + std::to_string(m_roundNumber) + "; the round is abandoned");
    const uint8_t staying = static_cast<uint8_t>(15 & ~SeatBit(seat));
    for (int other = 0; other < 4; ++other)
        if (other != seat)
            Send(other, Msg::Departure(staying, DepartureLeftGame));
    AbandonRound(now);
    FreeSeat(seat, true);
}

void GameTable::PlayRequest(int seat, const Packet& p, int64_t now)
{
    if (m_phase != Phase::Playing || m_turn != seat) {
        Log(Who(seat) + " sent a play out of turn; ignored");
        // Between rounds there is no round to charge it to.
        if (m_phase != Phase::Waiting)
            ++Record().outOfTurn[static_cast<size_t>(seat & 3)];
        return;
    }
    SeatState& s = At(seat);
    const bool leading = m_current.type == PlayType::Illegal;
    if (p[Field::Request::Kind] == 1 && !leading) {
        Pass(seat, now, PlayedBy::Seat);
        return;
    }
    if (p[Field::Request::Kind] == 2) {
        const int n = p[Field::Request::Count];
        std::vector<int> slots;
        bool found = n >= 1 && n <= Rules::MaxPlayCards && n <= static_cast<int>(s.hand.size());
        for (int i = 0; found && i < n; ++i) {
            const int id = p[static_cast<size_t>(Field::Request::Cards + i)];
            const auto at = std::find_if(s.hand.begin(), s.hand.end(),
                                         [id](CardValue c) { return Rules::CardIdentifier(c) == id; });
            const int slot = static_cast<int>(at - s.hand.begin());
            found = at != s.hand.end() && std::find(slots.begin(), slots.end(), slot) == slots.end();
            slots.push_back(slot);
        }
        if (found) {
            std::sort(slots.begin(), slots.end());
            std::vector<CardValue> cards;
            for (int slot : slots)
                cards.push_back(s.hand[static_cast<size_t>(slot)]);
            const PlayType type = Rules::ClassifyPlay(cards, m_levelRank);
            if (type != PlayType::Illegal
                && (leading || Rules::BeatsPlay(cards, type, m_current, m_levelRank))) {
                if (Rules::PlayTypeFromCode(p[Field::Request::Type]) != type)
                    Log(Who(seat) + " named the play type " + std::to_string(p[Field::Request::Type]) + "; it is "
                        + PlayTypeName(type));
                PlayCards(seat, std::move(cards), type, now, PlayedBy::Seat);
                return;
            }
        }
    }
    Log(Who(seat) + " sent a play the rules refuse; the table plays for the seat as on a time-out");
    ForcedTurn(seat, now, PlayedBy::Refusal);
}

// ---------------------------------------------------------------- rounds

void GameTable::TryStart(int64_t now)
{
    if (m_phase != Phase::Waiting)
        return;
    for (const SeatState& s : m_seats)
        if ((s.kind != SeatKind::Bot && s.kind != SeatKind::Human) || !s.ready)
            return;
    StartRound(now);
}

void GameTable::StartRound(int64_t now)
{
    ++m_roundNumber;
    m_phase = Phase::Playing;
    m_due = Due::None;
    m_humansReadyAt.reset();

    // 54 cards, each with its own identifier drawn from 0..127.
    std::vector<int> ids(128);
    std::iota(ids.begin(), ids.end(), 0);
    std::shuffle(ids.begin(), ids.end(), m_rng);
    std::vector<CardValue> deck;
    for (int suit : {Rules::SuitDiamonds, Rules::SuitClubs, Rules::SuitHearts, Rules::SuitSpades})
        for (int rank = 3; rank <= Rules::RankTwo; ++rank)
            deck.push_back(Rules::MakeCard(rank, suit, ids[deck.size()]));
    deck.push_back(Rules::MakeCard(Rules::RankSmallJoker, Rules::SuitDiamonds, ids[deck.size()]));
    deck.push_back(Rules::MakeCard(Rules::RankBigJoker, Rules::SuitDiamonds, ids[deck.size()]));
    std::shuffle(deck.begin(), deck.end(), m_rng);

    const int starter = m_nextStarter >= 0 ? m_nextStarter : std::uniform_int_distribution<int>(0, 3)(m_rng);
    // The starter and the next player, one of each side, hold the two extra cards.
    const int longA = starter;
    const int longB = (starter + 1) & 3;

    m_rounds.push_back(RoundRecord{});
    while (m_rounds.size() > RoundsKept)
        m_rounds.pop_front();
    RoundRecord& record = Record();
    record.number = m_roundNumber;
    record.levelRank = m_levelRank;
    record.starter = starter;

    size_t next = 0;
    for (int seat = 0; seat < 4; ++seat) {
        SeatState& s = At(seat);
        const size_t count = (seat == longA || seat == longB) ? 14 : 13;
        s.hand.assign(deck.begin() + static_cast<std::ptrdiff_t>(next),
                      deck.begin() + static_cast<std::ptrdiff_t>(next + count));
        next += count;
        SortCards(s.hand, m_levelRank);
        s.place = 0;
        s.ready = false;
        record.hands[static_cast<size_t>(seat)] = s.hand;
    }
    m_current = {};
    m_lastPlayer = -1;
    m_passes = 0;
    m_finished = 0;

    Log("round " + std::to_string(m_roundNumber) + ": level " + RankText(m_levelRank)
        + ", " + Who(starter) + " starts");
    for (int seat = 0; seat < 4; ++seat) {
        Log("  " + Who(seat) + " holds " + CardsText(At(seat).hand));
        if (!IsHumanSeat(seat))
            continue;
        Msg::DealInfo info;
        info.addresseeBit = SeatBit(seat);
        info.starter = starter;
        info.levelRank = m_levelRank;
        info.turnSeconds = m_config.turnSeconds;
        info.longSeatA = longA;
        info.longSeatB = longB;
        info.ourLevel = m_teamLevel[static_cast<size_t>(seat & 1)];
        info.theirLevel = m_teamLevel[static_cast<size_t>((seat + 1) & 1)];
        Send(seat, Msg::Deal(info, At(seat).hand));
    }
    // The opening turn is announced like a pass of the starter that leaves the lead to itself.
    SendAll(Msg::Play(starter, starter, TurnOpening, PlayType::Illegal, {}));
    m_dealtAt = now;
    BeginTurn(starter, now);
}

void GameTable::Schedule(Due due, int64_t at)
{
    m_due = due;
    m_dueAt = at;
}

void GameTable::BeginTurn(int seat, int64_t now)
{
    m_turn = seat;
    const SeatState& s = At(seat);
    // A seat whose player is past coming back is played as quickly as a computer player's.
    if (s.kind == SeatKind::Bot || (s.kind == SeatKind::Away && now >= s.awayUntil))
        Schedule(Due::Turn, now + m_config.botDelayMs);
    else {
        // Whoever watches the log (a script playing the client) sees when a person is to play.
        Log(Who(seat) + " is to play");
        // A client sliding the deal in handles no turn before it is done, so every turn that
        // begins during the deal counts from its end.
        const int64_t from = std::max(now, m_dealtAt + m_config.dealSlackMs);
        Schedule(Due::Turn, from + 1000LL * m_config.turnSeconds + m_config.clientSlackMs);
    }
}

void GameTable::Advance(int64_t now)
{
    if (m_phase == Phase::Waiting)
        for (int seat = 0; seat < 4; ++seat)
            if (At(seat).kind == SeatKind::Away && now >= At(seat).awayUntil) {
                Log(Who(seat) + " did not come back");
                FreeSeat(seat, true);
            }
    if (m_humansReadyAt && now >= *m_humansReadyAt)
        HumansMadeReady(now);
    // Bounded, so that a table of computer players without delay still returns.
    for (int step = 0; step < 256 && m_due != Due::None && now >= m_dueAt; ++step) {
        const Due due = std::exchange(m_due, Due::None);
        switch (due) {
        case Due::Turn:
            RunTurn(now);
            break;
        case Due::Results:
            FinishRound(now);
            break;
        case Due::BotsReady:
            BotsReady(now);
            break;
        case Due::None:
            break;
        }
    }
}

void GameTable::RunTurn(int64_t now)
{
    if (m_phase != Phase::Playing || m_turn < 0)
        return;
    if (At(m_turn).kind == SeatKind::Bot)
        BotTurn(m_turn, now);
    else {
        Log(Who(m_turn) + " let the clock run out");
        ForcedTurn(m_turn, now, PlayedBy::TimeOut);
    }
}

void GameTable::BotTurn(int seat, int64_t now)
{
    const SeatState& s = At(seat);
    BotView view;
    view.hand = s.hand;
    view.current = &m_current;
    view.levelRank = m_levelRank;
    view.currentByPartner = m_current.type != PlayType::Illegal && m_lastPlayer == Partner(seat);
    view.currentPlayerCards = m_lastPlayer >= 0 ? static_cast<int>(At(m_lastPlayer).hand.size()) : 0;
    for (int other : {(seat + 1) & 3, (seat + 3) & 3})
        if (Active(other)) {
            const int n = static_cast<int>(At(other).hand.size());
            view.fewestOpponentCards = view.fewestOpponentCards == 0 ? n : std::min(view.fewestOpponentCards, n);
        }
    std::vector<CardValue> cards = ChooseBotPlay(view);
    if (cards.empty())
        Pass(seat, now, PlayedBy::Seat);
    else {
        const PlayType type = Rules::ClassifyPlay(cards, m_levelRank);
        PlayCards(seat, std::move(cards), type, now, PlayedBy::Seat);
    }
}

void GameTable::ForcedTurn(int seat, int64_t now, PlayedBy by)
{
    const bool leading = m_current.type == PlayType::Illegal;
    std::vector<CardValue> cards = TimeoutPlay(At(seat).hand, leading);
    if (cards.empty() && leading)
        return;  // an empty hand never has the turn
    if (cards.empty())
        Pass(seat, now, by);
    else
        PlayCards(seat, std::move(cards), PlayType::Single, now, by);
}

void GameTable::Pass(int seat, int64_t now, PlayedBy by)
{
    if (m_lastPlayer < 0) {
        // Nobody may pass a lead; the callers never ask for it.
        ForcedTurn(seat, now, by == PlayedBy::Seat ? PlayedBy::TimeOut : by);
        return;
    }
    Record().plays.push_back(
        PlayRecord{seat, false, PlayType::Illegal, {}, by != PlayedBy::Seat, by == PlayedBy::Refusal});
    ++m_passes;
    const bool lastActive = m_lastPlayer >= 0 && Active(m_lastPlayer);
    int active = 0;
    for (int i = 0; i < 4; ++i)
        active += Active(i) ? 1 : 0;
    if (m_passes >= active - (lastActive ? 1 : 0)) {
        // Everyone passed: the last player leads, or for one who has run out, the partner.
        int leader = m_lastPlayer;
        if (!lastActive)
            leader = Active(Partner(m_lastPlayer)) ? Partner(m_lastPlayer) : NextActive(m_lastPlayer);
        m_current = {};
        m_lastPlayer = -1;
        m_passes = 0;
        Log(Who(seat) + " passes; " + Who(leader) + " leads");
        SendAll(Msg::Play(seat, leader, TurnNewTrick, PlayType::Illegal, {}));
        BeginTurn(leader, now);
        return;
    }
    const int next = NextActive(seat);
    Log(Who(seat) + " passes");
    SendAll(Msg::Play(seat, next, TurnFollow, PlayType::Illegal, {}));
    BeginTurn(next, now);
}

void GameTable::PlayCards(int seat, std::vector<CardValue> cards, PlayType type, int64_t now, PlayedBy by)
{
    SeatState& s = At(seat);
    const bool lead = m_current.type == PlayType::Illegal;
    for (CardValue c : cards)
        s.hand.erase(std::remove(s.hand.begin(), s.hand.end(), c), s.hand.end());
    RoundRecord& record = Record();
    record.plays.push_back(PlayRecord{seat, lead, type, cards, by != PlayedBy::Seat, by == PlayedBy::Refusal});
    if (type == PlayType::Bomb) {
        ++record.bombs;
        BotSays({Partner(seat)}, ChatMoment::PartnerBomb, 0.5);
        BotSays({(seat + 1) & 3, (seat + 3) & 3}, ChatMoment::OpponentBomb, 0.25);
    }
    Rules::SetCurrentPlay(m_current, type, cards);
    m_lastPlayer = seat;
    m_passes = 0;

    std::string line = Who(seat) + (lead ? " leads " : " plays ") + PlayTypeName(type) + ": " + CardsText(cards);
    if (s.hand.empty()) {
        s.place = ++m_finished;
        record.finishOrder.push_back(seat);
        line += " and is out, " + Ordinal(s.place);
    }
    const bool teamOut = (At(0).place && At(2).place) || (At(1).place && At(3).place);
    if (teamOut) {
        Log(line + "; the round is over");
        m_phase = Phase::Finishing;
        m_turn = -1;
        SendAll(Msg::Play(seat, seat, TurnRoundOver, type, cards));
        Schedule(Due::Results, now + m_config.botDelayMs);
        return;
    }
    const int next = NextActive(seat);
    Log(line);
    SendAll(Msg::Play(seat, next, TurnFollow, type, cards));
    BeginTurn(next, now);
}

void GameTable::FinishRound(int64_t now)
{
    RoundRecord& record = Record();
    // Places for those still holding cards: fewer cards first, then seat order.
    std::vector<int> rest;
    for (int seat = 0; seat < 4; ++seat)
        if (At(seat).place == 0)
            rest.push_back(seat);
    std::stable_sort(rest.begin(), rest.end(),
                     [this](int a, int b) { return At(a).hand.size() < At(b).hand.size(); });
    for (int seat : rest)
        At(seat).place = ++m_finished;

    int first = 0;
    for (int seat = 0; seat < 4; ++seat)
        if (At(seat).place == 1)
            first = seat;
    const int winners = first & 1;
    const int partnerPlace = At(Partner(first)).place;
    const int levels = partnerPlace == 2 ? 3 : partnerPlace == 3 ? 2 : 1;
    const uint64_t multiplier = record.bombs == 0 ? 1 : 2ULL * static_cast<uint64_t>(record.bombs);
    const uint64_t total = uint64_t{m_config.stake} * static_cast<uint64_t>(levels) * multiplier;

    for (int seat = 0; seat < 4; ++seat) {
        SeatState& s = At(seat);
        SeatResult& r = record.results[static_cast<size_t>(seat)];
        r.place = s.place;
        r.win = (seat & 1) == winners;
        r.levelsGained = r.win ? levels : 0;
        r.total = total;
        r.remaining = s.hand;
        if (r.win) {
            r.final = total;
            s.profile.coins += total;
            s.profile.points += 10ULL * static_cast<uint64_t>(levels);
            ++s.profile.wins;
        } else {
            r.final = std::min(total, s.profile.coins);
            s.profile.coins -= r.final;
            s.profile.points -= std::min<uint64_t>(s.profile.points, 5ULL * static_cast<uint64_t>(levels));
            ++s.profile.losses;
        }
        r.playerLevel = PlayerLevel(s.profile.points);
        r.coinsAfter = s.profile.coins;
    }
    record.complete = true;

    m_teamLevel[static_cast<size_t>(winners)] += levels;
    const bool gameWon = m_teamLevel[static_cast<size_t>(winners)] > HighestLevel;
    if (gameWon)
        m_teamLevel = {LowestLevel, LowestLevel};
    m_levelRank = m_teamLevel[static_cast<size_t>(winners)];
    m_nextStarter = first;

    for (int seat = 0; seat < 4; ++seat) {
        const SeatResult& r = record.results[static_cast<size_t>(seat)];
        Msg::ResultInfo info;
        info.seat = seat;
        info.roomFigure = m_config.stake;
        info.levelsGained = r.levelsGained;
        info.remaining = r.remaining;
        info.place = r.place;
        info.outcome = r.win ? 1 : 2;
        info.total = r.total;
        info.final = r.final;
        info.playerLevel = r.playerLevel;
        SendAll(Msg::Result(info));
    }
    Log("round " + std::to_string(record.number) + " won by seats " + std::to_string(winners) + " and "
        + std::to_string(winners + 2) + ", up " + std::to_string(levels) + " level(s), bombs "
        + std::to_string(record.bombs) + ", score " + std::to_string(total)
        + (gameWon ? "; they passed the ace and won the game, levels start again" : ""));
    for (int seat = 0; seat < 4; ++seat) {
        const SeatResult& r = record.results[static_cast<size_t>(seat)];
        Log("  " + Who(seat) + ": " + Ordinal(r.place) + ", " + (r.win ? "+" : "-") + std::to_string(r.final)
            + " coins, now " + std::to_string(r.coinsAfter) + ", " + LevelNameUtf8(r.playerLevel)
            + (r.remaining.empty() ? "" : ", left with " + CardsText(r.remaining)));
    }
    LogTurnCounts();
    BotSays({winners, winners + 2}, ChatMoment::RoundWon, 0.5);
    BotSays({1 - winners, 3 - winners}, ChatMoment::RoundLost, 0.25);

    m_phase = Phase::Waiting;
    m_turn = -1;
    ++m_roundsSinceOpen;
    for (SeatState& s : m_seats) {
        s.ready = false;
        s.hand.clear();
        s.place = 0;
    }

    SendAwayShortOfCoins();

    if (m_config.maxRounds > 0 && m_roundsSinceOpen >= m_config.maxRounds)
        CloseTable("本桌已打完" + std::to_string(m_config.maxRounds) + "局，欢迎下次再来！", now);
    Schedule(Due::BotsReady, now + 3LL * m_config.botDelayMs);
}

void GameTable::RouteChat(int seat, Packet p)
{
    // The line is from the seat whose link it came on, whatever the packet claims.
    p[Field::Seat] = SeatBit(seat);
    const uint8_t to = p[Field::Chat::Whisper];
    const std::vector<int> recipients = ChatRecipients(seat, to);
    if (recipients.empty()) {
        Log(Who(seat) + " addressed a chat line to seat bits " + std::to_string(to) + "; dropped");
        return;
    }
    const int addressee = SeatOfBit(to);
    Log(Who(seat) + (addressee < 0 ? " says: " : " to " + Who(addressee) + ": ") + ChatTextUtf8(p));
    for (int other : recipients)
        Send(other, p);
}

void GameTable::BotSays(const std::vector<int>& candidates, ChatMoment moment, double chance)
{
    if (!m_config.botChat || std::uniform_real_distribution<double>(0, 1)(m_chatRng) >= chance)
        return;
    std::vector<int> bots;
    for (int seat : candidates)
        if (At(seat).kind == SeatKind::Bot)
            bots.push_back(seat & 3);
    if (bots.empty())
        return;
    const int seat = bots[std::uniform_int_distribution<size_t>(0, bots.size() - 1)(m_chatRng)];
    const Packet p = BotChatPacket(seat, At(seat).profile, PickBotLine(moment, m_chatRng));
    Log(Who(seat) + " says: " + ChatTextUtf8(p));
    SendAll(p);
}

// Whoever cannot pay the next stake leaves, computer players as much as humans: one departure
// names them all to everyone, then each leaver is announced to the humans who stay, and a new
// computer player takes each computer player's seat.
void GameTable::SendAwayShortOfCoins()
{
    uint8_t shortMask = 0;
    for (int seat = 0; seat < 4; ++seat)
        if (At(seat).kind != SeatKind::Empty && At(seat).profile.coins < m_config.stake)
            shortMask = static_cast<uint8_t>(shortMask | SeatBit(seat));
    if (!shortMask)
        return;
    SendAll(Msg::Departure(static_cast<uint8_t>(15 & ~shortMask), DepartureCoinsShort));
    std::vector<PlayerProfile> gone;
    std::vector<int> botSeats;
    for (int seat = 0; seat < 4; ++seat) {
        if (!(shortMask & SeatBit(seat)))
            continue;
        const bool bot = At(seat).kind == SeatKind::Bot;
        Log(Who(seat) + " has " + std::to_string(At(seat).profile.coins) + " coins, too few for the stake of "
            + std::to_string(m_config.stake) + (bot ? ", and makes room" : ", and must leave"));
        gone.push_back(At(seat).profile);
        if (bot)
            botSeats.push_back(seat);
        // Announced once all have gone, so that no leaver hears of another.
        FreeSeat(seat, false);
    }
    for (const PlayerProfile& p : gone)
        SendAll(Msg::LeftTable(p.key));
    for (int seat : botSeats)
        SeatBot(seat, gone);
}

// One line per human seat, in a fixed form that a test reading the log can take apart: how
// its turns were decided and how often it asked to play while it had no turn.
void GameTable::LogTurnCounts()
{
    const RoundRecord& record = Record();
    for (int seat = 0; seat < 4; ++seat) {
        if (!IsHumanSeat(seat))
            continue;
        int own = 0, timedOut = 0, refused = 0;
        for (const PlayRecord& play : record.plays)
            if (play.seat == seat)
                ++(play.refused ? refused : play.forced ? timedOut : own);
        Log("  turns of " + Who(seat) + ": " + std::to_string(own) + " by the player, " + std::to_string(timedOut)
            + " on time-out, " + std::to_string(refused) + " refused, "
            + std::to_string(record.outOfTurn[static_cast<size_t>(seat)]) + " out of turn");
    }
}

void GameTable::AbandonRound(int64_t now)
{
    Log("round " + std::to_string(m_roundNumber) + " abandoned");
    LogTurnCounts();
    m_phase = Phase::Waiting;
    m_turn = -1;
    m_current = {};
    m_lastPlayer = -1;
    m_passes = 0;
    for (SeatState& s : m_seats) {
        s.ready = false;
        s.hand.clear();
        s.place = 0;
    }
    Schedule(Due::BotsReady, now + 3LL * m_config.botDelayMs);
}

void GameTable::BotsReady(int64_t now)
{
    if (m_phase != Phase::Waiting)
        return;
    for (int seat = 0; seat < 4; ++seat) {
        SeatState& s = At(seat);
        if (s.kind == SeatKind::Bot && !s.ready) {
            s.ready = true;
            SendAll(Msg::Ready(s.profile.key));
        }
    }
    TryStart(now);
}

void GameTable::HumansMadeReady(int64_t now)
{
    m_humansReadyAt.reset();  // once: later rounds are the clients' own business
    for (int seat = 0; seat < 4; ++seat) {
        SeatState& s = At(seat);
        if (s.kind == SeatKind::Human && !s.ready) {
            s.ready = true;
            Log(Who(seat) + " is made ready after " + std::to_string(m_config.readySeconds) + " seconds");
            SendAll(Msg::Ready(s.profile.key));
        }
    }
    TryStart(now);
}

}  // namespace Server
