#pragma once
// The links of the game server without sockets: each a number, fed the bytes that arrive on
// it. It cuts them into 272-byte packets, answers entry and reconnect requests (key and
// password, the accounts check, the table, the seat), keeps the rules an open port applies to
// a link (the link caps, the chat rate, the time to enter, the bound on unsent output), hands
// everything else of a seated player to that player's table and delivers what the tables
// queue. What it writes and closes goes through the caller's LinkSide, at once, as the socket
// code did when it held all this itself.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Accounts.h"
#include "OpenPort.h"
#include "Table.h"

namespace Server {

struct LinkOptions {
    int outcome = 1;          // entry result byte 15
    int timeoutLimit = 0;     // entry result byte 9
    std::string webAddress;   // entry result bytes 16..115
    bool refuseReconnects = false;
    int tables = 1;           // tables in the process, each with its own seats, deals and clocks
    std::optional<Accounts::Book> accounts;  // without it every key enters, as on one machine
    int maxLinks = 0;                 // 0: room for sixteen links a table
    int maxLinksPerAddress = 0;       // 0: no cap of its own
    int64_t entryLimitMs = 10000;     // a link with no complete entry request by then is closed
    int64_t outputLimit = 1 << 20;    // unsent bytes of one link before it is closed
    int chatLines = 5;                // chat lines of one link in any chatWindowMs; more are dropped
    int64_t chatWindowMs = 5000;
};

// What the caller does for the links: its sockets and its clock.
struct LinkSide {
    std::function<int64_t()> now;                          // milliseconds, the tables' clock
    std::function<void(int link, const Packet&)> write;    // queue a packet on the link
    std::function<void(int link)> handOver;                // give what is queued to the kernel now
    std::function<int64_t(int link)> unsent;               // bytes written and not yet taken by the kernel
    // Ends the link: orderly after what was written (a refusal, a late entry, too much unsent
    // output), or at once (a stale link whose client came back on another).
    std::function<void(int link, bool orderly)> close;
    // A link is gone: Sweep it once the packet being handled is done with.
    std::function<void()> sweepLater;
    std::function<void(int link, const Packet&)> received; // every packet read, before it is handled
    std::function<void()> turnTaken;                       // a seated human's play request was handled and delivered
    // Runs `check` (a password hash: a good part of a second) away from the caller's thread and
    // later calls `done` with its answer on it. Without it the check runs at once, here.
    std::function<void(std::function<bool()> check, std::function<void(bool)> done)> checkAside;
};

class Links {
public:
    using LogSink = GameTable::LogSink;

    Links(LinkOptions options, const TableConfig& table, LogSink log, LinkSide side);

    // A new link from `address`: why it is turned away, or nothing when it is kept (and
    // counted by the caps until it goes).
    std::optional<std::string> Open(int link, const std::string& address);
    // Whether bytes of the link are read at all: not when it is gone or gone quiet.
    bool Reading(int link) const;
    // Bytes that arrived on the link: every whole packet is handled at once, the rest waits.
    void Feed(int link, const char* bytes, size_t size);
    // The link is gone (its remote end closed it, or it was cut): a seat it held waits for a
    // reconnect or is freed.
    void Lost(int link);
    // Runs what the tables have come due and delivers it.
    void Advance();
    // Closes the links still without an entry request when their time is up.
    void CloseLate();
    // Tells every seated player at every table that the table closes.
    void CloseTables(const std::string& notice);
    // The live links holding the seat (every seat for -1) of the table.
    std::vector<int> Seated(int table, int seat) const;
    // The links of the seat (every seat for -1) go quiet without closing: nothing is read or
    // written any more.
    void Silence(int table, int seat);
    void RefuseReconnects(bool refuse) { m_options.refuseReconnects = refuse; }
    bool RefusingReconnects() const { return m_options.refuseReconnects; }
    // Forgets the links that are gone; returns their numbers for the caller to let go.
    std::vector<int> Sweep();

    int Tables() const { return static_cast<int>(m_tables.size()); }
    GameTable& Table(int table) { return *m_tables[static_cast<size_t>(table)]; }
    const GameTable& Table(int table) const { return *m_tables[static_cast<size_t>(table)]; }

    // What a link stands at, for the caller's checks and the tests.
    struct State {
        int table = -1;
        int seat = -1;
        bool gone = false;
        bool silent = false;
        bool entered = false;
        size_t pending = 0;  // bytes of a packet not yet complete
    };
    std::optional<State> StateOf(int link) const;
    int Held() const { return m_caps.Held(); }

private:
    struct Link {
        int id = 0;
        std::string pending;   // bytes of a packet not yet complete
        int table = -1;        // with seat: where the entry was accepted
        int seat = -1;         // -1 until an entry is accepted
        bool gone = false;
        bool silent = false;   // neither read nor written any more, but left open
        std::string address;   // of the remote end, as counted by the link caps
        int64_t openedAt = 0;
        bool entered = false;  // a complete entry request has come in
        bool checking = false; // its password is being checked: later packets wait
        OpenPort::ChatRate chat;
    };

    Link* Find(int link);
    const Link* Find(int link) const;
    Link* OfSeat(int table, int seat);
    void Handle(Link& c, const Packet& p);
    void Enter(Link& c, const Packet& p);
    // The rest of an entry or reconnect request once its password is known to be right or wrong.
    void Admit(Link& c, const Packet& p, bool passwordOk, long long arrivedUs);
    // Handles the link's whole packets waiting in `pending`, as long as it may.
    void Drain(Link& c);
    void Attach(Link& c, int table, int seat);
    void WriteTo(Link& c, Packet p, bool stamp);
    // Writes what the table queued and hands it to the kernel at once.
    void Flush(int table);
    void FlushAll();
    // Closes the link once its unsent output passes the bound.
    void CloseOverBound(Link& c);
    // Closes a link for a reason the log gives, as a lost one.
    void Close(Link& c, const std::string& why);
    // A chat line within the link's rate; one beyond it is dropped with a log line.
    bool ChatAllowed(Link& c);
    // The table an entry with this key goes to: where the key sits already, else the first
    // with an empty seat, else table 0 (which refuses it).
    int TableFor(const std::string& key) const;
    int64_t Now() const { return m_side.now(); }

    LinkOptions m_options;
    LogSink m_log;
    LinkSide m_side;
    std::vector<std::unique_ptr<GameTable>> m_tables;
    // By number; a record stays until Sweep, so that a link that goes while one of its own
    // packets is handled is still there when the handling returns.
    std::map<int, std::unique_ptr<Link>> m_links;
    OpenPort::LinkCaps m_caps;
};

}  // namespace Server
