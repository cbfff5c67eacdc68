#pragma once
// Requests to end the program that come from outside the table instead of from its close
// button: a terminate, hang-up or interrupt signal (a logout, `kill`, a terminal closing) and
// the desktop session asking its programs to go. None of them can wait for the exit
// confirmation, so each runs the handler the leaving steps registered, once, from the event
// loop (never inside a signal handler).
#include <functional>

namespace OutsideEnd {

// Starts watching: the handler runs once, on the first request.
void Watch(std::function<void()> handler);
// Stops watching; the signals get their default actions back.
void Unwatch();

}  // namespace OutsideEnd
