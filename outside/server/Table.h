#pragma once
// One table of four seats: seating, the deal, turns, finishing places, scores and levels,
// departures and reconnects. Plain logic driven by the caller's clock (milliseconds); it
// never touches a socket. Everything it sends is queued as (seat, packet) for the caller to
// deliver, stamped with a fresh session code and kept per seat so that a player who comes
// back after a broken link gets what was missed.
#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <random>
#include <span>
#include <string>
#include <vector>

#include "BotChat.h"
#include "Players.h"
#include "rules/CardTypes.h"
#include "rules/Compare.h"
#include "wire/Packet.h"

namespace Server {

struct TableConfig {
    int bots = 3;                   // computer players, seated in the highest seats
    int turnSeconds = 15;           // announced in the deal
    int botDelayMs = 900;           // how long a computer player thinks
    std::optional<uint32_t> seed;   // a fixed seed gives the same deals
    uint32_t stake = 100;           // room figure: the base of every score
    uint64_t humanCoins = 20000;    // coins of a human player at entry
    int maxRounds = 0;              // the table closes after this many rounds; 0: never
    int clientSlackMs = 3000;       // the client's own clock runs out first; this much later the table plays for it
    int dealSlackMs = 4000;         // the client animates the deal before its first clock starts
    int awayGraceMs = 90000;        // how long a seat lost during a round waits for a reconnect
    size_t historyLimit = 1024;     // packets kept per seat for a reconnect
    // The client promises the first game within 15 s of the table filling but sends no ready
    // for it; a human still silent this long after the fill is made ready. 0: never.
    int readySeconds = 15;
    // Computer players greet, remark on bombs and on the end of a round now and then.
    bool botChat = false;
};

enum class SeatKind { Empty, Bot, Human, Away };

struct Outgoing {
    int seat = 0;
    Packet packet{};
};

// Who decided a turn: the seat's own player (human or computer), or the table for a human
// whose clock ran out or whose request the rules refused.
enum class PlayedBy { Seat, TimeOut, Refusal };

// One turn as it was taken. A pass has type Illegal and no cards.
struct PlayRecord {
    int seat = 0;
    bool lead = false;    // nothing was on the table to beat
    Rules::PlayType type = Rules::PlayType::Illegal;
    std::vector<CardValue> cards;  // in hand order
    bool forced = false;  // the table played for a silent player or refused a request
    bool refused = false; // of the forced turns, those that followed a refused request
};

struct SeatResult {
    int place = 0;
    bool win = false;
    int levelsGained = 0;
    uint64_t total = 0;
    uint64_t final = 0;  // coins won or lost
    int playerLevel = 1;
    uint64_t coinsAfter = 0;
    std::vector<CardValue> remaining;
};

struct RoundRecord {
    int number = 0;
    int levelRank = 3;
    int starter = 0;
    std::array<std::vector<CardValue>, 4> hands;  // as dealt, in hand order
    std::vector<PlayRecord> plays;
    std::vector<int> finishOrder;  // seats in the order they ran out of cards
    int bombs = 0;
    std::array<int, 4> outOfTurn{};  // play requests per seat while it had no turn
    bool complete = false;  // false while running, or when abandoned
    std::array<SeatResult, 4> results;
};

class GameTable {
public:
    using LogSink = std::function<void(const std::string&)>;

    GameTable(TableConfig config, LogSink log);

    // A human's accepted entry: `reply` (the entry result) goes out first, then the seat
    // messages. Returns the seat taken, or -1 when no seat is free or the key already sits here.
    // The entry that fills the table starts the wait for the first deal.
    int Enter(const std::string& key, Packet reply, int64_t now);
    // A reconnect entry carrying the last session code the client saw. On success returns the
    // seat, with the reconnect result and the packets sent after that code queued for it.
    int Reconnect(const std::string& key, uint16_t code, int64_t now);
    // A packet from the human in `seat`.
    void Receive(int seat, const Packet& p, int64_t now);
    // The human's link is gone: during a round the seat waits for a reconnect, otherwise it is
    // free and the other humans are told who left.
    void Disconnected(int seat, int64_t now);
    // Runs whatever has come due: computer players' turns, time-outs, results, readiness.
    void Advance(int64_t now);
    // Sends every human the closing notice (GBK on the wire, may be empty), abandons a running
    // round and frees the humans' seats; the table then starts afresh for new entries.
    void CloseTable(const std::string& noticeUtf8, int64_t now);

    // Queues a packet for a seated human (kept for a reconnect; not delivered while away).
    void Send(int seat, Packet p);
    // Writes the next session code into bytes 260-261.
    uint16_t Stamp(Packet& p);

    std::vector<Outgoing> TakeOutgoing();
    // Seats whose human was let go since the last call: the caller detaches their links.
    std::vector<int> TakeReleasedSeats();

