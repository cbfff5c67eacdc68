// Writes the starting corpora of the fuzz targets from real inputs: packets of every command
// the client handles, built with the server stand-in's own builders, command lines as the hall
// writes them, INI files as the client keeps them, and proxy replies. Run once by hand
// (quellor-fuzz-seeds <corpus folder>); the fuzzer grows the corpora from there.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "DispatcherInput.h"
#include "Messages.h"
#include "ServerInput.h"
#include "rules/Cards.h"
#include "wire/Commands.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::string;

void Write(const fs::path& folder, const std::string& name, const Bytes& bytes)
{
    fs::create_directories(folder);
    std::ofstream(folder / name, std::ios::binary) << bytes;
}

Bytes Raw(const Packet& p) { return Bytes(reinterpret_cast<const char*>(p.data()), p.size()); }

// Bytes as the socket targets read them: chunks of at most `cut` bytes (a length byte can
// count 255 at most), each a length byte and its bytes.
Bytes Chunks(const Bytes& bytes, size_t cut = 255)
{
    Bytes chunks;
    for (size_t at = 0; at < bytes.size(); at += cut) {
        const Bytes part = bytes.substr(at, cut);
        chunks += static_cast<char>(part.size());
        chunks += part;
    }
    return chunks;
}

// A record of the dispatcher target: selector (index of the command), then the packet after
// its command byte, cut after the last byte that is not zero.
Bytes Record(int selector, const Packet& p)
{
    int last = PacketSize - 1;
    while (last > Wire::CommandByte && p[static_cast<size_t>(last)] == 0)
        --last;
    Bytes r;
    r += static_cast<char>(selector);
    const int length = std::min(last - Wire::CommandByte, 255);
    r += static_cast<char>(length);
    r.append(reinterpret_cast<const char*>(p.data()) + Wire::CommandByte + 1, static_cast<size_t>(length));
    return r;
}

Bytes Rec(const Packet& p) { return Record(DispatcherInput::SelectorOf(p[Wire::CommandByte]), p); }

Packet ChatPacket(uint8_t senderBit, const std::string& gbk, uint8_t whisper)
{
    Packet p = Wire::NewPacket(Command::Chat);
    p[Field::Seat] = senderBit;
    p[Field::Chat::Whisper] = whisper;
    Server::Msg::WriteText(p, Field::Chat::Text, Field::Chat::TextLast - Field::Chat::Text + 1, gbk);
    return p;
}

// A client's request as the client builds it: the command, the seat bit, then the fields.
Packet Request(uint8_t command, uint8_t seatBit = 0)
{
    Packet p = Wire::NewPacket(command);
    p[Field::Seat] = seatBit;
    return p;
}

Packet EntryRequest(const std::string& key, const std::string& password)
{
    Packet p = Request(Command::Entry);
    std::copy(key.begin(), key.end(), p.begin() + Field::EntryRequest::Key);
    std::copy(password.begin(), password.end(), p.begin() + Field::EntryRequest::Password);
    return p;
}

// Steps of the server target (ServerInput.h).
struct ServerSteps {
    Bytes bytes;

