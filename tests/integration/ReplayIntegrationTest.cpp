// A table recorded while it plays against the real server, then replayed from the recording
// alone by quellor-replay, with a picture of the table taken during the replay.
#include <QFile>
#include <QImage>

#include "integration/TableIntegrationFixture.h"
#include "session/Recording.h"
#include "wire/Commands.h"

using IntegrationTest::TableIntegration;

TEST_F(TableIntegration, ARecordedTableReplaysFromItsRecordingAlone)
{
    const QString file = dir.filePath("table.qrec");
    ASSERT_TRUE(Recording::Start(file));
    QProcess* server = nullptr;
    QString serverOut;
    const int port = StartServer({"--bots", "3", "--ready-seconds", "1", "--bot-delay-ms", "100", "--turn-seconds", "1"}, server, serverOut);
    ASSERT_GT(port, 0);
    Sit(port);
    ASSERT_TRUE(Until([] { return TableState.Round.PlaysThisRound >= 6; }, 30000));
    Recording::Stop();

    std::vector<Recording::Entry> entries;
    QString error;
    ASSERT_TRUE(Recording::Read(file, entries, error)) << error.toStdString();
    size_t deal = 0;
    for (size_t i = 0; i < entries.size() && deal == 0; ++i)
        if (entries[i].packet[Wire::CommandByte] == Command::Deal)
            deal = i + 1;
    ASSERT_GT(deal, 0u);
    for (size_t i = 1; i < entries.size(); ++i)
        EXPECT_GE(entries[i].ms, entries[i - 1].ms);
    // Only received packets: the password the client logged in with is nowhere in it.
    QFile raw(file);
    ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
    EXPECT_EQ(raw.readAll().indexOf("pw42"), -1);

    const QString shot = dir.filePath("after-deal.png");
    QProcess* replay = Start("quellor-replay", {file, "--full-speed", "--shot", QStringLiteral("%1:%2").arg(deal + 3).arg(shot)});
    ASSERT_TRUE(replay->waitForFinished(60000));
    const QString out = QString::fromUtf8(replay->readAll());
    EXPECT_EQ(replay->exitCode(), 0) << out.toStdString();
    EXPECT_TRUE(out.contains("replayed")) << out.toStdString();
    QImage picture(shot);
    ASSERT_FALSE(picture.isNull()) << out.toStdString();
    EXPECT_EQ(picture.size(), QSize(1040, 796));
    if (!qEnvironmentVariableIsEmpty("QUELLOR_KEEP_REPLAY_SHOT"))
        QFile::copy(shot, qEnvironmentVariable("QUELLOR_KEEP_REPLAY_SHOT"));

    // Not a recording: a clear refusal.
    QFile notOne(dir.filePath("not.qrec"));
    ASSERT_TRUE(notOne.open(QIODevice::WriteOnly));
    notOne.write("hello");
    notOne.close();
    QProcess* refused = Start("quellor-replay", {notOne.fileName()});
    ASSERT_TRUE(refused->waitForFinished(10000));
    EXPECT_EQ(refused->exitCode(), 1);
}
