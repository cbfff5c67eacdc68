// The three programs for real, on 127.0.0.1, each test in its own temporary directory so
// that hall endpoints and the instance lock never meet another test's.
#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QThread>

#include <memory>
#include <vector>

namespace {

const QString BinDir = QStringLiteral(QUELLOR_BIN_DIR);

class Programs : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    void TearDown() override
    {
        for (auto& p : processes) {
            if (p->state() != QProcess::NotRunning) {
                p->kill();
                p->waitForFinished(3000);
            }
        }
    }

    QProcess* Start(const QString& program, const QStringList& arguments)
    {
        auto p = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("TMPDIR", dir.path());
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("QUELLOR_MESSAGEBOX", "print");
        p->setProcessEnvironment(env);
        p->setProcessChannelMode(QProcess::MergedChannels);
        p->start(BinDir + "/" + program, arguments);
        EXPECT_TRUE(p->waitForStarted(5000)) << program.toStdString();
        processes.push_back(std::move(p));
        return processes.back().get();
    }

    // Keeps reading a process's output until the pattern shows or time runs out.
    static bool WaitForOutput(QProcess* p, QString& seen, const QRegularExpression& pattern, int ms = 10000)
    {
        QDeadlineTimer deadline(ms);
        while (!pattern.match(seen).hasMatch()) {
            if (deadline.hasExpired())
                return false;
            p->waitForReadyRead(100);
            seen += QString::fromUtf8(p->readAllStandardOutput());
        }
        return true;
    }

    int StartServer(const QStringList& extra = {})
    {
        QProcess* server = Start("quellor-server", QStringList{"--port", "0"} + extra);
        QString out;
        const QRegularExpression listening("listening on 127\\.0\\.0\\.1:(\\d+)");
        EXPECT_TRUE(WaitForOutput(server, out, listening));
        return listening.match(out).captured(1).toInt();
    }

    static QString Line(int port, const QString& user = "alice", const QString& password = "pw42")
    {
        return QStringLiteral("%1$%2$127.0.0.1$%3$Room 3$0$$0$$$0$$$").arg(user, password).arg(port);
    }

    QTemporaryDir dir;
    std::vector<std::unique_ptr<QProcess>> processes;
};

}  // namespace

TEST_F(Programs, LoginThroughTheHall)
{
    const QString record = dir.filePath("received.hex");
    const int port = StartServer({"--record", record});
    ASSERT_GT(port, 0);
    QProcess* hall = Start("hallmere", {"--launch", Line(port)});

    QString log;
    ASSERT_TRUE(WaitForOutput(hall, log, QRegularExpression("recv 22\\n.*recv 771\\n.*recv 771\\n",
                                                            QRegularExpression::DotMatchesEverythingOption)))
        << log.toStdString();
    // Nothing else came before the login was done.
    const auto numbers = QRegularExpression("recv (\\d+)").globalMatch(log);
    QStringList received;
    for (auto it = numbers; it.hasNext();)
        received << it.next().captured(1);
    EXPECT_EQ(received.mid(0, 3), (QStringList{"22", "771", "771"}));

    QFile file(record);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray first = QByteArray::fromHex(file.readLine().trimmed());
    QByteArray expected(272, '\0');
    expected[3] = 18;
    expected.replace(16, 5, "alice");
    expected.replace(32, 4, "pw42");
    EXPECT_EQ(first, expected);
}

TEST_F(Programs, FailedStartWithoutAHallEndsTheProcess)
{
    struct Case {
        const char* name;
        QString line;
    } cases[] = {
        {"twelve fields", "alice$pw$127.0.0.1$1$Room$0$$0$$$0$$"},
        {"port not a number", "alice$pw$127.0.0.1$x$Room$0$$0$$$0$$$"},
        // Nothing listens on port 1: the connection is refused and, with no hall, the client ends.
        {"refused connection", "alice$pw$127.0.0.1$1$Room$0$$0$$$0$$$"},
    };
    for (const Case& c : cases) {
        QProcess* client = Start("quellor", {c.line});
        EXPECT_TRUE(client->waitForFinished(15000)) << c.name;
        EXPECT_EQ(client->exitStatus(), QProcess::NormalExit) << c.name;
        EXPECT_TRUE(client->readAll().indexOf("messagebox") < 0) << c.name;
    }
}

