#pragma once
// What the client's round history (its score board) says, for comparing with the server's log.
#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QRegularExpression>
#include <QThread>

#include "session/IniFile.h"

namespace IntegrationTest {

// The final score of a position as the client's history of the round shows it: "最终分：200金币"
// for a win, "最终分：- 200金币" or "最终分： 0金币" for a loss; as a signed number.
inline bool FinalScore(const classIniFile& history, int round, int position, long long& value)
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

// Rounds 1..rounds of the client's history against the server's scoring, seat by seat:
// "  seat 2 <name>: 1st, +200 coins, now ..." after the "round N won by" line. The user sits at
// seat 0, so seat s is screen position s. Waits a little for the last round's lines.
inline void ExpectScoreBoardAgrees(const QString& serverOut, const QString& historyFile, int rounds)
{
    classIniFile history;
    history.setINIFileName(historyFile);
    QDeadlineTimer written(5000);
    long long unused = 0;
    while (!FinalScore(history, rounds, 3, unused) && !written.hasExpired())
        QThread::msleep(100);
    const QRegularExpression seatLine("  seat (\\d) [^\\n]*: \\d\\w\\w, ([+-])(\\d+) coins, now");
    for (int round = 1; round <= rounds; ++round) {
        const qsizetype from = serverOut.indexOf(QStringLiteral("round %1 won by").arg(round));
        ASSERT_GE(from, 0);
        auto it = seatLine.globalMatch(serverOut.mid(from));
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
}

}  // namespace IntegrationTest