    SeatKind Kind(int seat) const;
    const PlayerProfile& Profile(int seat) const;
    std::span<const CardValue> Hand(int seat) const;
    bool IsReady(int seat) const;
    bool RoundRunning() const { return m_phase != Phase::Waiting; }
    // Plays and passes of the current round so far (0 between rounds).
    size_t PlaysThisRound() const { return RoundRunning() && !m_rounds.empty() ? m_rounds.back().plays.size() : 0; }
    // Distinct packets the table has sent to the human in the seat since it sat down (a
    // packet sent again after a reconnect counts once).
    uint64_t PacketsFor(int seat) const { return At(seat).packets; }
    int Turn() const;  // the seat whose turn is open, or -1
    int64_t DealtAt() const { return m_dealtAt; }  // when the current round was dealt
    const Rules::CurrentPlayRecord& Current() const { return m_current; }
    int LevelRank() const { return m_levelRank; }
    int TeamLevel(int team) const { return m_teamLevel[static_cast<size_t>(team & 1)]; }
    // The latest rounds, oldest first (a bounded number is kept).
    const std::deque<RoundRecord>& Rounds() const { return m_rounds; }

private:
    enum class Phase { Waiting, Playing, Finishing };
    enum class Due { None, Turn, Results, BotsReady };

    struct SeatState {
        SeatKind kind = SeatKind::Empty;
        PlayerProfile profile;
        bool ready = false;
        std::vector<CardValue> hand;  // in hand order
        int place = 0;                // finishing place, 0 while still playing
        int64_t awayUntil = 0;
        std::deque<Packet> history;   // stamped packets sent to this seat
        uint64_t packets = 0;         // distinct packets sent to this seat
    };

    SeatState& At(int seat) { return m_seats[static_cast<size_t>(seat & 3)]; }
    const SeatState& At(int seat) const { return m_seats[static_cast<size_t>(seat & 3)]; }
    bool IsHumanSeat(int seat) const;
    bool Active(int seat) const;
    int NextActive(int seat) const;
    std::string Who(int seat) const;
    void Log(const std::string& line);

    void SendAll(const Packet& p);
    // Stamps, keeps and queues; Send counts the packet as new, a resend does not.
    void Deliver(int seat, Packet p);
    // `alsoTaken`: players whose name and key the newcomer must not share, such as the one
    // whose seat it takes.
    void SeatBot(int seat, const std::vector<PlayerProfile>& alsoTaken = {});
    void FreeSeat(int seat, bool announce);
    void SetReady(int seat, int64_t now);
    void Leave(int seat, int64_t now);
    void TryStart(int64_t now);
    void StartRound(int64_t now);
    void BeginTurn(int seat, int64_t now);
    void RunTurn(int64_t now);
    void BotTurn(int seat, int64_t now);
    void ForcedTurn(int seat, int64_t now, PlayedBy by);
    void PlayRequest(int seat, const Packet& p, int64_t now);
    void Pass(int seat, int64_t now, PlayedBy by);
    void PlayCards(int seat, std::vector<CardValue> cards, Rules::PlayType type, int64_t now, PlayedBy by);
    void LogTurnCounts();
    void FinishRound(int64_t now);
    void SendAwayShortOfCoins();
    void AbandonRound(int64_t now);
    void BotsReady(int64_t now);
    void HumansMadeReady(int64_t now);
    void Schedule(Due due, int64_t at);
    // A human's chat line to everyone or, privately, to one seat (the sender gets it back).
    void RouteChat(int seat, Packet p);
    // A computer player (one of `candidates`, drawn) says something; with `chance` of 1.
    void BotSays(const std::vector<int>& candidates, ChatMoment moment, double chance = 1.0);
    RoundRecord& Record() { return m_rounds.back(); }

    TableConfig m_config;
    LogSink m_log;
    std::mt19937 m_rng;
    std::mt19937 m_chatRng;  // apart from m_rng, so that chat never changes the deals of a seed
    std::array<SeatState, 4> m_seats{};
    std::vector<Outgoing> m_outbox;
    std::vector<int> m_released;
    uint16_t m_sessionCode = 0x1234;

    Phase m_phase = Phase::Waiting;
    Due m_due = Due::None;
    int64_t m_dueAt = 0;
    int64_t m_dealtAt = 0;
    // Kept apart from m_due: a computer player's readiness may be pending at the same time.
    std::optional<int64_t> m_humansReadyAt;  // set from the table filling up to its first deal
    int m_turn = -1;
    Rules::CurrentPlayRecord m_current{};
    int m_lastPlayer = -1;  // who made the play to beat
    int m_passes = 0;       // passes since that play
    int m_finished = 0;
    int m_levelRank = 3;
    std::array<int, 2> m_teamLevel{3, 3};  // team 0: seats 0 and 2; team 1: seats 1 and 3
    int m_nextStarter = -1;                // -1: drawn at random
    int m_roundNumber = 0;
    int m_roundsSinceOpen = 0;
    std::deque<RoundRecord> m_rounds;
};

}  // namespace Server
