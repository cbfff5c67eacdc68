#pragma once
// Taking the table down: what runs whenever the table closes while the process goes on.
namespace Shutdown {

// Clears the table, drops the connection and minimises the window; the hall may bring the
// table back later with message 22.
void EndOfTableSteps();

// The table's part of a lost link, once the window is down and the hall was called back:
// no game any more, the end-of-table steps, and the table record reset for a new login.
void TableLostSteps();

}  // namespace Shutdown
