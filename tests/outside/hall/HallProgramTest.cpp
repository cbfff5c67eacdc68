// The built hall without a window, as scripts and the integration tests start it: its
// endpoint, the 4-byte little-endian numbers both ways, its standard input commands and the
// line its seat command starts the client with. Each hall runs in its own temporary directory.
#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace {

const QString Hallmere = QStringLiteral(QUELLOR_BIN_DIR "/hallmere");

class HallProgram : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    void TearDown() override
    {
        if (hall.state() != QProcess::NotRunning) {
            hall.kill();
            hall.waitForFinished(3000);
        }
    }

    // Starts the hall; `environment` entries with an empty value are removed.
    void Start(const QStringList& arguments, const QList<QPair<QString, QString>>& environment)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TMPDIR"), dir.path());
        for (const auto& [name, value] : environment) {
            if (value.isEmpty())
                env.remove(name);
            else
                env.insert(name, value);
        }
        hall.setProcessEnvironment(env);
        hall.setProcessChannelMode(QProcess::MergedChannels);
        hall.start(Hallmere, arguments);
        ASSERT_TRUE(hall.waitForStarted(5000));
    }

    bool WaitForOutput(const QString& text, int ms = 10000)
    {
        QDeadlineTimer deadline(ms);
        for (;;) {
            // Read before giving up: a hall that just ended may still have output waiting.
            log += QString::fromUtf8(hall.readAllStandardOutput());
            if (log.contains(text))
                return true;
            if (deadline.hasExpired() || hall.state() == QProcess::NotRunning)
                return false;
            hall.waitForReadyRead(100);
        }
    }

    QTemporaryDir dir;
    QProcess hall;
    QString log;
};

QByteArray Bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(static_cast<char>(v));
    return out;
}

}  // namespace

// Every way the hall ends up without a window must leave it working as a plain socket and log;
// a window attempted without a display would abort the program at once.
TEST_F(HallProgram, WithoutAWindowTheWireAndStandardInputWork)
{
    struct Case {
        const char* name;
        QStringList arguments;
        QList<QPair<QString, QString>> environment;
        QString endpoint;
    } cases[] = {
        {"offscreen platform",
         {},
         {{"QT_QPA_PLATFORM", "offscreen"}, {"DISPLAY", ":4999"}},
         "quellor-hall-48616c6c6d657265"},
        {"no display",
         {"--caption", "大厅"},
         {{"QT_QPA_PLATFORM", ""}, {"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}},
         "quellor-hall-e5a4a7e58e85"},
        {"--headless with a display that cannot be opened",
         {"--headless", "--caption", "Hall 2"},
         {{"QT_QPA_PLATFORM", "xcb"}, {"DISPLAY", ":4999"}},
         "quellor-hall-48616c6c2032"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        log.clear();
        Start(c.arguments, c.environment);
        const QString endpoint = dir.filePath(c.endpoint);
        ASSERT_TRUE(WaitForOutput(QStringLiteral("listening ") + endpoint)) << log.toStdString();

        QLocalSocket table;
        table.connectToServer(endpoint);
        ASSERT_TRUE(table.waitForConnected(5000));
        table.write(Bytes({0x03, 0x03, 0, 0}));  // 771
        // 61728 in two pieces: the hall must wait for the fourth byte.
        table.write(Bytes({0x20, 0xF1}));
        table.flush();
        ASSERT_TRUE(WaitForOutput("recv 771\n")) << log.toStdString();
        table.write(Bytes({0, 0}));
        table.flush();
        ASSERT_TRUE(WaitForOutput("recv 61728\n")) << log.toStdString();
        EXPECT_TRUE(QRegularExpression("^\\d\\d:\\d\\d:\\d\\d\\.\\d{3} recv 771$", QRegularExpression::MultilineOption)
                        .match(log)
                        .hasMatch())
            << log.toStdString();

        hall.write("send 22\n");
        hall.waitForBytesWritten(5000);
        ASSERT_TRUE(table.waitForReadyRead(5000));
        QByteArray got = table.readAll();
        while (got.size() < 4 && table.waitForReadyRead(1000))
            got += table.readAll();
        EXPECT_EQ(got, Bytes({22, 0, 0, 0}));
        EXPECT_TRUE(WaitForOutput("sent 22\n")) << log.toStdString();

        hall.write("quit\n");
        hall.waitForBytesWritten(5000);
        ASSERT_TRUE(hall.waitForFinished(5000));
        EXPECT_EQ(hall.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(hall.exitCode(), 0);
    }
}

// The seat command starts the client with the complete line as its one argument; the
// captions go along only for a hall that is not the default one.
TEST_F(HallProgram, SeatStartsTheClientWithThirteenFields)
{
    const QString record = dir.filePath("arguments");
    const QString client = dir.filePath("client.sh");
    {
        QFile script(client);
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write(QStringLiteral("#!/bin/sh\nprintf '%s\\n%s' \"$#\" \"$1\" > '%1'\n").arg(record).toUtf8());
        script.close();
        script.setPermissions(script.permissions() | QFileDevice::ExeOwner);
    }
    struct Case {
        QStringList arguments;
        QString line;
    } cases[] = {
        {{}, "bob$pw$127.0.0.1$7555$二号桌$0$$0$$$0$$$"},
        {{"--caption", "大厅", "--table-caption", "牌桌"}, "bob$pw$127.0.0.1$7555$二号桌$0$$0$$$1$大厅$牌桌$"},
        {{"--server-host", "127.0.0.2"}, "bob$pw$127.0.0.2$7555$二号桌$0$$0$$$0$$$"},
        {{"--server-host", "::1"}, "bob$pw$::1$7555$二号桌$0$$0$$$0$$$"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line.toStdString());
        QFile::remove(record);
        log.clear();
        Start(QStringList{"--client", client, "--user", "bob", "--password", "pw", "--server-port", "7555",
                          "--location", "二号桌", "--exit-with-client"} +
                  c.arguments,
              {{"QT_QPA_PLATFORM", "offscreen"}});
        ASSERT_TRUE(WaitForOutput("listening ")) << log.toStdString();
        hall.write("seat\n");
        hall.waitForBytesWritten(5000);
        ASSERT_TRUE(WaitForOutput("client exited 0\n")) << log.toStdString();
        ASSERT_TRUE(hall.waitForFinished(5000));

        QFile file(record);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(QString::fromUtf8(file.readAll()), QStringLiteral("1\n") + c.line);
    }

    // A host that would end its field early is refused before anything starts.
    QProcess refused;
    refused.start(Hallmere, {"--headless", "--server-host", "evil$host"});
    ASSERT_TRUE(refused.waitForFinished(5000));
    EXPECT_EQ(refused.exitCode(), 1);
}
