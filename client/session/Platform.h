#pragma once
// The thin layers between the client and the machine: message boxes, the end of the program,
// the clock and waits that keep the window responsive. Tests replace each through its setter.
#include <functional>
#include <QString>
#include <QStringList>

namespace Platform {

// A message box with an OK button only; returns when the user has answered it.
void ShowMessageBox(const QString& text, const QString& title);
void SetMessageBoxHandler(std::function<void(const QString& text, const QString& title)> handler);

// A message box with OK and Cancel; true when the user chose OK.
bool AskOkCancel(const QString& text, const QString& title);

// While a box waits for its answer the table holds still: the link's tick, the reconnect
// attempts and the keep-alive wait, and arriving packets are held back.
bool BoxWaiting();
void SetOkCancelHandler(std::function<bool(const QString& text, const QString& title)> handler);

// Hands a web address or a folder to the desktop to open.
void ShellOpen(const QString& target);
void SetShellOpenHandler(std::function<void(const QString& target)> handler);

// Starts another program, detached from this one; false when it could not be started.
bool StartProgram(const QString& program, const QStringList& arguments);
void SetStartProgramHandler(std::function<bool(const QString& program, const QStringList& arguments)> handler);

// Ends the process. With a test handler installed the call returns and the caller must
// return at once as well; real code never comes back.
void EndProgram(int exitCode = 0);
void SetEndProgramHandler(std::function<void(int exitCode)> handler);
// Run just before the real end, so queued hall messages and logs reach their peers.
void AddEndHook(std::function<void()> hook);

// Seconds since local midnight; the turn clocks compare these.
double SecondsSinceMidnight();
void SetClock(std::function<double()> clock);

// Keeps processing window events until done() holds or the time is up; returns done().
// Tests shrink every wait with a factor below 1.
bool PumpUntil(const std::function<bool()>& done, int timeoutMs);
void PumpFor(int ms);
void SetWaitFactor(double factor);
// A wait of the design's length as it runs here: shrunk by the factor in tests. For timers
// whose interval is a wait (the reconnect rhythm).
int ScaledWait(int ms);

// Whether another copy of the client already runs for this user. The first caller keeps a
// lock for the life of the process.
bool AnotherInstanceRunning();
void SetInstanceCheck(std::function<bool()> check);

// The directory of the executable; files beside the program live here. Tests may point it
// elsewhere; an empty text goes back to the executable's directory.
QString ProgramDir();
void SetProgramDir(const QString& dir);
// Where the program's own files are read from (chat.ini, filtchat.txt, and the sound folder
// "common" beside it). From a build tree that is the program's folder; installed, the programs
// and the data live apart, and the installation's data folder stands in for the program's.
// Follows SetProgramDir.
QString DataDir();
// Where the program writes for its user (the round history, the log, the photo album): the
// program's folder in a build tree, where the user owns it; installed, the user's own data
// folder (created when asked for), since the installation is read-only. Follows SetProgramDir.
QString UserDir();

// Back to the real layers (tests restore them between cases).
void RestoreDefaults();

}  // namespace Platform
