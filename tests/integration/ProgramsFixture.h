#pragma once
// The three programs for real, on 127.0.0.1, each test in its own temporary directory so
// that hall endpoints and the instance lock never meet another test's.
#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>

#include <memory>
#include <vector>

namespace IntegrationTest {

inline const QString BinDir = QStringLiteral(QUELLOR_BIN_DIR);

// The programs a test starts, each in the test's own temporary directory; all of them are
// stopped when the set goes.
class ProcessSet {
public:
    ProcessSet() = default;
    ProcessSet(const ProcessSet&) = delete;
    ProcessSet& operator=(const ProcessSet&) = delete;
    ~ProcessSet() { StopAll(); }

    void StopAll()
    {
        // Asked first, so that a hall takes the client it started down with it; killed if it
        // does not go.
        for (auto& p : processes)
            if (p->state() != QProcess::NotRunning)
                p->terminate();
        for (auto& p : processes) {
            if (p->state() != QProcess::NotRunning && !p->waitForFinished(3000)) {
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
        // Our programs by name; anything else (a wrapper such as nsenter) by its full path.
        p->start(program.startsWith('/') ? program : BinDir + "/" + program, arguments);
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

    // One of our servers on a free port (it prints the port it listens on); its output so far
    // goes to out. 0 when it did not come up.
    int StartListening(const QString& program, const QStringList& extra, QProcess*& process, QString& out)
    {
        process = Start(program, QStringList{"--port", "0"} + extra);
        const QRegularExpression listening("listening on 127\\.0\\.0\\.1:(\\d+)");
        if (!WaitForOutput(process, out, listening))
            return 0;
        return listening.match(out).captured(1).toInt();
    }

    int StartServer(const QStringList& extra, QProcess*& server, QString& out)
    {
        return StartListening("quellor-server", extra, server, out);
    }

    int StartServer(const QStringList& extra = {})
    {
        QProcess* server = nullptr;
        QString out;
        return StartServer(extra, server, out);
    }

    int StartRelay(QProcess*& relay, QString& out) { return StartListening("quellor-relay", {}, relay, out); }

    // microsocks on a free port with this user name and password, taking connections when this
    // returns; 0 when it is not installed (the caller skips) or does not come up.
    int StartProxy(const QString& user, const QString& password)
    {
        const QString microsocks = QStandardPaths::findExecutable("microsocks");
        if (microsocks.isEmpty())
            return 0;
        QTcpServer probe;
        if (!probe.listen(QHostAddress::LocalHost, 0))
            return 0;
        const int port = probe.serverPort();
        probe.close();
        auto proxy = std::make_unique<QProcess>();
        proxy->start(microsocks, {"-i", "127.0.0.1", "-p", QString::number(port), "-u", user, "-P", password});
        if (!proxy->waitForStarted(5000))
            return 0;
        processes.push_back(std::move(proxy));
        for (QDeadlineTimer deadline(5000); !deadline.hasExpired(); QThread::msleep(50)) {
            QTcpSocket s;
            s.connectToHost(QHostAddress::LocalHost, static_cast<quint16>(port));
            if (s.waitForConnected(100))
                return port;
        }
        return 0;
    }

    static QString Line(int port, const QString& user = "alice", const QString& password = "pw42",
                        const QString& host = "127.0.0.1")
    {
        return QStringLiteral("%1$%2$%3$%4$Room 3$0$$0$$$0$$$").arg(user, password, host).arg(port);
    }

    QTemporaryDir dir;
    std::vector<std::unique_ptr<QProcess>> processes;
};

class Programs : public ::testing::Test, public ProcessSet {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    void TearDown() override { StopAll(); }
};

}  // namespace IntegrationTest
