#include "table/TableState.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "session/Connection.h"
#include "session/Transport.h"

int BitIndex(int mask)
{
    int index = 0;
    while (mask > 1) {
        mask /= 2;
        ++index;
    }
    return index;
}

int PositionOfSeat(int seatByte)
{
    return (BitIndex(seatByte & 15) + 4 - BitIndex(TableState.Seats[0].seatBit)) & 3;
}

void ResetTableState()
{
    TableState = TableStateRecord{};
}

namespace {

std::function<void()> displayResetControls;

// A layout constant at the factor of its axis, rounded to the nearest pixel and kept inside
// the 16-bit range even for a factor nobody should set.
int16_t Scaled(int value, double factor)
{
    const double scaled = value * factor;
    if (!std::isfinite(scaled))
        return 0;
    return static_cast<int16_t>(std::lround(std::clamp(scaled, -32768.0, 32767.0)));
}

void PlayStateResetCommon()
{
    for (SeatRecord& seat : TableState.Seats) {
        for (HandEntry& slot : seat.hand)
            slot.ImageIndex = -1;
        seat.CardCount = 0;
    }
    TableState.Table.SeatMessages = 0;
    TableState.Turn.SentPlay.clear();
    TableState.Round.FinishedCount = 0;
    TableState.Round.RoundRunning = false;
}

}  // namespace

void PlayStateResetFirst()
{
    PlayStateResetCommon();
    Transport::EmptyRings();
}

void PlayStateResetSecond()
{
    PlayStateResetCommon();
    TableState.Display.DealLayoutOffset = 0;
}

void DisplayReset()
{
    const double h = TableState.Display.LayoutScale.h;
    const double v = TableState.Display.LayoutScale.v;
    for (size_t pos = 0; pos < 4; ++pos) {
        SeatRecord& seat = TableState.Seats[pos];
        const PlayAnchor& a = PlayAnchors[pos];
        seat.playLeft = Scaled(a.left, h);
        seat.playTop = Scaled(a.top, v);
        if (pos != 0) {
            seat.playLeft2 = Scaled(a.left2, h);
            seat.playTop2 = Scaled(a.top2, v);
        }
        seat.finishPlace = 4;
    }
    TableState.Display.BaseTop = Scaled(HandBaseTop, v);
    TableState.Round.PlaysThisRound = 0;
    TableState.Round.BombsThisRound = 0;
    Connection::Link.ReconnectAttempts = 0;
    // A copy, so that the hook may replace itself while it runs.
    if (const std::function<void()> controls = displayResetControls)
        controls();
}

void SetDisplayResetControls(std::function<void()> controls)
{
    displayResetControls = std::move(controls);
}
