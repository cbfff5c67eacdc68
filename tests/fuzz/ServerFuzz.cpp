// The game server's links: links in eight places that open, send bytes, go quiet, stop reading
// and go away while the clock runs, against two tables of two humans and two computer players
// each. A place that opens again gets a new link number, as a new connection does.
//
// The input is described in ServerInput.h.
//
// The links are followed from the outside, through what the server writes and closes, and
// checked after every step: every byte a reading link sent reaches the server as the stream
// cut into whole packets, in order, with less than one packet pending; nothing is written to
// or closed on a link that is gone; the caps count exactly the links held; a human seat is held
// by exactly one link and a link holds only a human seat; an entry the accounts refuse ends
// its link; and a link that does not read never has more unsent output than the bound.
#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <array>
#include <map>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

#include "FuzzCheck.h"
#include "Links.h"
#include "ServerInput.h"
#include "wire/Commands.h"
#include "wire/Fields.h"

namespace {

using FuzzSupport::FuzzCheck;
using Server::Links;

constexpr int64_t OutputLimit = 8 * PacketSize;

namespace In = ServerInput;

// Two keys with the least cost libsodium takes: a step that checks a password costs
// microseconds, not the interactive cost of the program.
const Accounts::Book& Book()
{
    static const Accounts::Book book = [] {
        char path[] = "/tmp/quellor-fuzz-accounts-XXXXXX";
        const int fd = ::mkstemp(path);
        if (fd < 0)
            std::abort();
        ::close(fd);
        ::unlink(path);
        std::string error;
        for (int k = 0; k < In::BookKeys; ++k)
            if (!Accounts::Store(path, In::Keys[k], In::Passwords[k], {1, 8192}, error))
                std::abort();
        auto loaded = Accounts::Book::Load(path, error);
        ::unlink(path);
        if (!loaded)
            std::abort();
        return *loaded;
    }();
    return book;
}

// The far end of a link as the server sees it through its socket.
struct Peer {
    bool open = false;        // admitted and not yet gone
    bool closedByServer = false;
    bool reading = true;      // the client takes what is written
    bool silent = false;      // the operator made the link quiet: what it sends is not read
    std::string stream;       // bytes sent while the server read them
    std::vector<Packet> received;   // what the server handed on, in order
    std::vector<Packet> written;
    int64_t unsent = 0;
    Packet last{};            // the last packet this link sent, for step 7
};

class Run {
public:
    explicit Run(uint8_t flags) : accounts(flags & In::WithAccounts)
    {
        Server::LinkOptions options;
        if (accounts)
            options.accounts = Book();
        options.refuseReconnects = flags & In::RefuseReconnects;
        options.outcome = (flags & In::StartFails) ? 2 : 1;
        options.tables = 2;
        options.maxLinks = 6;
        options.maxLinksPerAddress = 4;
        options.entryLimitMs = 2000;
        options.outputLimit = OutputLimit;
        options.chatLines = 3;
        options.chatWindowMs = 1000;
        Server::TableConfig table;
        table.bots = 2;
        table.turnSeconds = 1;
        table.botDelayMs = 50;
        table.seed = 7;
        table.readySeconds = 2;
        table.clientSlackMs = 500;
        table.dealSlackMs = 500;
        table.awayGraceMs = 3000;
        table.historyLimit = 64;
        links.emplace(std::move(options), table, [](const std::string&) {}, Side());
    }

