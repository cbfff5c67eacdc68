// The byte stream from the game server split at arbitrary points before the packet frame:
// chunks arrive through the socket, the main tick runs between them. The input is a series of
// chunks, each a length byte and that many bytes. Whatever the split, the packets handed on
// must be the stream cut into whole packets, in order, unless the receive ring overflowed
// (the program ends then).
#include <vector>

#include "FuzzTarget.h"
#include "session/Transport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzSupport::Client client(false);
    std::vector<Packet> handed;
    Transport::SetPacketHandler([&handed](const Packet& p) { handed.push_back(p); });

    QByteArray stream;
    FuzzSupport::ForEachChunk(data, size, [&](const QByteArray& chunk) {
        stream += chunk;
        FuzzSupport::Arrive(*client.doubles.socket, chunk);
    });
    FuzzSupport::CheckPacketsHandedOn(handed, stream);
    return 0;
}
