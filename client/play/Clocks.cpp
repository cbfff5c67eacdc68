#include "play/Clocks.h"

#include <QTimer>

#include "protocol/Outgoing.h"
#include "protocol/TableState.h"
#include "session/Transport.h"
#include "ui/MainForm.h"

namespace Clocks {

void ConnectClocks(MainForm& form)
{
    QObject::connect(form.TimerKeepAlive, &QTimer::timeout, &form, [] { SendKeepAlive(); });
}

void StartKeepAlive()
{
    if (MainForm* form = TheMainForm())
        form->TimerKeepAlive->start();
}

void StopKeepAlive()
{
    if (MainForm* form = TheMainForm())
        form->TimerKeepAlive->stop();
}

void SendKeepAlive()
{
    Transport::SendPacket(Outgoing::KeepAlive(TableState.Seats[0].seatBit));
}

}  // namespace Clocks
