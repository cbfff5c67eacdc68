#include "protocol/TableState.h"

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

bool HandHasImage(int k)
{
    const SeatRecord& own = TableState.Seats[0];
    const int count = own.CardCount < 0 ? 0 : (own.CardCount > 14 ? 14 : own.CardCount);
    for (int m = 0; m < count; ++m)
        if (own.hand[static_cast<size_t>(m)].ImageIndex == k)
            return true;
    return false;
}

void ResetTableState()
{
    TableState = TableStateRecord{};
}
