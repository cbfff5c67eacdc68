#pragma once
// What every fuzz target provides and what they share: one application object for the whole
// process (offscreen, with the platform doubles), and a fresh client, optionally with its
// table window, per input so that runs do not depend on each other.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "common/ClientDoubles.h"

class MainForm;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace FuzzSupport {

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
