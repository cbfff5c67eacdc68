#pragma once
// What every fuzz target provides and what they share: one application object for the whole
// process (offscreen, with the platform doubles), and a fresh client, optionally with its
// table window, per input so that runs do not depend on each other.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

#include <QByteArray>

#include "common/ClientDoubles.h"
#include "wire/Packet.h"

class MainForm;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace FuzzSupport {

// A property every input must keep. When it fails, the fuzzer's run stops with the text of
// what failed and keeps the input as a crash; the corpus replay, which reports inputs one by
// one, has it thrown as CheckFailed instead (see ThrowFailedChecks).
void FuzzCheck(bool holds, const char* what);

struct CheckFailed : std::runtime_error {
    using std::runtime_error::runtime_error;
};
void ThrowFailedChecks();

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

// A fresh client with recording doubles; the table window is loaded offscreen the way
// start-up loads it (no connection) when withTable is set. Closing it resets the client.
class Client {
public:
    explicit Client(bool withTable);
    ~Client();
    Client(const Client&) = delete;
    Client& operator=(const Client&) = delete;

    TestDoubles::ClientDoubles doubles;

private:
    std::unique_ptr<MainForm> form;
};

}  // namespace FuzzSupport
