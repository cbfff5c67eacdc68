// The dispatcher with the real client state and the table window offscreen. The input is a
// series of records: a selector byte, a length byte, then that many bytes. A selector below
// 128 picks one of the commands the client handles and the bytes fill the packet after the
// command byte, so most packets are well formed with mutated fields; a selector of 128 or
// more gives a raw packet from the bytes alone.
#include <algorithm>
#include <array>

#include "FuzzTarget.h"
#include "session/Transport.h"
#include "wire/Commands.h"

namespace {

constexpr std::array<uint8_t, 11> Handled = {
    Command::Deal, Command::Play, Command::RoundResult, Command::Departure,
    Command::Entry, Command::Chat, Command::SeatInfo, Command::PlayerLeft,
    Command::TableClosed, Command::Ready, Command::ReconnectResult,
};

constexpr int MaxPackets = 64;  // keeps one input's run short

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzSupport::Client client(true);
    size_t at = 0;
    for (int packets = 0; packets < MaxPackets && at + 2 <= size; ++packets) {
        const uint8_t selector = data[at];
        const size_t length = std::min<size_t>(data[at + 1], size - at - 2);
        at += 2;
        Packet packet{};
        if (selector >= 128) {
            std::copy_n(data + at, std::min<size_t>(length, PacketSize), packet.begin());
        } else {
            packet = Wire::NewPacket(Handled[selector % Handled.size()]);
            std::copy_n(data + at, std::min<size_t>(length, PacketSize - Wire::CommandByte - 1),
                        packet.begin() + Wire::CommandByte + 1);
        }
        at += length;
        Transport::DeliverPacket(packet);
        Transport::RunTick();
    }
    return 0;
}
