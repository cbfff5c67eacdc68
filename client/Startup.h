#pragma once
// Start-up: the one place that wires the modules together, and the load of the table window.
#include <QSize>
#include <QStringList>

class MainForm;

namespace Startup {

// The whole load of the table window, in its fixed order: the modules and the window wired,
// then the table loaded into it. Returns false when start-up ended the program (with a test
// double installed the process is still there).
bool LoadMainForm(MainForm& form, const QStringList& arguments, QSize screen);
// The load after the wiring: placing, laying out and filling the window, the command line,
// the connection, showing it. A window emptied by the end-of-table steps and ResetModules
// takes the table again this way without being wired twice.
bool LoadTable(MainForm& form, const QStringList& arguments, QSize screen);

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
// The same, except that what the table window gave the modules (its pop-ups, the exit
// choices, the control side of the display reset, the camera start) stays with them: for a
// window that is kept and loaded again.
void ResetModules();

}  // namespace Startup
