#include "common/ClientFixture.h"

#include <memory>

#include "Startup.h"
#include "session/Platform.h"
#include "session/Transport.h"
#include "sound/Mod_Sound.h"
#include "video/VideoLinks.h"

namespace TestDoubles {

void ClientFixture::SetUp()
{
    Platform::RestoreDefaults();
    InstallPlatformDoubles();
    Platform::SetWaitFactor(0.01);
    Platform::SetInstanceCheck([] { return false; });
    Seen() = Record{};
    Startup::ResetClient();

    auto fakeSocket = std::make_unique<FakeWinsock>();
    socket = fakeSocket.get();
    SetWinsock1(std::move(fakeSocket));
    Transport::AttachSocket();

    auto fakeHall = std::make_unique<FakeHall>();
    hall = fakeHall.get();
    HallLink::SetChannel(std::move(fakeHall));

    auto fakeSound = std::make_unique<FakeSoundDevice>();
    soundDevice = fakeSound.get();
    Mod_Sound::SetSoundDevice(std::move(fakeSound));
    Mod_Sound::ResetSound();
    soundDevice->calls.clear();

    // Never a real camera, nor a link to a relay, in a test that does not bring its own.
    auto fakePeer = std::make_unique<FakeP2PSocket>();
    peerLink = fakePeer.get();
    SetP2PSocket1(std::move(fakePeer));
    auto fakeCamera = std::make_unique<FakeVCap>();
    camera = fakeCamera.get();
    SetVCap1(std::move(fakeCamera));
    VideoLinks::Connect();
}

void ClientFixture::TearDown()
{
    Startup::ResetClient();
    Platform::RestoreDefaults();
    InstallPlatformDoubles();
}

}  // namespace TestDoubles
