#pragma once
// The tables on TCP: accepts links on the address it is given (127.0.0.1 unless told) and
// hands the bytes of each to Links, which cuts them into packets, answers entry and reconnect
// requests and runs the tables; this side writes, hands over and closes the sockets for it.
// One process holds one table or many; an entry takes the first table with a free seat. The
// tables' clocks are advanced by a short timer.
#include <QElapsedTimer>
#include <QHostAddress>
#include <QObject>
#include <QString>
#include <QTcpServer>
#include <QThreadPool>
#include <QTimer>

#include <map>
#include <vector>

#include "Links.h"
#include "OpenPort.h"

class QTcpSocket;

namespace Server {

struct NetworkOptions : LinkOptions {
    QString recordPath;       // every received packet, one hex line each
    // Faults to try a client's reconnect against (refusing reconnects is among the link options).
    int dropAfterPlays = 0;   // cut the humans' links once, after this many plays of a round
    QHostAddress listen = QHostAddress(QHostAddress::LocalHost);
};

class TableServer : public QObject {
public:
    TableServer(NetworkOptions options, TableConfig table, QObject* parent = nullptr);
    ~TableServer() override;

    // Listens on the address of the options.
    bool Listen(quint16 port);
    // Tells every seated player at every table that the table closes.
    void CloseTable(const QString& notice);
    // One line typed to the server: `close <notice>` closes every table with that notice
    // (`close` alone with none); `table <n>` picks the table that the following commands address
    // (0 at start); the faults `drop [seat]`, `drop-after <plays>` (table 0), `silent [seat]`,
    // `refuse-reconnects on|off`, `stop-listening <seconds>`; `packets` prints how many
    // packets each human has been sent, `hand <seat>` the card identifiers a seat holds (between rounds:
    // what it was left with at the end of the last); `latency` the turn latency so far.
    // Anything else is logged and ignored.
    void Command(const QString& line);
    // Turn latency: from the moment a human's play or pass is read off its socket to the moment
    // the table's answers to it have been handed to the kernel. Count, 50th and 99th percentile
    // and the largest, in microseconds, on one line.
    void PrintLatency();

    // Cuts the links of the human in the seat (every human for -1) of the chosen table at once,
    // as a broken network would: the client sees a reset, the table keeps the seat for a reconnect.
    void Drop(int seat);
    // The human's link goes quiet without closing: nothing is read or written any more.
    void Silence(int seat);
    // No new links for a while; the port opens again afterwards.
    void StopListening(int seconds);

private:
    void Accept();
    void Read(int link);
    void Record(const Packet& p);
    void Sweep();
    void DropWhenDue();
    void PrintPackets();
    int64_t Now() const { return m_clock.elapsed(); }
    GameTable& Chosen() { return m_links.Table(m_chosen); }
    // The link side of the table logic: the sockets by link number.
    LinkSide Side();

    NetworkOptions m_options;
    QElapsedTimer m_clock;
    // Password checks, off the thread that runs the tables.
    QThreadPool m_checks;
    Links m_links;
    std::map<int, QTcpSocket*> m_sockets;
    int m_nextLink = 1;
    int m_chosen = 0;  // the table operator commands address
    std::vector<int64_t> m_latencyNs;
    int64_t m_readAtNs = 0;  // when the bytes being handled were read
    QTcpServer m_server;
    QTimer m_tick;
    quint16 m_port = 0;
    bool m_dropDone = false;
};

}  // namespace Server
