// The dispatcher with the real client state and the table window offscreen, fed records (see
// DispatcherInput.h): most packets are well formed with mutated fields, some are raw.
#include <algorithm>

#include "DispatcherInput.h"
#include "FuzzTarget.h"
#include "session/Platform.h"
#include "session/Transport.h"

namespace {

constexpr int MaxPackets = 64;  // keeps one input's run short

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
    }
    return 0;
}
