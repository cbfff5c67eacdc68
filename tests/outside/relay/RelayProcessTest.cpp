// The real relay on other addresses than the default, and against links that break the rules
// of an open port: too many, never logging in, or not reading what they asked for.
#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QElapsedTimer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>

#include "Accounts.h"
#include "OpenPortProbe.h"
#include "video/RelayWire.h"

namespace {

using RelayWire::Message;
using RelayWire::Type;

const QString RelayPath = QStringLiteral(QUELLOR_BIN_DIR "/quellor-relay");

void Write(QTcpSocket& socket, Type type, const std::string& name = {}, uint16_t slot = 0,
           std::vector<uint8_t> bytes = {}, const std::string& password = {})
{
    Message m;
    m.type = type;
    m.name = name;
    m.password = password;
    m.slot = slot;
    m.bytes = std::move(bytes);
    const std::vector<uint8_t> encoded = RelayWire::Encode(m);
    socket.write(reinterpret_cast<const char*>(encoded.data()), static_cast<qint64>(encoded.size()));
    while (socket.bytesToWrite() > 0 && socket.waitForBytesWritten(5000)) {
    }
}

class RelayProcess : public ::testing::Test {
protected:
    void TearDown() override { Stop(); }

    void Stop()
    {
        if (relay.state() != QProcess::NotRunning) {
            relay.kill();
            relay.waitForFinished(3000);
        }
    }

    // The port it listens on, or 0.
    int Start(const QStringList& extra)
    {
        logPath = dir.filePath(QStringLiteral("relay.log"));
        relay.setStandardOutputFile(logPath);
        relay.setStandardErrorFile(dir.filePath(QStringLiteral("relay.err")));
        relay.start(RelayPath, QStringList{"--port", "0"} + extra);
        if (!relay.waitForStarted(5000))
            return 0;
        const QRegularExpression listening(QStringLiteral("listening on \\S+:(\\d+)"));
        for (QDeadlineTimer deadline(10000); !deadline.hasExpired(); QThread::msleep(20))
            if (const auto m = listening.match(Log()); m.hasMatch())
                return m.captured(1).toInt();
        return 0;
    }

