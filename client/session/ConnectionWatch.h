#pragma once
// Watching the link to the game server once logged in.
namespace ConnectionWatch {

// The link-watch tick task: notices a socket that is no longer connected.
void LinkWatchStep();
// The link is gone (or never came up): close the table and hand the screen to the hall.
void ConnectionLost();
// No packet for about 500 seconds during a round.
void SilenceWatchFired();

}  // namespace ConnectionWatch
