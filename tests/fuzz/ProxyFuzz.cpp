// The proxy's replies during the handshake, in chunks of any size: each chunk arrives through
// the socket into the proxy buffer and is judged at whatever step the handshake stands. The
// input is a flag byte (bit 0: the user name and password are offered), then chunks, each a
// length byte and that many bytes.
//
// The handshake is followed from the outside: what went out on the socket, whether the
// socket was closed and whether the hall heard that the table is connected. Each reply starts
// with the first chunk after its request went out (a proxy answers only what it was asked).
// The requests go out in order, one per accepted reply; a reply the step must refuse closes
// the socket and nothing moves on after it; the hand-over waits for the whole connect reply,
// and from then on the bytes that arrive reach the packet transport whole and alone. Bytes keep
// coming after a refusal closed the socket (a real socket would deliver none); once they fill
// the proxy buffer the program ends, and nothing after that is judged.
#include <vector>

#include "FuzzTarget.h"
#include "common/doubles/PlatformDoubles.h"
#include "session/Connection.h"
#include "session/Proxy.h"
#include "session/Transport.h"
#include "wire/Commands.h"

namespace {

using FuzzSupport::FuzzCheck;

// Ended: the program ended (the proxy buffer ran full); nothing after that counts.
enum class Stage { Method, Authentication, Connect, Done, Refused, Ended };

// The replies each step accepts, by their first two bytes.
const QByteArray NoAuthentication("\x05\x00", 2);
const QByteArray NameAndPassword("\x05\x02", 2);
const QByteArray Authenticated("\x01\x00", 2);
const QByteArray Connected("\x05\x00", 2);

// The request an accepted reply to the greeting or the authentication sends next; empty for
// a reply the step must refuse.
QByteArray NextRequest(Stage stage, const QByteArray& reply)
{
    if (stage == Stage::Method && reply.startsWith(NameAndPassword))
        return Mod_Proxy::AuthenticationRequest();
    if (stage == Stage::Method && reply.startsWith(NoAuthentication))
        return Mod_Proxy::ConnectRequest();
    if (stage == Stage::Authentication && reply.startsWith(Authenticated))
        return Mod_Proxy::ConnectRequest();
    return {};
}

// The length of a connect reply by its address type (IPv4, name, IPv6), 0 when the type has
// no size the client knows or too little has come to tell.
int ConnectReplyLength(const QByteArray& reply)
{
    if (reply.size() < 5)
        return 0;
    switch (reply[3]) {
    case 1: return 4 + 4 + 2;
    case 3: return 4 + 1 + static_cast<uint8_t>(reply[4]) + 2;
    case 4: return 4 + 16 + 2;
    default: return 0;
    }
}

class Handshake {
public:
    explicit Handshake(TestDoubles::ClientDoubles& doubles) : socket(*doubles.socket), hall(*doubles.hall)
    {
        FuzzCheck(socket.sent.size() == 1 && socket.sent[0] == Mod_Proxy::GreetingRequest(),
                  "the handshake opens with the greeting alone");
        requests = socket.sent.size();
    }

    void Arrive(const QByteArray& chunk)
    {
        if (stage == Stage::Ended)
            return;
        const int closes = socket.closeCalls;
        if (stage == Stage::Done)
            afterDone += chunk;
        else
            reply += chunk;
        FuzzSupport::Arrive(socket, chunk);
        if (TestDoubles::Seen().endCalls != 0) {
            stage = Stage::Ended;
            return;
        }
        const bool closed = socket.closeCalls != closes;
        const bool done = LoggedIn() != 0;
        FuzzCheck(LoggedIn() <= 1, "the hall hears once that the table is connected");
        switch (stage) {
        case Stage::Method:
        case Stage::Authentication: Judge(NextRequest(stage, reply), closed, done); break;
        case Stage::Connect: JudgeConnect(closed, done); break;
        case Stage::Done:
        case Stage::Ended: break;
        case Stage::Refused:
            FuzzCheck(!done && socket.sent.size() == requests, "nothing moves on after a refused reply");
            break;
        }
    }

    // After the last chunk: what arrived after the hand-over reached the transport whole.
    void Finish(const std::vector<Packet>& handed)
    {
        if (stage == Stage::Ended)
            return;
        if (stage == Stage::Done)
            FuzzSupport::CheckPacketsHandedOn(handed, afterDone);
        else
            FuzzCheck(handed.empty(), "nothing reaches the packet transport before the hand-over");
    }

private:
    // A reply to the greeting or the authentication (see NextRequest).
    void Judge(const QByteArray& next, bool closed, bool done)
    {
        FuzzCheck(!done, "the table is connected only after the connect reply");
        if (reply.size() < 2) {
            FuzzCheck(!closed && socket.sent.size() == requests, "a reply is judged once its first two bytes are in");
            return;
        }
        if (next.isEmpty()) {
            FuzzCheck(closed && socket.sent.size() == requests, "a reply the step refuses closes the socket");
            stage = Stage::Refused;
            return;
        }
        FuzzCheck(!closed && socket.sent.size() == requests + 1 && socket.sent.back() == next,
                  "an accepted reply sends the next request");
        stage = next == Mod_Proxy::ConnectRequest() ? Stage::Connect : Stage::Authentication;
        NextReply();
    }

    void JudgeConnect(bool closed, bool done)
    {
        if (reply.size() < 2) {
            FuzzCheck(!closed && !done, "a reply is judged once its first two bytes are in");
            return;
        }
        if (!reply.startsWith(Connected)) {
            FuzzCheck(closed && !done, "a refused connection closes the socket");
            stage = Stage::Refused;
            return;
        }
        FuzzCheck(!closed, "an accepted connection stays open");
        const int length = ConnectReplyLength(reply);
        if (reply.size() >= 5 && length == 0) {
            // An address type the client cannot size: how much it waits for is its own choice.
            if (done)
                stage = Stage::Done;
            return;
        }
        const bool whole = length != 0 && reply.size() >= length;
        FuzzCheck(done == whole, "the hand-over comes as soon as the whole connect reply is in");
        if (done)
            stage = Stage::Done;
    }

    void NextReply()
    {
        requests = socket.sent.size();
        reply.clear();
    }

    int LoggedIn() const
    {
        int n = 0;
        for (uint32_t number : hall.posted)
            n += number == HallMessage::LoggedIn;
        return n;
    }

    TestDoubles::FakeWinsock& socket;
    TestDoubles::FakeHall& hall;
    Stage stage = Stage::Method;
    size_t requests = 0;
    QByteArray reply;      // since the last request went out
    QByteArray afterDone;  // since the hand-over
};

}  // namespace

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
    std::vector<Packet> handed;
    Transport::SetPacketHandler([&handed](const Packet& p) { handed.push_back(p); });
    Mod_Proxy::StartProxyConnection();

    Handshake handshake(client.doubles);
    FuzzSupport::ForEachChunk(data + 1, size - 1, [&handshake](const QByteArray& chunk) { handshake.Arrive(chunk); });
    handshake.Finish(handed);
    return 0;
}
