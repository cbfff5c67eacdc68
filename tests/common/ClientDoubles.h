#pragma once
// The whole client put back to its start-up state, with recording doubles in the place of
// the socket, the hall channel, the sound output, the video components and the platform
// layers. Shared by the test
// fixture and the fuzz targets, which have no test framework around them.
#include "common/doubles/FakeHall.h"
#include "common/doubles/FakeSoundDevice.h"
#include "common/doubles/FakeVideo.h"
#include "common/doubles/FakeWinsock.h"

namespace TestDoubles {

struct ClientDoubles {
    FakeWinsock* socket = nullptr;
    FakeHall* hall = nullptr;
    FakeSoundDevice* soundDevice = nullptr;
    FakeP2PSocket* peerLink = nullptr;
    FakeVCap* camera = nullptr;
};

// Whether what a kept table window gave the modules stays (see Startup::ResetModules).
enum class WindowWiring { Drops, Stays };

// Resets every module and installs fresh doubles; the pointers stay valid until the next call.
ClientDoubles ResetClientWithDoubles(WindowWiring wiring = WindowWiring::Drops);

// Resets every module and puts the platform layers back to their recording doubles.
void ResetClientAfterUse();

}  // namespace TestDoubles
