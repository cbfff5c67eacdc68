#pragma once
// Start-up: the one place that wires the modules together, and the load of the table window.
#include <QSize>
#include <QStringList>

class MainForm;

namespace Startup {

// The whole load of the table window, in its fixed order. Returns false when start-up
// ended the program (with a test double installed the process is still there).
bool LoadMainForm(MainForm& form, const QStringList& arguments, QSize screen);

// Registers every module with the floors below it: the dispatcher as the packet handler, the
// tick tasks, the hall's messages, the table's part of a lost link. Needs no window.
void ConnectModules();
// Gives the window's controls and timers their duties.
void ConnectWindow(MainForm& form);

// A logout or a terminate signal leaves the table at once (the program's own process only:
// tests do not take over the signals).
void WatchOutsideEnd();

// Every module back to its state at process start (the platform layers in place stay), then
// wired again: what a test runs between cases.
void ResetClient();

}  // namespace Startup
