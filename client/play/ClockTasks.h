#pragma once
// What the clocks do on the main tick: the blink of the chat button, the turn clock with its
// automatic play when the time runs out, and the ready clock that asks for the next game.
namespace ClockTasks {

// Registers the three steps with the main tick.
void RegisterTasks();

void BlinkStep();
void TurnClockStep();
void ReadyClockStep();

// The play the clock makes for the user when the turn runs out: the first hint, played; and if
// that sends nothing (a stale or empty proposal), the lowest card when leading or a pass when
// following, so that the turn never ends without an answer.
void AutomaticPlay();

}  // namespace ClockTasks
