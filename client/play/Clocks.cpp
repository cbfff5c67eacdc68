#include "play/Clocks.h"

#include <QTimer>

#include "session/Platform.h"
#include "session/Transport.h"
#include "table/Outgoing.h"
#include "table/TableState.h"
#include "ui/Layout.h"
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
    // One sent after a long box would only say what the next live packet says.
    if (Platform::BoxWaiting())
        return;
    Transport::SendPacket(Outgoing::KeepAlive(TableState.Seats[0].seatBit));
}

void StartTurnClock()
{
    // The first second is counted on the next tick.
    TableState.Clock.TurnClockLastRun = -1;
    Transport::StartTask(Transport::TurnClockTask);
}

void StopTurnClock()
{
    Transport::StopTask(Transport::TurnClockTask);
}

void StartReadyClock(int seconds)
{
    TableState.Clock.ClockValue = static_cast<int16_t>(seconds);
    TableState.Clock.ReadyClockLastRun = -1;
    Transport::StartTask(Transport::ReadyClockTask);
}

void StopReadyClock()
{
    Transport::StopTask(Transport::ReadyClockTask);
}

void StartBlink()
{
    TableState.Clock.BlinkCount = 8;
    Transport::StartTask(Transport::BlinkTask);
}

void ShowClockValue(MainForm& form, int value)
{
    form.Number->setText(QString::number(value));
    QPalette palette = form.Number->palette();
    palette.setColor(QPalette::WindowText, value < 6 ? QColor(255, 0, 0) : QColor(0, 255, 0));
    form.Number->setPalette(palette);
}

void PlaceClock(MainForm& form, QPoint at)
{
    form.Time_Img->move(at);
    form.Number->move(at.x() + Layout::ScaledX(48), at.y() + Layout::ScaledY(5));
    form.Time_Img->raise();
    form.Number->raise();
}

void ShowStartingClock(MainForm& form)
{
    form.Number->setText(QString::number(TableState.Clock.ClockValue));
    QPalette palette = form.Number->palette();
    palette.setColor(QPalette::WindowText, QColor(0, 255, 0));
    form.Number->setPalette(palette);
    form.Time_Img->show();
    form.Number->show();
    form.Time_Img->raise();
    form.Number->raise();
}

void HideClock(MainForm& form)
{
    form.Time_Img->hide();
    form.Number->hide();
}

bool SecondElapsed(double& lastRun)
{
    constexpr double Day = 24 * 60 * 60;
    const double now = Platform::SecondsSinceMidnight();
    double elapsed = now - lastRun;
    if (elapsed < 0)
        elapsed += Day;
    if (lastRun >= 0 && elapsed < 1.0)
        return false;
    lastRun = now;
    return true;
}

}  // namespace Clocks
