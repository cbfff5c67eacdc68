// The dispatcher with the real client state and the table window offscreen, fed records (see
// DispatcherInput.h): most packets are well formed with mutated fields, some are raw. After
// every packet the table record must still be one the rest of the client can stand on,
// whatever the server sent.
#include <algorithm>

#include "DispatcherInput.h"
#include "FuzzTarget.h"
#include "session/Platform.h"
#include "session/Transport.h"
#include "table/TableState.h"

namespace {

constexpr int MaxPackets = 64;  // keeps one input's run short

using FuzzSupport::FuzzCheck;

bool InRange(int value, int low, int high)
{
    return value >= low && value <= high;
}

// A row of TableCards / PrevTableCards: a count of at most 27 and, for each card shown, one
// of the position's 14 pictures.
bool ValidCardRow(const std::array<int16_t, 28>& row)
{
    if (!InRange(row[27], 0, 27))
        return false;
    for (int k = 0; k < row[27]; ++k)
        if (!InRange(row[static_cast<size_t>(k)], 0, 13))
            return false;
    return true;
}

void CheckTableRecord()
{
    const TableStateRecord& t = TableState;
    for (size_t pos = 0; pos < 4; ++pos) {
        const SeatRecord& seat = t.Seats[pos];
        FuzzCheck(InRange(seat.CardCount, 0, 14), "a hand holds 0 to 14 cards");
        const int bit = seat.seatBit;
        FuzzCheck(bit == 0 || IsSeatBit(bit), "a seat bit is 0, 1, 2, 4 or 8");
        FuzzCheck(bit == 0 || PositionOfSeat(bit) == static_cast<int>(pos),
                  "a seat sits at the screen position of its seat bit");
        FuzzCheck(InRange(seat.finishPlace, 0, 4), "a finishing place is 1 to 3, or 4 while playing");
        FuzzCheck(ValidCardRow(t.TableCards[pos]) && ValidCardRow(t.PrevTableCards[pos]),
                  "a row of played cards lists at most 27 of the position's 14 pictures");
        FuzzCheck(InRange(t.Display.NextPlayPicture[pos], 0, 14), "plays use at most a position's 14 pictures");
    }

    // The user's hand: each card shown by a picture of its own, and none of those pictures
    // showing one of the user's played cards at the same time.
    const SeatRecord& own = t.Seats[0];
    std::array<bool, 14> inHand{};
    for (int k = 0; k < own.CardCount; ++k) {
        const int picture = own.hand[static_cast<size_t>(k)].ImageIndex;
        FuzzCheck(InRange(picture, 0, 13), "a card in the hand is shown by one of the 14 hand pictures");
        FuzzCheck(!inHand[static_cast<size_t>(picture)], "no hand picture shows two cards");
        inHand[static_cast<size_t>(picture)] = true;
    }
    const auto& played = t.TableCards[0];
    for (int k = 0; k < played[27]; ++k)
        FuzzCheck(!inHand[static_cast<size_t>(played[static_cast<size_t>(k)])],
                  "no card is both in the user's hand and on the table");

    FuzzCheck(InRange(t.Round.FinishedCount, 0, 3), "at most three players have run out");
    FuzzCheck(InRange(t.Round.CurrentPlay.count, 0, Rules::CurrentPlaySlots), "the play to beat fits its slots");
    FuzzCheck(InRange(t.Result.ResultCount, 0, 3), "result messages are kept until the fourth has come");
    FuzzCheck(InRange(t.Display.LastSpeaker, 0, 3), "the last speaker is a screen position");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzSupport::Client client(true);
    // The handlers' waits would only let the event loop paint the window over and over; without
    // them an input runs in milliseconds instead of tenths of a second.
    Platform::SetWaitFactor(0);
    size_t at = 0;
    for (int packets = 0; packets < MaxPackets && at + 2 <= size; ++packets) {
        const uint8_t selector = data[at];
        const size_t length = std::min<size_t>(data[at + 1], size - at - 2);
        at += 2;
        Packet packet{};
        if (selector >= DispatcherInput::RawSelector) {
            std::copy_n(data + at, std::min<size_t>(length, PacketSize), packet.begin());
        } else {
            packet = Wire::NewPacket(DispatcherInput::Handled[selector % DispatcherInput::Handled.size()]);
            std::copy_n(data + at, std::min<size_t>(length, PacketSize - Wire::CommandByte - 1),
                        packet.begin() + Wire::CommandByte + 1);
        }
        at += length;
        Transport::DeliverPacket(packet);
        Transport::RunTick();
        CheckTableRecord();
    }
    return 0;
}