    explicit ServerSteps(uint8_t flags) : bytes(1, static_cast<char>(flags)) {}
    ServerSteps& Step(int place, ServerInput::Step step, int argument = 0)
    {
        bytes += static_cast<char>(ServerInput::Header(place, step, argument));
        return *this;
    }
    ServerSteps& Open(int place, int address = 0) { return Step(place, ServerInput::Open, address); }
    // Bytes on the link in pieces of at most `cut`.
    ServerSteps& Send(int place, const Bytes& sent, size_t cut = 255)
    {
        for (size_t at = 0; at < sent.size(); at += cut) {
            const Bytes part = sent.substr(at, cut);
            Step(place, ServerInput::Bytes);
            bytes += static_cast<char>(part.size());
            bytes += part;
        }
        return *this;
    }
    ServerSteps& Packet(int place, uint8_t selector, const Bytes& over = {})
    {
        Step(place, ServerInput::Packet);
        bytes += static_cast<char>(selector);
        bytes += static_cast<char>(over.size());
        bytes += over;
        return *this;
    }
    ServerSteps& With(int place, ServerInput::Step step, uint8_t count)
    {
        Step(place, step);
        bytes += static_cast<char>(count);
        return *this;
    }
    ServerSteps& Time(uint8_t tenths) { return With(0, ServerInput::Time, tenths); }
};

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
        return 2;
    }
    const fs::path root = argv[1];
    using namespace Server::Msg;

    Server::PlayerProfile alice;
    alice.key = "alice";
    alice.nickname = "\xb0\xa2\xc0\xf6";  // two GBK characters
    alice.face = "w3";
    alice.sex = 0;
    alice.area = "\xb1\xb1\xbe\xa9";
    alice.title = "\xb8\xdf\xca\xd6";
    alice.points = 1234;
    alice.coins = 5000;
    Server::PlayerProfile bob = alice;
    bob.key = "bob";
    bob.face = "m1";
    bob.sex = 1;

    std::vector<CardValue> hand;
    for (int i = 0; i < 27; ++i)
        hand.push_back(Rules::MakeCard(Rules::LowestRank + i % 13, 1 << (i % 4), i + 1));
    const std::vector<CardValue> pair = {hand[0], hand[13]};
    const std::vector<CardValue> single = {hand[5]};

    Server::Msg::DealInfo deal;
    deal.addresseeBit = Server::SeatBit(0);
    Server::Msg::ResultInfo result;
    result.remaining = single;
    result.place = 1;
    result.outcome = 1;
    result.total = 200;
    result.final = 5200;

    const Packet entry = EntryResult(1, 30, "http://127.0.0.1/ad", Server::SeatBit(0));
    const Packet seatA = SeatInfo(Server::SeatBit(0), 0, alice, false);
    const Packet seatB = SeatInfo(Server::SeatBit(0), 1, bob, true);
    const Packet ready = Ready("bob");
    const Packet dealt = Deal(deal, hand);
    const Packet opening = Play(0, 1, Server::TurnOpening, Rules::PlayType::Pair, pair);
    const Packet follow = Play(1, 2, Server::TurnFollow, Rules::PlayType::Single, single);
    const Packet over = Play(2, 3, Server::TurnRoundOver, Rules::PlayType::Single, single);
    const Packet res = Result(result);
    const Packet chat = ChatPacket(Server::SeatBit(1), "\xc4\xe3\xba\xc3 hello", 0);
    const Packet whisper = ChatPacket(Server::SeatBit(1), "psst", Server::SeatBit(0));
    const Packet departure = Departure(Server::SeatBit(0) | Server::SeatBit(1), Server::DepartureLeftGame);
    const Packet left = LeftTable("bob");
    const Packet closed = TableClosed("\xd7\xc0\xd7\xd3\xb9\xd8\xb1\xd5");
    const Packet reconnect = ReconnectResult(true);

    // The dispatcher: each command alone, and whole sequences of a table's life.
    const fs::path d = root / "dispatcher";
    const std::vector<std::pair<std::string, Packet>> single_packets = {
        {"entry", entry}, {"seat", seatA}, {"ready", ready}, {"deal", dealt}, {"play-opening", opening},
        {"play-follow", follow}, {"result", res}, {"chat", chat}, {"whisper", whisper},
        {"departure", departure}, {"left", left}, {"closed", closed}, {"reconnect", reconnect},
    };
    for (const auto& [name, p] : single_packets)
        Write(d, "one-" + name, Rec(p));
    Write(d, "raw-deal", Bytes{static_cast<char>(DispatcherInput::RawSelector), '\xff'} + Raw(dealt).substr(0, 255));
    Write(d, "seating", Rec(entry) + Rec(seatA) + Rec(seatB) + Rec(ready) + Rec(chat));
    Write(d, "round", Rec(entry) + Rec(seatA) + Rec(seatB) + Rec(dealt) + Rec(opening) + Rec(follow) +
                          Rec(over) + Rec(res));
    Write(d, "leaving", Rec(entry) + Rec(seatA) + Rec(seatB) + Rec(dealt) + Rec(departure) + Rec(left) +
                            Rec(closed));
    Write(d, "reconnect", Rec(entry) + Rec(dealt) + Rec(reconnect) + Rec(opening));

    // The byte stream: whole packets in odd chunks.
    const Bytes stream = Raw(entry) + Raw(seatA) + Raw(dealt);
    for (size_t cut : {1u, 7u, 100u, 255u})
        Write(root / "stream", "cut-" + std::to_string(cut), Chunks(stream, cut));

    // The decoders: the packets that carry the player block and chat text.
    Write(root / "decoders", "seat-a", Raw(seatA));
    Write(root / "decoders", "seat-b", Raw(seatB));
    Write(root / "decoders", "chat", Raw(chat));
    Write(root / "decoders", "closed", Raw(closed));

    // Command lines as the hall writes them.
    const fs::path l = root / "launch";
    Write(l, "direct", "alice$pw$10.0.0.1$5000$Room 3$0$$0$$$0$$$");
    Write(l, "socks5", "alice$pw$10.1.2.3$6000$R$5$127.0.0.1$1080$user$secret$0$$$");
    Write(l, "caption", "alice$pw$10.0.0.1$5000$\xe4\xb8\x80\xe5\x8f\xb7\xe6\xa1\x8c$0$$0$$$1$Hall$Own$");
    Write(l, "spectator", "alice$pw$10.0.0.1$5000$R$0$$0$$$0$$$3.5");
    Write(l, "split", "alice$pw$10.0.0.1$5000$Room 3 east$9$$0$$$0$$$");
    Write(l, "short", "alice$pw$");

    // INI files as the client keeps them, and scripts run against them.
    const fs::path i = root / "inifile";
    Write(i, "info", "[set]\r\nsound=1\r\nmusic=0\r\n; a comment\r\n\r\n[Window]\r\nLeft=10\r\n");
    Write(i, "chat", "[chat]\nline1=\xc4\xe3\xba\xc3\nline2=hello\n");
    Write(i, "script", Bytes("[a]\nk=v\n", 8) + Bytes(1, '\0') +
                           "w|a|k|new\ng|a|k\nw|b|x|\xc4\xe3\nk|a|k\ns|b\nw|c|y|  spaced  \n");

    // Proxy replies: the flag byte (bit 0: offer name and password), then chunks. The literals
    // hold NUL bytes, so their length comes from the literal itself, never from a count.
    using namespace std::string_literals;
    const fs::path x = root / "proxy";
    const Bytes v4Reply = "\x05\x00\x00\x01\x0a\x00\x00\x01\x1f\x90"s;
    Write(x, "no-auth", "\0"s + Chunks("\x05\x00"s) + Chunks(v4Reply) + Chunks(Raw(entry)));
    Write(x, "auth", "\x01"s + Chunks("\x05\x02"s) + Chunks("\x01\x00"s) + Chunks(v4Reply));
    // A name-typed connect reply ("host", port 8080) cut across the replies' borders.
    Write(x, "pieces", "\x01"s + Chunks("\x05"s) + Chunks("\x02"s) + Chunks("\x01\x00\x05"s) +
                           Chunks("\x00\x00\x03\x04host\x1f"s) + Chunks("\x90"s));
    Write(x, "v6", "\0"s + Chunks("\x05\x00"s) + Chunks("\x05\x00\x00\x04"s + Bytes(16, '\1') + "\x1f\x90"s));
    Write(x, "refused", "\x01"s + Chunks("\x05\xff"s));
    Write(x, "auth-failed", "\x01"s + Chunks("\x05\x02"s) + Chunks("\x01\x01"s));

    // The game server's links: requests as the client sends them, whole or in pieces.
    namespace In = ServerInput;
    const fs::path v = root / "server";
    const Bytes enterAlice = Raw(EntryRequest("alice", "alice-pw"));
    const Bytes readyRequest = Raw([] { Packet p = Request(Command::Departure, Server::SeatBit(0)); p[Field::Request::Kind] = 1; return p; }());
    const Bytes pass = Raw([] { Packet p = Request(Command::PlayRequest, Server::SeatBit(0)); p[Field::Request::Kind] = 1; return p; }());
    const Bytes leave = Raw([] { Packet p = Request(Command::Departure, Server::SeatBit(0)); p[Field::Request::Leave] = 1; return p; }());
    const Bytes keepAlive = Raw(Request(Command::KeepAlive, Server::SeatBit(0)));
    const Bytes chatLine = Raw(ChatPacket(Server::SeatBit(0), "\xc4\xe3\xba\xc3 hello", 0));
    Write(v, "round", ServerSteps(0).Open(0).Send(0, enterAlice).Send(0, readyRequest).Time(40).Send(0, pass)
                          .Send(0, chatLine).Send(0, keepAlive).Time(60).Send(0, leave).Step(0, In::Lost).bytes);
    Write(v, "pieces", ServerSteps(0).Open(0).Send(0, enterAlice, 1).Send(0, readyRequest + chatLine, 100).bytes);
    Write(v, "accounts", ServerSteps(In::WithAccounts).Open(0).Open(1, 1).Open(2, 1)
                             .Send(0, enterAlice).Send(1, Raw(EntryRequest("bob", "alice-pw")))
                             .Send(2, Raw(EntryRequest("mallory", "x"))).Packet(3, In::Selector(In::Entry, 1)).bytes);
    // Alice loses her link in a round and comes back with the last session code she saw.
    Write(v, "reconnect", ServerSteps(0).Open(0).Packet(0, In::Selector(In::Entry)).Packet(0, In::Selector(In::Ready))
                              .Time(40).Step(0, In::Lost).Open(1).Packet(1, In::Selector(In::Reconnect, 0, 0 << 5))
                              .Time(20).bytes);
    // Four humans for four human seats, a fifth turned away, the links past the caps refused.
    ServerSteps full(0);
    for (int place = 0; place < 8; ++place)
        full.Open(place, place & 3).Send(place, Raw(EntryRequest("p" + std::to_string(place), "")));
    Write(v, "full", full.Time(30).bytes);
    // A client that stops reading and chats on; another that asks to enter again and again.
    Write(v, "not-reading", ServerSteps(0).Open(0).Open(1).Packet(0, In::Selector(In::Entry)).Step(0, In::Reading)
                                .Packet(0, In::Selector(In::Chat)).With(0, In::Again, 40).Time(20).bytes);
    Write(v, "operator", ServerSteps(In::RefuseReconnects).Open(0).Open(1).Packet(0, In::Selector(In::Entry))
                             .Packet(1, In::Selector(In::Entry, 1)).Step(0, In::Operator, In::Silence)
                             .Step(1, In::Operator, In::Cut).Open(2).Packet(2, In::Selector(In::Reconnect, 1, 1 << 5))
                             .Step(0, In::Operator, In::CloseTables).Time(5).bytes);
    Write(v, "late", ServerSteps(In::StartFails).Open(0).Open(1).Send(1, keepAlive).Packet(0, In::Selector(In::Entry)).Time(30).bytes);
    return 0;
}
