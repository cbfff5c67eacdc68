// A route that dies without a word: server and client run in a network namespace of the
// test's own, and its loopback is taken down mid-round. Nothing resets the connection, so only
// the client's dead-peer timings can notice; it must start reconnecting within 40 s and get
// back into the round once the loopback is up again. Needs root (to make the namespace).
#include <QElapsedTimer>

#include <cstdio>
#include <unistd.h>

#include "integration/ProgramsFixture.h"

namespace {

class DeadNetwork : public IntegrationTest::Programs {
protected:
    // Runs a command inside the namespace and waits for it; true when it succeeded.
    bool InNamespace(const QStringList& command)
    {
        return QProcess::execute("/usr/bin/nsenter", QStringList{"-t", holderPid, "-n", "--"} + command) == 0;
    }

    // One of our programs inside the namespace.
    QProcess* StartInside(const QString& program, const QStringList& arguments)
    {
        return Start("/usr/bin/nsenter", QStringList{"-t", holderPid, "-n", "--", IntegrationTest::BinDir + "/" + program} + arguments);
    }

    // Why the namespace cannot be made here, or empty when it is ready with its loopback up.
    QString MakeNamespace()
    {
        if (::geteuid() != 0)
            return "making a network namespace needs root";
        for (const char* tool : {"/usr/bin/unshare", "/usr/bin/nsenter"})
            if (!QFile::exists(tool))
                return QString("%1 is missing").arg(tool);
        if (QStandardPaths::findExecutable("ip").isEmpty() && !QFile::exists("/usr/sbin/ip"))
            return "ip (iproute2) is missing";
        // The namespace lives as long as this process that sits in it.
        QProcess* holder = Start("/usr/bin/unshare", {"-n", "sleep", "600"});
        if (!holder->waitForStarted(3000) || holder->waitForFinished(300))
            return "unshare -n is refused here: " + QString::fromUtf8(holder->readAll()).trimmed();
        holderPid = QString::number(holder->processId());
        if (!InNamespace({"ip", "link", "set", "lo", "up"}))
            return "the namespace's loopback cannot be brought up";
        return {};
    }

    QString holderPid;
};

}  // namespace

TEST_F(DeadNetwork, ALinkWithNoWayThroughIsNoticedAndTheRoundGoesOnOnceTheRouteIsBack)
{
    const QString reason = MakeNamespace();
    if (!reason.isEmpty())
        GTEST_SKIP() << "skipped: " << reason.toStdString();

    // Long turns: the round must still be running when the client comes back.
    QProcess* server = StartInside("quellor-server", {"--port", "0", "--bots", "3", "--ready-seconds", "1",
                                                      "--turn-seconds", "150"});
    QString serverOut;
    const QRegularExpression listening("listening on 127\\.0\\.0\\.1:(\\d+)");
    ASSERT_TRUE(WaitForOutput(server, serverOut, listening)) << serverOut.toStdString();
    const int port = listening.match(serverOut).captured(1).toInt();

    QProcess* hall = Start("hallmere", {"--headless"});
    ASSERT_NE(hall, nullptr);
    QProcess* client = StartInside("quellor", {Line(port)});
    QString clientOut;
    ASSERT_TRUE(WaitForOutput(server, serverOut, QRegularExpression("round 1: level"), 20000)) << serverOut.toStdString();
    // The deal reaches the client and the first plays go by.
    QThread::msleep(2000);

    // No reset, no error: every packet just goes nowhere.
    ASSERT_TRUE(InNamespace({"ip", "link", "set", "lo", "down"}));
    QElapsedTimer sinceDown;
    sinceDown.start();
    ASSERT_TRUE(WaitForOutput(client, clientOut, QRegularExpression("reconnect attempt 1"), 60000))
        << clientOut.toStdString();
    const double noticed = sinceDown.elapsed() / 1000.0;
    std::printf("[ measured ] route down to the first reconnect attempt: %.1f s\n", noticed);
    std::fflush(stdout);
    EXPECT_LT(noticed, 40.0);
    EXPECT_TRUE(clientOut.contains("link to the server was lost during the round")) << clientOut.toStdString();

    ASSERT_TRUE(InNamespace({"ip", "link", "set", "lo", "up"}));
    EXPECT_TRUE(WaitForOutput(server, serverOut, QRegularExpression("alice reconnected"), 30000))
        << serverOut.toStdString() << clientOut.toStdString();
    EXPECT_EQ(client->state(), QProcess::Running) << clientOut.toStdString();
}
