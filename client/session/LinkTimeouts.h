#pragma once
// A peer or route that dies without a word (a router dropping its state, a server machine
// losing power, a laptop changing networks) never resets the connection, and the socket would
// wait for minutes. On a connected socket these make it fail within about 25 s instead, so the
// loss takes the ordinary lost-link path: keep-alive probes after 10 s of silence, then every
// 5 s, lost after 3 unanswered; and data left unacknowledged for 25 s fails it too (probes are
// not sent while data waits for its acknowledgement). A live peer's kernel answers the probes,
// so a quiet but healthy link is never cut.
class QAbstractSocket;

namespace LinkTimeouts {

struct Timings {
    int idleSeconds = 10;
    int intervalSeconds = 5;
    int probes = 3;
    int unacknowledgedMs = 25000;
};

// Applies them to a connected socket; false when the system refused one of them.
bool Apply(QAbstractSocket& socket, const Timings& timings = {});

}  // namespace LinkTimeouts
