#pragma once
// Taking the table down: what runs whenever the table closes while the process goes on.
namespace Shutdown {

// Clears the table, drops the connection and minimises the window; the hall may bring the
// table back later with message 22.
void EndOfTableSteps();

}  // namespace Shutdown
