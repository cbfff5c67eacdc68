#include "protocol/SeatMessages.h"

#include "protocol/TableState.h"
#include "ui/MainForm.h"
#include "wire/Fields.h"
#include "wire/Gbk.h"

namespace SeatMessages {

namespace {

QString SingleByteText(const Packet& p, int at, int width)
{
    const int n = Wire::FieldLength(p, at, width);
    QString text;
    for (int i = 0; i < n; ++i)
        text += Gbk::DecodeCode(p[static_cast<size_t>(at + i)]);
    return text;
}

}  // namespace

void OnSeatInfo(const Packet& packet)
{
    using namespace Field::SeatInfo;
    TableState.Table.LeaveOnStart = false;
    const QString key = SingleByteText(packet, Key, KeyWidth);
    ++TableState.Table.SeatMessages;
    SeatRecord& own = TableState.Seats[0];
    if (own.seatBit == 0)
        own.seatBit = packet[Field::Seat] & 15;

    const uint8_t seatBit = packet[SeatValue] & 15;
    const int pos = PositionOfSeat(seatBit);
    if (pos == 0)
        if (MainForm* form = TheMainForm())
            form->AnNiuLatched[2] = false;

    SeatRecord& seat = TableState.Seats[static_cast<size_t>(pos)];
    seat.seatKey = key;
    if (pos != 0)
        seat.seatBit = seatBit;
}

}  // namespace SeatMessages
