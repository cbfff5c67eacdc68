#pragma once
// The timed duties of the table besides the main tick's own. The keep-alive: between the
// entry result and the deal the table window's TimerKeepAlive sends a command-24 packet every
// five seconds so that the server keeps the seat.
class MainForm;

namespace Clocks {

// The window's timers get their duties.
void ConnectClocks(MainForm& form);

void StartKeepAlive();
void StopKeepAlive();
// Queues one keep-alive packet with the user's seat bit.
void SendKeepAlive();

}  // namespace Clocks
