#include "common/Doubles.h"

#include <memory>

#include "protocol/TableState.h"
#include "session/Platform.h"
#include "session/Startup.h"
#include "session/Transport.h"

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
}

void ClientFixture::TearDown()
{
    Transport::Reset();
    Platform::RestoreDefaults();
    InstallPlatformDoubles();
}

}  // namespace TestDoubles
