#include "session/Shutdown.h"

#include <QFile>

#include "protocol/TableState.h"
#include "session/Platform.h"
#include "session/Transport.h"
#include "session/Winsock1.h"
#include "ui/MainForm.h"

namespace Shutdown {

void EndOfTableSteps()
{
    TableState.RoundRunning = false;

    Transport::ClearAllTasks();
    Transport::EnableTimerBong(false);
    if (MainForm* form = TheMainForm())
        form->TimerKeepAlive->stop();

    SysmsgClear(0);
    SysmsgClear(1);

    Winsock1().Close();
    TableState.AwaitingEntryReply = false;
    Platform::PumpUntil([] { return Winsock1().State() != SocketState::Connected; }, 2000);

    for (int i = 0; i < 4; ++i) {
        TableState.Seats[static_cast<size_t>(i)].seatKey.clear();
        TableState.Seats[static_cast<size_t>(i)].seatBit = 0;
        TableState.Players[static_cast<size_t>(i)] = PlayerRecord{};
    }
    // The round history only ever covers the current table.
    QFile::remove(Platform::ProgramDir() + QStringLiteral("/info.hm"));

    Transport::EmptyRings();
    MinimizeMainForm();
    TableState.Hidden = false;
}

}  // namespace Shutdown
