#pragma once
// Watching the link to the game server once logged in.
#include <functional>

namespace ConnectionWatch {

// The link-watch tick task: notices a socket that is no longer connected. Between rounds the
// table closes quietly; during a round with the login confirmed the reconnect controller
// takes over.
void LinkWatchStep();
// The link is gone (or never came up): close the table and hand the screen to the hall.
void ConnectionLost();
// No packet for about 500 seconds during a round.
void SilenceWatchFired();

// Whether a round is running: the silence watch only counts then. The table registers
// the question; without it no round ever runs.
void SetRoundQuery(std::function<bool()> roundRunning);
bool RoundRunning();
// The table's part of closing for the hall, run after the window went down and the hall was
// called back: the end-of-table steps and the resets of the table record.
void SetCloseTableSteps(std::function<void()> steps);

// The keep-alive timer of the table, started when a reconnect begins.
void SetKeepAliveStart(std::function<void()> start);

// Registers the link watch with the main tick.
void RegisterTasks();
// Drops both registrations.
void Reset();

}  // namespace ConnectionWatch
