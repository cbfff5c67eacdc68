#include "protocol/Shutdown.h"

#include <QFile>

#include "play/Clocks.h"
#include "protocol/TableState.h"
#include "session/Connection.h"
#include "session/Platform.h"
#include "session/TableWindow.h"
#include "session/Transport.h"
#include "session/Winsock1.h"
#include "ui/InfoWindows.h"

namespace Shutdown {

void EndOfTableSteps()
{
    TableState.Round.RoundRunning = false;

    Transport::ClearAllTasks();
    Transport::EnableTimerBong(false);
    Clocks::StopKeepAlive();

    SysmsgClear(0);
    SysmsgClear(1);

    Winsock1().Close();
    Connection::Link.AwaitingEntryReply = false;
    Platform::PumpUntil([] { return Winsock1().State() != SocketState::Connected; }, 2000);

    for (size_t i = 0; i < 4; ++i) {
        TableState.Seats[i].seatKey.clear();
        TableState.Seats[i].seatBit = 0;
        TableState.Players[i] = PlayerRecord{};
    }
    // The round history only ever covers the current table.
    QFile::remove(Platform::ProgramDir() + QStringLiteral("/info.hm"));
    InfoWindows::Clear();

    Transport::EmptyRings();
    MinimizeMainForm();
    TableState.Clock.Hidden = false;
}

void TableLostSteps()
{
    TableState.Table.GameStarted = false;
    EndOfTableSteps();
    PlayStateResetSecond();
    DisplayReset();
}

}  // namespace Shutdown
