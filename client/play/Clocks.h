#pragma once
// The clocks of the table: the turn clock and the ready clock that share the number Number and
// the picture Time_Img, the blink of the chat button, and the keep-alive between the entry
// result and the deal. Starting and stopping them is here; what they do on their ticks is in
// ClockTasks.
#include <QPoint>

class MainForm;

namespace Clocks {

// The window's keep-alive timer gets its duty.
void ConnectClocks(MainForm& form);

void StartKeepAlive();
void StopKeepAlive();
// Queues one keep-alive packet with the user's seat bit.
void SendKeepAlive();

// The turn clock counts ClockValue down from the next whole second on; the caller has set
// ClockValue and shows the clock.
void StartTurnClock();
void StopTurnClock();
// The ready clock counts from seconds down and then asks for the next game.
void StartReadyClock(int seconds);
void StopReadyClock();
// Eight picture changes of the chat button, about three seconds.
void StartBlink();

// The number in Number: red below 6, green otherwise.
void ShowClockValue(MainForm& form, int value);
// The clock picture at a place of the table, its number beside it, both in front.
void PlaceClock(MainForm& form, QPoint at);
// A starting clock: ClockValue in green whatever it is, picture and number shown in front.
void ShowStartingClock(MainForm& form);
// No clock shows.
void HideClock(MainForm& form);

// Whether a second has passed since the last run (kept in lastRun, seconds since midnight);
// stores now as the last run when it has. A clock that passed midnight counts on.
bool SecondElapsed(double& lastRun);

}  // namespace Clocks
