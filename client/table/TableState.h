#pragma once
// The one process-wide record of the table: who sits where, their player information, the
// cards in hand and on the table, and the flags and counters of the game flow, grouped by
// what they are about. Every module reaches it directly through the global `TableState`.
// Where the link to the server stands is the session's own record (Connection::Link).
#include <array>
#include <cstdint>
#include <functional>
#include <vector>
#include <QString>

#include "rules/CardTypes.h"
#include "rules/Compare.h"
#include "rules/Hints.h"
#include "session/Screen.h"

// Turns a one-bit mask (1, 2, 4, 8) into 0..3 by counting how often it can be halved
// while above 1; 0 gives 0. Seat bits and suit bits both use it.
int BitIndex(int mask);

struct SeatRecord {
    QString seatKey;          // account key, single-byte text
    uint8_t seatBit = 0;      // wire seat bit 1, 2, 4, 8
    int16_t playLeft = 0, playTop = 0;    // first anchor of this position's card area
    int16_t playLeft2 = 0, playTop2 = 0;  // second anchor
    std::array<HandEntry, 14> hand{};
    int16_t CardCount = 0;
    int16_t finishPlace = 0;  // 1..3 in the order players run out; 4 while still playing
};

// An amount as the table shows it: a whole number, no exponent, no separators.
inline QString WholeNumber(double amount)
{
    return QString::number(amount, 'f', 0);
}

struct PlayerRecord {
    QString nickname;
    QString face;             // "m" or "w" and a digit
    uint8_t sex = 0;          // 1 man, 0 woman
    QString area;
    double points = 0, credit = 0, coins = 0;
    QString levelName;
    int32_t logins = 0, disconnects = 0, wins = 0, losses = 0;
    QString userKey;
    QString title;
    QString voiceSet, voiceId;
    uint8_t voiceKind = 0;
    double seatValue = 0;     // low byte carries the seat bit
};

// Anchors of the four positions' card areas at scale 1.0: (left, top) and (left2, top2).
// Position 0, the user, has no second anchor. The layout and the display reset share them.
struct PlayAnchor {
    int left, top, left2, top2;
};
inline constexpr std::array<PlayAnchor, 4> PlayAnchors{{
    {500, 415, 0, 0},
    {250, 310, 100, 280},
    {500, 190, 600, 280},
    {774, 310, 250, 280},
}};
// Top of the user's cards while not raised, at scale 1.0.
inline constexpr int HandBaseTop = 565;

// Seats, games and the table as a whole.
struct TableRecord {
    bool Spectator = false;
    bool GameStarted = false;
    bool LeaveOnStart = false;
    int16_t PlayersKnown = 0;
    int16_t SeatMessages = 0;
    int16_t RoundCount = 0;
    std::array<double, 4> RunningScore{};
    QString WebPageAddress;
};

// The round being played.
struct RoundRecord {
    bool RoundRunning = false;
    int16_t PlaysThisRound = 0;
    int16_t BombsThisRound = 0;
    int16_t FinishedCount = 0;
    int16_t LevelRank = 0;
    QString LastPlayTime;            // date and time of the last play message, as text
    Rules::CurrentPlayRecord CurrentPlay;  // the play to beat; type Illegal when the user leads
};

// The four result messages of a round, kept until the fourth has come.
struct ResultRecord {
    std::array<std::array<uint8_t, 272>, 4> ResultPackets{};
    int16_t ResultCount = 0;
};

// The user's turn.
struct TurnRecord {
    bool MyTurn = false;
    bool MyTurnClock = false;   // the running clock is the user's own turn clock
    bool PlayAllowed = false;   // a play or pass may still be sent in this turn
    bool TurnActed = false;     // the user pressed play or pass in this turn
    // The cards of the user's last play request, until the server's play message for the
    // user's seat shows what the server made of it.
    std::vector<HandEntry> SentPlay;
};

