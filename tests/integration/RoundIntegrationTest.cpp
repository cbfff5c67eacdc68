// Whole rounds with real processes: nobody touches the table. The server makes the silent
// player ready once the table is full, every turn of the user is played by the client's own
// clock, and after each round the client's score board must agree with the server's scoring.
#include <QRegularExpression>

#include "integration/ProgramsFixture.h"
#include "session/IniFile.h"

using IntegrationTest::BinDir;
using IntegrationTest::Programs;

namespace {

// The final score of a position as the client's history of the round shows it: "最终分：200金币"
// for a win, "最终分：- 200金币" or "最终分： 0金币" for a loss; as a signed number.
bool FinalScore(const classIniFile& history, int round, int position, long long& value)
{
    const QString section = QStringLiteral("juNum:%1").arg(round);
    const QString line = history.GetIniKey(section, QStringLiteral("count( %1 )( 0 )").arg(position + 4));
    static const QRegularExpression shape(QStringLiteral("^最终分：(- | )?(\\d+)金币$"));
    const QRegularExpressionMatch m = shape.match(line);
    if (!m.hasMatch())
        return false;
    value = m.captured(2).toLongLong() * (m.captured(1) == QStringLiteral("- ") ? -1 : 1);
    return true;
}

}  // namespace

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

    // The server's scoring, seat by seat: "  seat 2 <name>: 1st, +200 coins, now ..." after the
    // "round N won by" line. The user sits at seat 0, so seat s is screen position s.
    classIniFile history;
    history.setINIFileName(historyFile);
    QDeadlineTimer written(5000);
    long long unused = 0;
    while (!FinalScore(history, 2, 3, unused) && !written.hasExpired())
        QThread::msleep(100);
    const QRegularExpression seatLine("  seat (\\d) [^\\n]*: \\d\\w\\w, ([+-])(\\d+) coins, now");
    for (int round = 1; round <= 2; ++round) {
        const qsizetype from = out.indexOf(QStringLiteral("round %1 won by").arg(round));
        ASSERT_GE(from, 0);
        auto it = seatLine.globalMatch(out.mid(from));
        for (int k = 0; k < 4; ++k) {
            ASSERT_TRUE(it.hasNext()) << round;
            const QRegularExpressionMatch m = it.next();
            const int seat = m.captured(1).toInt();
            const long long scored = m.captured(3).toLongLong() * (m.captured(2) == "-" ? -1 : 1);
            long long client = 0;
            ASSERT_TRUE(FinalScore(history, round, seat, client)) << "round " << round << " seat " << seat;
            EXPECT_EQ(client, scored) << "round " << round << " seat " << seat;
        }
    }
    QFile::remove(historyFile);
}
