#pragma once
// The peer video of the table: which peer slot serves which player, asking for links when
// players sit down, sending the own camera's frames at a limited rate, routing arriving frames
// to the right seat's display, and dropping links when players leave.
#include <array>
#include <QByteArray>
#include <QString>

namespace VideoLinks {

struct VideoRecord {
    bool RelayReady = false;   // the first relay login succeeded; never cleared
    bool RelayOnline = false;  // logged in to the relay now
    bool CameraOn = false;     // the own camera runs
    std::array<QByteArray, 4> LastFrame{};   // 0 own camera, 1..3 the positions
    std::array<int16_t, 4> FramesSent{};     // 1..3 per slot
    std::array<bool, 4> VideoClosed{};       // 1..3: the user closed that video
    std::array<bool, 4> VideoShown{};        // 1..3: its display was switched on by a frame
    std::array<QString, 4> Keys{};           // 1..3: who sat at the position when seated
};
inline VideoRecord Video;

// The relay's port beside the game server; QUELLOR_RELAY_PORT overrides it.
constexpr int RelayPort = 8888;

// At start-up: log in to the relay under the own key.
void StartRelay();
// The component's events.
void OnLoginResult(int state);
void OnUserStateChanged(int slot, int state);
void OnFrameArrived(int slot, const QByteArray& frame);
void OnFrameCaptured(const QByteArray& frame);
// The table's events.
void OnPlayerSeated(int position);
void OnPlayerLeft(const QString& seatKey);
// One position's part of closing every link (the return to the hall runs it for 1..3).
void DropPosition(int position);
void CloseAllLinks();
void OnRoundDealt();
void OnPlayReceived();
// When the table window unloads.
void StopRelay();

// The slot choice for a key: start value, end, and whether a match stops the loop.
int ChooseSlot(const QString& key, int start, int end, bool stopAtMatch);

// The repaint timer of a position (30 ms, one-shot): started, and its tick.
void StartRepaint(int position);
void RepaintTick(int position);
bool RepaintPending(int position);

// The user's large window of a position is open (or not): its player sends every frame.
void WantEveryFrame(int position, bool everyFrame);

// Connects the component's and the camera's events to the handlers above.
void Connect();
// Everything back to its start-up values.
void Reset();

}  // namespace VideoLinks