// The hint button: where the next leading hint starts and the follow-hint proposals with what
// they were computed against.
struct HintRecord {
    int16_t LeadHintPos = 0;
    Rules::FollowHintStore Store;
    QString HintStamp;                     // LastPlayTime when the proposals were computed
    int16_t CardCount = -1;                // the hand's size then
    Rules::CurrentPlayRecord CurrentPlay;  // the play they beat
};

// The turn clock, the ready clock and how the user lets the clock play.
struct ClockRecord {
    int16_t ClockSeconds = 0;
    int16_t TurnSeconds = 0;
    int16_t ClockValue = 0;
    uint8_t TimeoutLimit = 0;
    int16_t TimeoutCount = 0;      // consecutive turns that ran out while the window was not hidden
    bool AutoPlay = false;         // the F1 state: every turn runs out after a second
    bool ShortClock = false;
    bool Hidden = false;
    double TurnClockLastRun = -1;  // seconds since midnight; -1 before the first run
    double ReadyClockLastRun = -1;
    int16_t BlinkCount = 0;        // picture changes the chat button's blink still has to make
};

// The chat voices given to the players.
struct VoiceRecord {
    std::array<bool, 4> VoiceTaken{};
    std::array<bool, 4> VoiceTakenW{};
};

// Where things are drawn.
struct DisplayRecord {
    LayoutScaleFactors LayoutScale;
    int16_t BaseTop = 0;           // top of the user's cards while not raised
    int16_t DealLayoutOffset = 0;  // layout offset of the deal display; the second play-state reset clears it
    int16_t HandLeft = 0;          // left end of the user's hand while it is dealt
    int16_t DealFromLeft = 0;      // where each dealt card slides in from
    std::array<int16_t, 4> NextPlayPicture{};  // card pictures of positions 1..3 used by plays in this deal
    int16_t LastSpeaker = 0;       // position whose pass bubble was shown last
    bool AltDown = false, CDown = false;  // the Alt-C pair of keys
};

struct TableStateRecord {
    std::array<SeatRecord, 4> Seats{};
    std::array<PlayerRecord, 4> Players{};

    // TableCards[pos][k], k < 27: ImageIndex of the k-th card of the position's last play;
    // [pos][27] is how many are shown.
    std::array<std::array<int16_t, 28>, 4> TableCards{};
    std::array<std::array<int16_t, 28>, 4> PrevTableCards{};

    TableRecord Table;
    RoundRecord Round;
    ResultRecord Result;
    TurnRecord Turn;
    HintRecord Hint;
    ClockRecord Clock;
    VoiceRecord Voice;
    DisplayRecord Display;
};

inline TableStateRecord TableState;

// Screen position (0 the user, 1..3 the others in seat order) of a wire seat byte.
int PositionOfSeat(int seatByte);
// Whether a seat bit names exactly one seat (1, 2, 4 or 8).
constexpr bool IsSeatBit(int bit)
{
    return bit == 1 || bit == 2 || bit == 4 || bit == 8;
}

// Back to the zeroed record of process start; tests use it between cases. The control side of
// the display reset stays registered.
void ResetTableState();

// Play-state reset: every hand emptied (all slots' ImageIndex -1, CardCount 0),
// SeatMessages and FinishedCount 0, RoundRunning cleared.
// First variant, for the start button and the ready clock starting a game: also drops
// everything waiting in both byte rings.
void PlayStateResetFirst();
// Second variant, everywhere else: also sets the deal display's layout offset to 0.
void PlayStateResetSecond();

// Display reset, run at every deal and together with the play-state reset: anchors of the
// four positions at the current LayoutScale, every finishPlace 4, BaseTop, the per-round
// play and bomb counts and the reconnect attempts back to their start values; then the
// control side (see SetDisplayResetControls).
void DisplayReset();

// The control side of the display reset: hiding the speech bubbles Speak(0..3) and the chat
// window Talk, and the card side (card pictures, TableCards, PrevTableCards, buttons, level
// captions). The table's display installs it; DisplayReset runs it after the record side.
// An empty function (the default) leaves the controls alone.
void SetDisplayResetControls(std::function<void()> controls);
