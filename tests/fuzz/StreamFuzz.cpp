// The byte stream from the game server split at arbitrary points before the packet frame:
// chunks arrive through the socket, the main tick runs between them. The input is a series of
// chunks, each a length byte and that many bytes. Whatever the split, the packets handed on
// must be the stream cut into whole packets, in order, unless the receive ring overflowed
// (the program ends then).
#include <algorithm>
#include <cstdlib>
#include <vector>

#include "FuzzTarget.h"
#include "common/doubles/PlatformDoubles.h"
#include "session/Transport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzSupport::Client client(false);
    std::vector<Packet> handed;
    Transport::SetPacketHandler([&handed](const Packet& p) { handed.push_back(p); });

    QByteArray stream;
    size_t at = 0;
    while (at < size) {
        const size_t length = std::min<size_t>(data[at], size - at - 1);
        const QByteArray chunk(reinterpret_cast<const char*>(data + at + 1), static_cast<qsizetype>(length));
        at += 1 + length;
        stream += chunk;
        client.doubles.socket->Deliver(chunk);
        for (int tick = 0; tick < 3; ++tick)
            Transport::RunTick();
    }
    // One packet leaves the ring every other tick at most; drain what is whole.
    for (size_t tick = 0; tick < 4 * (static_cast<size_t>(stream.size()) / PacketSize + 1); ++tick)
        Transport::RunTick();

    if (TestDoubles::Seen().endCalls != 0)
        return 0;
    if (handed.size() != static_cast<size_t>(stream.size()) / PacketSize)
        std::abort();
    for (size_t i = 0; i < handed.size(); ++i)
        if (!std::equal(handed[i].begin(), handed[i].end(),
                        reinterpret_cast<const uint8_t*>(stream.constData()) + i * PacketSize))
            std::abort();
    return 0;
}
