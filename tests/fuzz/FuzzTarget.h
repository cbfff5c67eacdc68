#pragma once
// What every fuzz target provides and what they share: one application object for the whole
// process (offscreen, with the platform doubles), and a client at its start, optionally with
// its table window, for every input so that runs do not depend on each other.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include <QByteArray>

#include "FuzzCheck.h"
#include "common/ClientDoubles.h"
#include "wire/Packet.h"

class MainForm;

namespace FuzzSupport {

// The socket targets' input: a series of chunks, each a length byte and that many bytes (the
// last one cut short by the end of the input).
void ForEachChunk(const uint8_t* data, size_t size, const std::function<void(const QByteArray& chunk)>& chunk);

// Bytes arriving from the server through the socket double, the main tick running a few
// times after them as it would between arrivals.
void Arrive(TestDoubles::FakeWinsock& socket, const QByteArray& chunk);

// Runs the main tick until every whole packet of the stream can have left the receive ring,
// then checks that the packets handed on are the stream cut into whole packets, in order.
void CheckPacketsHandedOn(const std::vector<Packet>& handed, const QByteArray& stream);

// Creates the application object once, unless a test main already did.
void EnsureApplication();

// A client at its start with fresh recording doubles. With a table, the table window is
// loaded offscreen the way start-up loads it (no connection): once per process, and for every
// later input emptied, the modules reset and the table loaded into it again, which leaves it
// as a freshly loaded one would be (DispatcherResetTest holds this). Without, closing the
// client resets it.
class Client {
public:
    explicit Client(bool withTable);
    ~Client();
    Client(const Client&) = delete;
    Client& operator=(const Client&) = delete;

    TestDoubles::ClientDoubles doubles;

private:
    bool withTable;
};

// A new table window for every input instead of the kept one: the reference that the kept
// window is checked against.
void LoadNewTableEachInput(bool fresh);

// The table window of the inputs, or nullptr before the first.
MainForm* Table();
// The doubles the last client installed; a table input leaves them in place after it.
const TestDoubles::ClientDoubles& LastDoubles();

}  // namespace FuzzSupport
