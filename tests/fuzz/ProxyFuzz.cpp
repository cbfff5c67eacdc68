// The proxy's replies during the handshake, in chunks of any size: each chunk arrives through
// the socket into the proxy buffer and is judged at whatever step the handshake stands. The
// input is a flag byte (bit 0: the user name and password are offered), then chunks, each a
// length byte and that many bytes.
#include <algorithm>

#include "FuzzTarget.h"
#include "session/Connection.h"
#include "session/Proxy.h"
#include "session/Transport.h"
#include "wire/Commands.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    FuzzSupport::Client client(false);
    Launch::CommandLine& s = Connection::Link.Session;
    s.proxyType = 5;
    s.proxyHost = QStringLiteral("127.0.0.1");
    s.proxyPort = 1080;
    s.serverHost = QStringLiteral("192.168.1.20");
    s.serverPort = 6000;
    if (data[0] & 1) {
        s.proxyUser = QStringLiteral("u");
        s.proxyUserLength = 1;
        s.proxyPassword = QStringLiteral("pw");
        s.proxyPasswordLength = 2;
    }
    Connection::Link.EntryRequest = Wire::NewPacket(Command::Entry);
    Mod_Proxy::StartProxyConnection();

    size_t at = 1;
    while (at < size) {
        const size_t length = std::min<size_t>(data[at], size - at - 1);
        client.doubles.socket->Deliver(
            QByteArray(reinterpret_cast<const char*>(data + at + 1), static_cast<qsizetype>(length)));
        at += 1 + length;
        Transport::RunTick();
    }
    return 0;
}
