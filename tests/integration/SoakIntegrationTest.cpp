// A soak: this process is the client and plays round after round by its own clock against the
// real server. At every deal and every result its hand must equal the server's record; no play
// of the user may be refused or come out of turn; resident memory, open files and the table's
// timers are sampled every round and their growth reported. QUELLOR_SOAK_ROUNDS sets the number
// of rounds (3 in the ordinary test run; scripts/soak runs 100).
#include <QDir>
#include <QFile>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <malloc.h>

#include "chat/Talk.h"
#include "integration/TableIntegrationFixture.h"
#include "play/PlayerActions.h"
#include "rules/Cards.h"
#include "session/Platform.h"
#include "sound/Mod_Sound.h"
#include "sound/SoundDevice.h"

using IntegrationTest::TableIntegration;

namespace {

long ResidentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

// What malloc has handed out and not taken back: unlike resident memory, not blurred by pages
// the allocator keeps for later.
long HeapInUseKb()
{
    const struct mallinfo2 info = mallinfo2();
    return static_cast<long>((info.uordblks + info.hblkhd) / 1024);
}

int OpenFiles()
{
    return static_cast<int>(QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::NoDotAndDotDot | QDir::System).size());
}

}  // namespace

TEST_F(TableIntegration, SoakRoundAfterRoundTheClientAgreesWithTheServer)
{
    const int asked = qEnvironmentVariableIntValue("QUELLOR_SOAK_ROUNDS");
    const int rounds = asked > 0 ? asked : 3;
    Platform::SetWaitFactor(0.01);
    QProcess* server = nullptr;
    QString out;
    // The computer players chat, so the chat history grows as it would at a long table.
    const int port = StartServer({"--bots", "3", "--ready-seconds", "1", "--turn-seconds", "1", "--bot-delay-ms", "20",
                                  "--coins", "100000000", "--bot-chat", "1"},
                                 server, out);
    ASSERT_GT(port, 0);
    // The real sound output, as a player has it; the recording double would keep a line for
    // every sound of every round and make its own growth look like the client's.
    Mod_Sound::SetSoundDevice(MakeQtSoundDevice());
    MainForm& f = Sit(port);

    auto pump = [&](const std::function<bool()>& done, int ms) {
        return Until([&] {
            out += QString::fromUtf8(server->readAllStandardOutput());
            return done();
        }, ms);
    };

    const QRegularExpression figures(
        "turns of seat 0 alice: (\\d+) by the player, (\\d+) on time-out, (\\d+) refused, (\\d+) out of turn");
    long firstKb = 0, firstHeapKb = 0;
    int firstFiles = 0, firstTimers = 0;
    for (int round = 1; round <= rounds; ++round) {
        ASSERT_TRUE(pump([] { return TableState.Round.RoundRunning; }, 60000)) << "round " << round;
        EXPECT_EQ(ClientHand(), ServerHand(server, out)) << "at the deal of round " << round;
        ASSERT_TRUE(pump([] { return !TableState.Round.RoundRunning; }, 180000)) << "round " << round;
        EXPECT_EQ(ClientHand(), ServerHand(server, out)) << "at the result of round " << round;
        ASSERT_TRUE(pump([&] { return figures.match(out).hasMatch(); }, 10000)) << "round " << round;
        const QRegularExpressionMatch m = figures.match(out);
        EXPECT_EQ(m.captured(3).toInt(), 0) << m.captured(0).toStdString();
        EXPECT_EQ(m.captured(4).toInt(), 0) << m.captured(0).toStdString();
        // The server's log of a round is tens of kilobytes; kept, it would be this process's
        // growth, not the client's.
        out.clear();
        // Ready for the next round at once, as a player who presses 继续 is.
        pump([] { return false; }, 300);
        PlayerActions::SendReadyRequest();

        const long kb = ResidentKb();
        const int files = OpenFiles();
        const int timers = static_cast<int>(f.findChildren<QTimer*>().size());
        const long heapKb = HeapInUseKb();
        if (round == 1) {
            firstKb = kb;
            firstHeapKb = heapKb;
            firstFiles = files;
            firstTimers = timers;
        }
        std::printf("[ soak     ] round %d: resident %ld kB, heap in use %ld kB, %d open files, %d timers of the "
                    "table, %d chat entries\n",
                    round, kb, heapKb, files, timers, TalkWindow::HistoryCount());
        std::fflush(stdout);
        EXPECT_LE(files, firstFiles) << "round " << round;
        EXPECT_LE(timers, firstTimers) << "round " << round;
        EXPECT_LE(TalkWindow::HistoryCount(), TalkWindow::MaxEntries);
    }
    std::printf("[ soak     ] %d rounds: resident memory from %ld kB at round 1 to %ld kB (%+ld kB), heap in use from "
                "%ld kB to %ld kB (%+ld kB)\n",
                rounds, firstKb, ResidentKb(), ResidentKb() - firstKb, firstHeapKb, HeapInUseKb(),
                HeapInUseKb() - firstHeapKb);
}
