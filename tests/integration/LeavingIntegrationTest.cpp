// Leaving the table with real processes: the server closes the table with a notice, a client
// whose hall has gone ends at the next step that needs the hall instead of waiting, and a
// client told to terminate during a round still says it leaves.
#include "integration/ProgramsFixture.h"

namespace {

class Leaving : public IntegrationTest::Programs {
protected:
    // The server with its standard input open for operator commands; returns its port.
    int StartServerWithConsole() { return StartServer({"--bots", "3", "--ready-seconds", "0"}, server, serverOut); }

    QProcess* server = nullptr;
    QString serverOut;
};

}  // namespace

TEST_F(Leaving, TheServerClosingTheTableBringsTheHallBack)
{
    const int port = StartServerWithConsole();
    ASSERT_GT(port, 0);
    QProcess* hall = Start("hallmere", {"--headless", "--launch", Line(port)});
    QString hallOut;
    ASSERT_TRUE(WaitForOutput(hall, hallOut, QRegularExpression("recv 771\\n(.*\\n)*.*recv 771\\n")))
        << hallOut.toStdString();
    ASSERT_TRUE(WaitForOutput(server, serverOut, QRegularExpression("alice sits down")));

    server->write(QStringLiteral("close 本桌已关闭\n").toUtf8());
    ASSERT_TRUE(WaitForOutput(server, serverOut, QRegularExpression("table closes: 本桌已关闭")));
    // The client shows the notice, closes its table and brings the hall back; it stays for it.
    ASSERT_TRUE(WaitForOutput(hall, hallOut, QRegularExpression("recv 61728"), 15000)) << hallOut.toStdString();
    EXPECT_FALSE(hallOut.contains("client exited")) << hallOut.toStdString();
}

TEST_F(Leaving, WithTheHallGoneTheClientEndsWhenTheTableCloses)
{
    const int port = StartServerWithConsole();
    ASSERT_GT(port, 0);
    // The client on its own, with a hall that is killed once the client sits at the table.
    QProcess* hall = Start("hallmere", {"--headless"});
    QString hallOut;
    QProcess* client = Start("quellor", {Line(port)});
    // Seated with the three others: the table came up and put the hall aside.
    ASSERT_TRUE(WaitForOutput(hall, hallOut, QRegularExpression("recv 61472"))) << hallOut.toStdString();
    hall->kill();
    hall->waitForFinished(3000);

    // Without a hall the client keeps its table ...
    EXPECT_FALSE(client->waitForFinished(1500));
    // ... until the table closes and would hand the screen back to a hall that is not there.
    server->write(QStringLiteral("close 本桌已关闭\n").toUtf8());
    ASSERT_TRUE(server->waitForBytesWritten(3000));
    QDeadlineTimer closing(3000);
    EXPECT_TRUE(client->waitForFinished(20000)) << serverOut.toStdString();
    EXPECT_TRUE(closing.hasExpired());  // after the notice's waits, not at once
    EXPECT_EQ(client->exitStatus(), QProcess::NormalExit);
}

TEST_F(Leaving, ATerminatedClientStillLeavesTheRound)
{
    const int port = StartServer({"--bots", "3", "--ready-seconds", "1"}, server, serverOut);
    ASSERT_GT(port, 0);
    QProcess* hall = Start("hallmere", {"--headless"});
    QString hallOut;
    QProcess* client = Start("quellor", {Line(port)});
    ASSERT_TRUE(WaitForOutput(server, serverOut, QRegularExpression("round 1: level"), 20000)) << serverOut.toStdString();

    // What a logout or `kill` does: no confirmation can be waited for.
    client->terminate();
    ASSERT_TRUE(client->waitForFinished(10000));
    EXPECT_EQ(client->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(client->exitCode(), 0);
    EXPECT_TRUE(WaitForOutput(server, serverOut, QRegularExpression("alice leaves during round 1"), 5000))
        << serverOut.toStdString();
    EXPECT_FALSE(serverOut.contains("alice lost the link")) << serverOut.toStdString();
    // The hall is brought back on the way out.
    EXPECT_TRUE(WaitForOutput(hall, hallOut, QRegularExpression("recv 61728"), 3000)) << hallOut.toStdString();
}
