// Ends asked for from outside: a real signal to this process reaches the handler through the
// event loop, once, and the signals get their default actions back when the watch ends.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <csignal>

#include "session/OutsideEnd.h"

namespace {

int RunsWithin(const int& runs, int ms)
{
    for (QDeadlineTimer deadline(ms); runs == 0 && !deadline.hasExpired();)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return runs;
}

}  // namespace

TEST(OutsideEndTest, EachSignalRunsTheHandlerOnceFromTheEventLoop)
{
    for (int number : {SIGTERM, SIGHUP, SIGINT}) {
        int runs = 0;
        OutsideEnd::Watch([&runs] { ++runs; });
        ASSERT_EQ(std::raise(number), 0);
        EXPECT_EQ(runs, 0) << number;  // not inside the signal handler
        EXPECT_EQ(RunsWithin(runs, 2000), 1) << number;
        // A second request while the first is under way changes nothing.
        std::raise(SIGTERM);
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        EXPECT_EQ(runs, 1) << number;
        OutsideEnd::Unwatch();
    }
    struct sigaction current {};
    sigaction(SIGTERM, nullptr, &current);
    EXPECT_EQ(current.sa_handler, SIG_DFL);
}