    QString Log() const
    {
        QFile file(logPath);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

    bool LogShows(const QString& part, int ms = 3000) const
    {
        for (QDeadlineTimer deadline(ms); !deadline.hasExpired(); QThread::msleep(20))
            if (Log().contains(part))
                return true;
        return Log().contains(part);
    }

    QTemporaryDir dir;
    QString logPath;
    QProcess relay;
};

TEST_F(RelayProcess, ListensOnTheAddressItIsGiven)
{
    struct Case {
        QStringList options;
        QString reach;
        QString elsewhere;  // empty for none
    } cases[] = {
        {{"--listen", "127.0.0.2"}, "127.0.0.2", "127.0.0.1"},
        {{"--listen", "::1"}, "::1", "127.0.0.1"},
        {{"--listen", "0.0.0.0", "--open"}, "127.0.0.2", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.options.join(' ').toStdString());
        Stop();
        const int port = Start(c.options);
        ASSERT_GT(port, 0) << Log().toStdString();
        QTcpSocket client;
        client.connectToHost(c.reach, static_cast<quint16>(port));
        ASSERT_TRUE(client.waitForConnected(3000));
        Write(client, Type::Login, "alice");
        EXPECT_TRUE(LogShows("login of alice"));
        if (!c.elsewhere.isEmpty()) {
            QTcpSocket other;
            other.connectToHost(c.elsewhere, static_cast<quint16>(port));
            EXPECT_FALSE(other.waitForConnected(2000));
        }
    }
    for (const char* address : {"0.0.0.0", "::", "nowhere"}) {
        QProcess refused;
        refused.start(RelayPath, {"--port", "0", "--listen", address});
        ASSERT_TRUE(refused.waitForFinished(5000)) << address;
        EXPECT_EQ(refused.exitCode(), 2) << address;
    }
}

TEST_F(RelayProcess, WithAccountsOnlyAKeyWithItsPasswordLogsIn)
{
    const std::string accounts = dir.filePath("accounts").toStdString();
    std::string error;
    for (const char* key : {"alice", "bob"})
        ASSERT_TRUE(Accounts::Store(accounts, key, std::string(key) + "-pw", {1, 8192}, error)) << error;
    // With accounts the relay may listen on every address without --open.
    const int port = Start({"--accounts", QString::fromStdString(accounts), "--listen", "0.0.0.0"});
    ASSERT_GT(port, 0) << Log().toStdString();
    struct Case {
        const char* key;
        const char* password;
        bool logsIn;
    } cases[] = {
        {"alice", "bob-pw", false}, {"mallory", "alice-pw", false}, {"bob", "", false}, {"alice", "alice-pw", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.key) + " / " + c.password);
        QTcpSocket client;
        client.connectToHost("127.0.0.2", static_cast<quint16>(port));
        ASSERT_TRUE(client.waitForConnected(3000));
        Write(client, Type::Login, c.key, 0, {}, c.password);
        RelayWire::Reader reader;
        std::optional<Message> answer;
        for (QDeadlineTimer deadline(3000); !answer && !deadline.hasExpired();) {
            client.waitForReadyRead(50);
            const QByteArray bytes = client.readAll();
            reader.Feed(reinterpret_cast<const uint8_t*>(bytes.constData()), static_cast<size_t>(bytes.size()));
            answer = reader.Next();
        }
        ASSERT_TRUE(answer);
        EXPECT_EQ(answer->type, Type::LoginResult);
        EXPECT_EQ(answer->state, c.logsIn ? 2 : 0);
        EXPECT_EQ(OpenPortProbe::ClosedWithin(client, 1000), !c.logsIn);
    }
    const QString log = Log();
    EXPECT_EQ(log.count("refused: unknown key or wrong password"), 3) << log.toStdString();
    EXPECT_TRUE(log.contains("login of alice\n"));
    for (const char* secret : {"alice-pw", "bob-pw"})
        EXPECT_FALSE(log.contains(secret)) << secret;
}

TEST_F(RelayProcess, PasswordChecksStallNoPicture)
{
    // alice at the program's own hashing cost (a good part of a second here), bob at the least.
    const std::string accounts = dir.filePath("accounts").toStdString();
    std::string error;
    ASSERT_TRUE(Accounts::Store(accounts, "alice", "alice-pw", Accounts::InteractiveCost(), error)) << error;
    ASSERT_TRUE(Accounts::Store(accounts, "bob", "bob-pw", {1, 8192}, error)) << error;
    const int port = Start({"--accounts", QString::fromStdString(accounts)});
    ASSERT_GT(port, 0) << Log().toStdString();
    const auto answer = [](QTcpSocket& socket, int ms) {
        RelayWire::Reader reader;
        std::optional<Message> got;
        for (QDeadlineTimer deadline(ms); !got && !deadline.hasExpired();) {
            socket.waitForReadyRead(5);
            const QByteArray bytes = socket.readAll();
            reader.Feed(reinterpret_cast<const uint8_t*>(bytes.constData()), static_cast<size_t>(bytes.size()));
            got = reader.Next();
        }
        return got;
    };
    QTcpSocket bob;
    bob.connectToHost("127.0.0.1", static_cast<quint16>(port));
    ASSERT_TRUE(bob.waitForConnected(3000));
    Write(bob, Type::Login, "bob", 0, {}, "bob-pw");
    const auto bobIn = answer(bob, 5000);
    ASSERT_TRUE(bobIn);
    ASSERT_EQ(bobIn->state, 2);

    // How long one check of alice's password takes, seen from outside.
    QElapsedTimer clock;
    clock.start();
    QTcpSocket probe;
    probe.connectToHost("127.0.0.1", static_cast<quint16>(port));
    ASSERT_TRUE(probe.waitForConnected(3000));
    Write(probe, Type::Login, "alice", 0, {}, "wrong");
    ASSERT_TRUE(answer(probe, 10000));
    const qint64 oneCheck = clock.elapsed();

    // Four more wrong passwords, then bob asks for a peer: the relay answers him at once.
    std::vector<std::unique_ptr<QTcpSocket>> guessers;
    for (int i = 0; i < 4; ++i) {
        guessers.push_back(std::make_unique<QTcpSocket>());
        guessers.back()->connectToHost("127.0.0.1", static_cast<quint16>(port));
        ASSERT_TRUE(guessers.back()->waitForConnected(3000));
        Write(*guessers.back(), Type::Login, "alice", 0, {}, "guess");
    }
    QThread::msleep(20);
    clock.restart();
    Write(bob, Type::Request, "carol", 2);
    const auto asked = answer(bob, 10000);
    const qint64 answered = clock.elapsed();
    std::printf("one password check %lld ms; a request behind four of them answered in %lld ms\n",
                static_cast<long long>(oneCheck), static_cast<long long>(answered));
    ASSERT_TRUE(asked);
    EXPECT_EQ(asked->type, Type::UserState);
    EXPECT_LT(answered, oneCheck);
    for (auto& g : guessers) {
        const auto refusal = answer(*g, 10000);
        ASSERT_TRUE(refusal);
        EXPECT_EQ(refusal->state, 0);
    }
    EXPECT_EQ(Log().count("login of alice from 127.0.0.1 refused"), 5) << Log().toStdString();
}

TEST_F(RelayProcess, LinksPastTheCapsAreClosedAtOnce)
{
    const int port = Start({"--max-links", "3", "--max-links-per-address", "2"});
    ASSERT_GT(port, 0);
    const int turnedAway = OpenPortProbe::CheckLinkCaps("127.0.0.1", port);
    ASSERT_GE(turnedAway, 0);
    EXPECT_EQ(Log().count("link from 127.0.0.1 closed at once: its address holds 2 links already"), 1)
        << Log().toStdString();
    EXPECT_EQ(Log().count("link from 127.0.0.3 closed at once: all 3 links are taken"), 1 + turnedAway) << Log().toStdString();
}

TEST_F(RelayProcess, LinksThatDoNotLogInAreClosedInTime)
{
    const int port = Start({"--login-limit-ms", "400"});
    ASSERT_GT(port, 0);
    const qint64 held = OpenPortProbe::CheckEntryLimit("127.0.0.1", port, 400,
                                                       [](QTcpSocket& socket) { Write(socket, Type::Login, "early"); });
    EXPECT_LT(held, 1900);
    std::printf("relay login limit 400 ms: a silent link was closed after %lld ms\n", static_cast<long long>(held));
    EXPECT_EQ(Log().count("no login within 400 ms"), 2) << Log().toStdString();
}

TEST_F(RelayProcess, AViewerThatDoesNotReadIsClosedAtTheOutputBound)
{
    // Pictures past the backlog are dropped; headers are not, so they are what piles up.
    const int bound = 9000000;
    const int port = Start({"--output-limit", QString::number(bound)});
    ASSERT_GT(port, 0);
    QTcpSocket viewer, sender;
    for (QTcpSocket* s : {&viewer, &sender}) {
        s->connectToHost(QStringLiteral("127.0.0.1"), static_cast<quint16>(port));
        ASSERT_TRUE(s->waitForConnected(3000));
    }
    Write(viewer, Type::Login, "viewer");
    Write(sender, Type::Login, "sender");
    Write(viewer, Type::Request, "sender", 1);
    Write(sender, Type::Request, "viewer", 1);
    ASSERT_TRUE(LogShows("login of sender"));
    QThread::msleep(200);

    const std::vector<uint8_t> header(1024 * 1024, 0x5a);
    const QString closed = QStringLiteral("unsent output passed %1 bytes").arg(bound);
    int sent = 0;
    // Bounded: 64 headers of a megabyte, far past the kernel's buffers and the bound.
    while (sent < 64 && !Log().contains(closed)) {
        Write(sender, Type::Header, {}, 1, header);
        ++sent;
    }
    EXPECT_TRUE(LogShows(closed)) << Log().toStdString();
    std::printf("relay output bound %d bytes: the viewer was closed after %d headers of 1 MB\n", bound, sent);
    EXPECT_TRUE(OpenPortProbe::ClosedWithin(viewer, 5000));
    EXPECT_TRUE(LogShows("viewer left the relay"));
    // The sender stays.
    EXPECT_FALSE(OpenPortProbe::ClosedWithin(sender, 300));
    EXPECT_EQ(relay.state(), QProcess::Running);
}

}  // namespace