    void Step(uint8_t header, const uint8_t*& at, const uint8_t* end)
    {
        int& link = places[header & 7];
        const int arg = header >> 6;
        Peer& peer = peers[link];
        auto take = [&]() -> uint8_t { return at < end ? *at++ : 0; };
        switch (static_cast<In::Step>((header >> 3) & 7)) {
        case In::Open:
            if (!peer.open) {
                link = nextLink++;
                peers[link].open = !links->Open(link, "127.0.0." + std::to_string(arg + 1));
            }
            break;
        case In::Bytes: {
            const size_t length = std::min<size_t>(take(), static_cast<size_t>(end - at));
            Send(link, std::string(reinterpret_cast<const char*>(at), length));
            at += length;
            break;
        }
        case In::Packet: {
            const uint8_t selector = take();
            const size_t length = std::min<size_t>(take(), static_cast<size_t>(end - at));
            const Packet p = Build(selector, at, length);
            at += length;
            peer.last = p;
            Send(link, std::string(reinterpret_cast<const char*>(p.data()), PacketSize));
            break;
        }
        case In::Lost:
            if (peer.open) {
                peer.open = false;
                links->Lost(link);
            }
            break;
        case In::Time:
            for (int tick = take(); tick > 0; --tick) {
                now += 100;
                links->Advance();
                links->CloseLate();
                Drain();
            }
            break;
        case In::Reading:
            peer.reading = !peer.reading;
            break;
        case In::Operator:
            Operator(link, arg);
            break;
        case In::Again:
            for (int times = take(); times > 0 && peer.open; --times)
                Send(link, std::string(reinterpret_cast<const char*>(peer.last.data()), PacketSize));
            break;
        }
        Settle();
    }

private:
    Server::LinkSide Side()
    {
        return Server::LinkSide{
            .now = [this] { return now; },
            .write = [this](int link, const Packet& p) {
                Peer& peer = peers.at(link);
                FuzzCheck(peer.open, "nothing is written to a link that is gone");
                peer.written.push_back(p);
                peer.unsent += PacketSize;
            },
            .handOver = [this](int link) {
                Peer& peer = peers.at(link);
                FuzzCheck(peer.open, "nothing is handed over on a link that is gone");
                if (peer.reading)
                    peer.unsent = 0;
            },
            .unsent = [this](int link) { return peers.at(link).unsent; },
            .close = [this](int link, bool) {
                Peer& peer = peers.at(link);
                FuzzCheck(peer.open, "a link is closed once, and only while it is held");
                peer.open = false;
                peer.closedByServer = true;
            },
            .sweepLater = [] {},
            .received = [this](int link, const Packet& p) { Received(link, p); },
            .turnTaken = [] {},
        };
    }

    // An entry request the accounts must refuse: an unseated link, a key or password not in the book.
    void Received(int link, const Packet& p)
    {
        Peer& peer = peers.at(link);
        peer.received.push_back(p);
        const auto state = links->StateOf(link);
        if (p[Wire::CommandByte] == Command::Entry && accounts && state && state->seat < 0) {
            auto text = [&p](int from, int width) {
                return std::string(reinterpret_cast<const char*>(p.data()) + from,
                                   static_cast<size_t>(Wire::FieldLength(p, from, width)));
            };
            const std::string key = text(Field::EntryRequest::Key, Field::EntryRequest::KeyWidth);
            const std::string password = text(Field::EntryRequest::Password, Field::EntryRequest::PasswordWidth);
            bool known = false;
            for (int k = 0; k < In::BookKeys; ++k)
                known = known || (key == In::Keys[k] && password == In::Passwords[k]);
            if (!known)
                mustEnd.push_back(link);
        }
    }

    void Send(int link, const std::string& bytes)
    {
        Peer& peer = peers[link];
        if (!peer.open)
            return;
        if (!peer.silent)
            peer.stream += bytes;
        if (links->Reading(link))
            links->Feed(link, bytes.data(), bytes.size());
    }

    // A packet from the selector: bits 0-2 what it is (entry, reconnect, play, chat, ready,
    // leave, keep-alive, or any command: the first byte laid over), bits 3-4 the key, bit 5 a
    // wrong password; a reconnect carries the last session code written to the link in the
    // place of bits 5-7. The bytes are laid over it from byte 4 on; the fields the selector
    // sets win.
    Packet Build(uint8_t selector, const uint8_t* bytes, size_t length)
    {
        static const uint8_t commands[] = {Command::Entry, Command::Entry, Command::PlayRequest, Command::Chat,
                                           Command::Departure, Command::Departure, Command::KeepAlive};
        const int kind = selector & 7;
        Packet p{};
        for (size_t i = 0; i < length && 4 + i < PacketSize; ++i)
            p[4 + i] = bytes[i];
        p[Wire::CommandByte] = kind == In::AnyCommand ? (length > 0 ? bytes[0] : 0) : commands[kind];
        if (kind == In::Entry || kind == In::Reconnect) {
            const int k = (selector >> 3) & 3;
            std::fill(p.begin() + Field::EntryRequest::Key, p.end(), 0);
            const std::string key = In::Keys[k];
            std::copy(key.begin(), key.end(), p.begin() + Field::EntryRequest::Key);
            const std::string password = (kind == In::Entry && (selector & In::WrongPassword)) ? "wrong" : In::Passwords[k];
            std::copy(password.begin(), password.end(), p.begin() + Field::EntryRequest::Password);
            p[Field::EntryRequest::Reconnect] = 0;
        }
        if (kind == In::Reconnect) {
            p[Field::EntryRequest::Reconnect] = Field::EntryRequest::ReconnectMark;
            const Peer& from = peers[places[(selector >> 5) & 7]];
            if (!from.written.empty()) {
                const Packet& seen = from.written.back();
                p[Field::EntryRequest::ReconnectSessionCode] = seen[Wire::SessionCodeByte];
                p[Field::EntryRequest::ReconnectSessionCode + 1] = seen[Wire::SessionCodeByte + 1];
            }
        }
        if (kind == In::Ready)
            p[Field::Request::Kind] = 1;
        if (kind == In::Leave)
            p[Field::Request::Leave] = 1;
        return p;
    }

