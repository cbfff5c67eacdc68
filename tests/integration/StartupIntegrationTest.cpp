// Start-up of the three programs for real: login, failures, the single instance, the proxy.
#include "integration/ProgramsFixture.h"

using IntegrationTest::Programs;

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
    const int proxyPort = StartProxy("puser", "ppass");
    if (proxyPort == 0)
        GTEST_SKIP() << "microsocks is not installed or did not start (scripts/setup installs it)";
    const QString record = dir.filePath("received.hex");
    const int serverPort = StartServer({"--record", record});

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