TEST_F(Programs, SecondInstanceIsRefused)
{
    const int port = StartServer();
    QProcess* hall = Start("hallmere", {"--launch", Line(port)});
    QString log;
    ASSERT_TRUE(WaitForOutput(hall, log, QRegularExpression("recv 771\\n.*recv 771\\n",
                                                            QRegularExpression::DotMatchesEverythingOption)));

    QProcess* second = Start("quellor", {Line(port, "bob")});
    ASSERT_TRUE(second->waitForFinished(10000));
    const QString err = QString::fromUtf8(second->readAll());
    EXPECT_TRUE(err.contains("messagebox: 警告: Quellor已经运行！")) << err.toStdString();
    // The refused copy brings the hall back before it goes.
    ASSERT_TRUE(WaitForOutput(hall, log, QRegularExpression("recv 61728")));
}

// Through a real SOCKS5 proxy with user name and password.
TEST_F(Programs, LoginThroughASocks5Proxy)
{
    const QString microsocks = QStandardPaths::findExecutable("microsocks");
    if (microsocks.isEmpty())
        GTEST_SKIP() << "microsocks is not installed (scripts/setup installs it)";
    const QString record = dir.filePath("received.hex");
    const int serverPort = StartServer({"--record", record});

    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
    const int proxyPort = probe.serverPort();
    probe.close();
    auto proxy = std::make_unique<QProcess>();
    proxy->start(microsocks, {"-i", "127.0.0.1", "-p", QString::number(proxyPort), "-u", "puser", "-P", "ppass"});
    ASSERT_TRUE(proxy->waitForStarted(5000));
    processes.push_back(std::move(proxy));
    QThread::msleep(300);

    const QString line = QStringLiteral("alice$pw42$127.0.0.1$%1$Room 3$5$127.0.0.1$%2$puser$ppass$0$$$")
                             .arg(serverPort)
                             .arg(proxyPort);
    QProcess* hall = Start("hallmere", {"--launch", line});
    QString log;
    ASSERT_TRUE(WaitForOutput(hall, log, QRegularExpression("recv 771\\n.*recv 771\\n",
                                                            QRegularExpression::DotMatchesEverythingOption)))
        << log.toStdString();
    EXPECT_FALSE(log.contains("recv 22"));
    QFile file(record);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray first = QByteArray::fromHex(file.readLine().trimmed());
    ASSERT_EQ(first.size(), 272);
    EXPECT_EQ(first[3], 18);
    EXPECT_EQ(first.mid(16, 5), QByteArray("alice"));
}

// Nobody touches the table: the server makes the silent player ready once the table is full,
// and every turn of the user is played by the client's own clock when it runs out. The server
// must have taken each of those turns from the client: none played for it, none refused.
TEST_F(Programs, UnattendedClientPlaysAWholeRoundByItsOwnClock)
{
    QProcess* server = Start("quellor-server", {"--port", "0", "--bots", "3", "--seed", "11", "--bot-delay-ms", "60",
                                                "--turn-seconds", "1", "--ready-seconds", "1", "--rounds", "1"});
    QString out;
    const QRegularExpression listening("listening on 127\\.0\\.0\\.1:(\\d+)");
    ASSERT_TRUE(WaitForOutput(server, out, listening));
    Start("hallmere", {"--launch", Line(listening.match(out).captured(1).toInt())});

    const QRegularExpression turns(
        "turns of seat 0 alice: (\\d+) by the player, (\\d+) on time-out, (\\d+) refused, (\\d+) out of turn");
    ASSERT_TRUE(WaitForOutput(server, out, turns, 100000)) << out.toStdString();
    const QRegularExpressionMatch figures = turns.match(out);
    EXPECT_TRUE(out.contains("round 1 won by")) << out.toStdString();
    EXPECT_GT(figures.captured(1).toInt(), 3) << out.toStdString();
    EXPECT_EQ(figures.captured(2).toInt(), 0) << out.toStdString();
    EXPECT_EQ(figures.captured(3).toInt(), 0) << out.toStdString();
    EXPECT_EQ(figures.captured(4).toInt(), 0) << out.toStdString();
}
