#pragma once
// Leaving the table: the exit confirmation's choices, the notice window's choices, the close
// steps (the leave packet, then the socket closed), the end-of-table steps (everything of the
// table emptied while the process goes on for the hall), and the end of the table window.
#include <QString>

namespace Shutdown {

// The toolbar's exit and the frame's close button: the confirmation, or away again if it shows.
void ExitAction();
// The confirmation's OK and Cancel.
void ConfirmExit();
void CancelExit();

// The notice window with a text of the caller, centred over the table; its OK leaves the
// table, its Cancel stays (and the start button will close the table).
void ShowOtherExit(const QString& text);
void OtherExitOk();
void OtherExitCancel();

// Tells the server the user leaves (when still connected) and closes the socket.
void CloseSteps();

// Every task and timer of the link stops (the reconnect controller and the link watch among
// them) and the socket closes: nothing more is sent, received or tried.
void StopLink();

// Clears the table, drops the connection and minimises the window; the hall may bring the
// table back later with message 22.
void EndOfTableSteps();

// No game any more, the end-of-table steps, and the table record and display reset for a new
// login: the table's part of every way of leaving (and of a lost link).
void EmptyTable();

// Leaves for the hall, or ends the program when no hall is left.
void LeaveForHall();

// The table window goes: the sound stops, every window goes, the program ends.
void UnloadMainForm();

// An end that cannot wait for the confirmation (a logout, a terminate signal): the leave
// packet when connected, the hall brought back when there is one, then the unload steps.
void LeaveAtOnce();

// The choices of the two windows given to them.
void ConnectExitWindows();

}  // namespace Shutdown