    void Operator(int link, int arg)
    {
        switch (static_cast<In::OperatorLine>(arg)) {
        case In::Silence:
        case In::Cut:
            if (const auto state = links->StateOf(link); state && peers[link].open && state->seat >= 0) {
                if (arg == In::Silence) {
                    links->Silence(state->table, state->seat);
                    peers[link].silent = true;
                } else {
                    peers[link].open = false;
                    links->Lost(link);
                }
            }
            break;
        case In::CloseTables:
            links->CloseTables("closing");
            break;
        case In::ToggleRefuseReconnects:
            links->RefuseReconnects(!links->RefusingReconnects());
            break;
        }
    }

    // The event loop between steps: a reading client takes what was written.
    void Drain()
    {
        for (auto& [link, peer] : peers)
            if (peer.open && peer.reading)
                peer.unsent = 0;
    }

    void Settle()
    {
        for (int link : mustEnd)
            FuzzCheck(!peers[link].open && peers[link].closedByServer, "an entry the accounts refuse ends its link");
        mustEnd.clear();
        links->Sweep();
        int held = 0;
        for (auto& [link, peer] : peers) {
            const auto state = links->StateOf(link);
            FuzzCheck(peer.open == state.has_value(), "the server holds exactly the links that are open");
            if (!peer.open)
                continue;
            ++held;
            FuzzCheck(state->pending < static_cast<size_t>(PacketSize), "less than a packet waits");
            if (!peer.silent) {
                FuzzCheck(state->pending == peer.stream.size() % PacketSize, "every whole packet is taken");
                FuzzCheck(peer.received.size() == peer.stream.size() / PacketSize,
                          "every whole packet sent is handed on");
                for (size_t i = 0; i < peer.received.size(); ++i)
                    FuzzCheck(std::equal(peer.received[i].begin(), peer.received[i].end(),
                                         reinterpret_cast<const uint8_t*>(peer.stream.data()) + i * PacketSize),
                              "the packets handed on are the stream's, in order");
            }
            if (!peer.reading)
                FuzzCheck(peer.unsent <= OutputLimit, "a link that does not read is closed at the output bound");
            if (state->seat >= 0)
                FuzzCheck(links->Table(state->table).Kind(state->seat) == Server::SeatKind::Human,
                          "a link holds only a human's seat");
        }
        FuzzCheck(held == links->Held(), "the caps count the links held");
        for (int table = 0; table < links->Tables(); ++table)
            for (int seat = 0; seat < 4; ++seat)
                if (links->Table(table).Kind(seat) == Server::SeatKind::Human)
                    FuzzCheck(links->Seated(table, seat).size() == 1, "a human's seat is held by one link");
        Drain();
    }

    const bool accounts;
    int64_t now = 1000;
    std::map<int, Peer> peers;   // by link number; a link once open stays here
    std::array<int, 8> places{}; // the link number in each place; 0 is never opened
    int nextLink = 1;
    std::vector<int> mustEnd;
    std::optional<Links> links;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    Run run(data[0]);
    const uint8_t* at = data + 1;
    const uint8_t* end = data + size;
    while (at < end) {
        const uint8_t header = *at++;
        run.Step(header, at, end);
    }
    return 0;
}
