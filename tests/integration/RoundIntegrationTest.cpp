// Whole rounds with real processes: nobody touches the table. The server makes the silent
// player ready once the table is full, every turn of the user is played by the client's own
// clock, and after each round the client's score board must agree with the server's scoring.
#include <QRegularExpression>

#include "integration/ProgramsFixture.h"
#include "integration/ScoreBoard.h"

using IntegrationTest::BinDir;
using IntegrationTest::ExpectScoreBoardAgrees;
using IntegrationTest::Programs;

TEST_F(Programs, UnattendedClientPlaysTwoRoundsThatAgreeWithTheServer)
{
    // The client keeps its round history beside the program.
    const QString historyFile = BinDir + QStringLiteral("/info.hm");
    QFile::remove(historyFile);

    QProcess* server = nullptr;
    QString out;
    const int port = StartServer({"--bots", "3", "--seed", "11", "--bot-delay-ms", "60", "--turn-seconds", "1",
                                  "--ready-seconds", "1"},
                                 server, out);
    ASSERT_GT(port, 0);
    Start("hallmere", {"--headless", "--launch", Line(port)});

    // Two rounds, the second after the client's own 15-second ready clock.
    const QRegularExpression secondRound("round 2 won by[^\\n]*\\n(.*\\n)*  turns of seat 0 alice[^\\n]*\\n");
    ASSERT_TRUE(WaitForOutput(server, out, secondRound, 200000)) << out.toStdString();

    const QRegularExpression turns(
        "turns of seat 0 alice: (\\d+) by the player, (\\d+) on time-out, (\\d+) refused, (\\d+) out of turn");
    int rounds = 0;
    for (auto it = turns.globalMatch(out); it.hasNext(); ++rounds) {
        const QRegularExpressionMatch figures = it.next();
        EXPECT_GT(figures.captured(1).toInt(), 3) << out.toStdString();
        EXPECT_EQ(figures.captured(2).toInt(), 0) << out.toStdString();
        EXPECT_EQ(figures.captured(3).toInt(), 0) << out.toStdString();
        EXPECT_EQ(figures.captured(4).toInt(), 0) << out.toStdString();
    }
    EXPECT_EQ(rounds, 2);

    ExpectScoreBoardAgrees(out, historyFile, 2);
    QFile::remove(historyFile);
}
