#include "common/ClientDoubles.h"

#include <memory>

#include "Startup.h"
#include "common/doubles/PlatformDoubles.h"
#include "session/Platform.h"
#include "session/Transport.h"
#include "sound/Mod_Sound.h"
#include "video/VideoLinks.h"

namespace TestDoubles {

ClientDoubles ResetClientWithDoubles(WindowWiring wiring)
{
    Platform::RestoreDefaults();
    InstallPlatformDoubles();
    Platform::SetWaitFactor(0.01);
    Platform::SetInstanceCheck([] { return false; });
    Seen() = Record{};
    if (wiring == WindowWiring::Stays)
        Startup::ResetModules();
    else
        Startup::ResetClient();

    ClientDoubles d;
    auto fakeSocket = std::make_unique<FakeWinsock>();
    d.socket = fakeSocket.get();
    SetWinsock1(std::move(fakeSocket));
    Transport::AttachSocket();

    auto fakeHall = std::make_unique<FakeHall>();
    d.hall = fakeHall.get();
    HallLink::SetChannel(std::move(fakeHall));

    auto fakeSound = std::make_unique<FakeSoundDevice>();
    d.soundDevice = fakeSound.get();
    Mod_Sound::SetSoundDevice(std::move(fakeSound));
    Mod_Sound::ResetSound();
    d.soundDevice->calls.clear();

    // Never a real camera, nor a link to a relay.
    auto fakePeer = std::make_unique<FakeP2PSocket>();
    d.peerLink = fakePeer.get();
    SetP2PSocket1(std::move(fakePeer));
    auto fakeCamera = std::make_unique<FakeVCap>();
    d.camera = fakeCamera.get();
    SetVCap1(std::move(fakeCamera));
    VideoLinks::Connect();
    return d;
}

void ResetClientAfterUse()
{
    Startup::ResetClient();
    Platform::RestoreDefaults();
    InstallPlatformDoubles();
}

}  // namespace TestDoubles
