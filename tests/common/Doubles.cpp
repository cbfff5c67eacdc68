#include "common/Doubles.h"

#include <memory>

#include "protocol/TableState.h"
#include "session/Platform.h"
#include "session/Startup.h"
#include "session/Transport.h"
#include "sound/Mod_Sound.h"

namespace TestDoubles {

Record& Seen()
{
    static Record record;
    return record;
}

void InstallPlatformDoubles()
{
    Platform::SetMessageBoxHandler([](const QString& text, const QString& title) {
        Seen().messageBoxes.push_back({text, title});
    });
    Platform::SetEndProgramHandler([](int code) {
        ++Seen().endCalls;
        Seen().lastExitCode = code;
    });
    Platform::SetOkCancelHandler([](const QString& text, const QString& title) {
        Seen().okCancelBoxes.push_back({text, title});
        return Seen().answerOk;
    });
    Platform::SetShellOpenHandler([](const QString& target) { Seen().shellOpened.push_back(target); });
    Platform::SetStartProgramHandler([](const QString& program, const QStringList& arguments) {
        Seen().programsStarted.push_back({program, arguments});
        return true;
    });
}

void ClientFixture::SetUp()
{
    Platform::RestoreDefaults();
    InstallPlatformDoubles();
    Platform::SetWaitFactor(0.01);
    Platform::SetInstanceCheck([] { return false; });
    Seen() = Record{};
    Transport::Reset();
    ResetTableState();
    Startup::Session = Startup::CommandLine{};
    Startup::EntryRequest = Packet{};
    HallLink::HallCaption = QStringLiteral("Hallmere");

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
}

void ClientFixture::TearDown()
{
    Transport::Reset();
    Platform::RestoreDefaults();
    InstallPlatformDoubles();
}

}  // namespace TestDoubles
