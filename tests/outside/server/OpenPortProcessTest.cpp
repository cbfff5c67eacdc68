// The real server on other addresses than the default, with an accounts file, and against
// links that break the rules of an open port: too many, too slow to enter, not reading,
// chatting too fast, or sending what is not a packet.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QProcess>
#include <QThread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <cstdio>
#include <random>

#include "OpenPortProbe.h"
#include "ServerProcess.h"

namespace {

using namespace ServerTest;
using Bytes = Probe::Bytes;

// The entry result (or, for a reconnect, the reconnect result) is the first packet.
std::optional<Bytes> FirstPacket(ScriptedClient& client)
{
    return client.Next(QDeadlineTimer(5000));
}

qsizetype Count(const QString& text, const QString& part)
{
    return text.count(part);
}

TEST_F(ServerProcess, ListensOnTheAddressItIsGiven)
{
    int configs = 0;
    const auto WriteConfig = [&](const char* text) {
        const QString path = dir.filePath(QStringLiteral("server%1.conf").arg(++configs));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
        return path;
    };
    struct Case {
        QStringList options;
        QString reach;      // where the client connects
        QString elsewhere;  // an address the server must not answer on; empty for none
    } cases[] = {
        {{"--listen", "127.0.0.2"}, "127.0.0.2", "127.0.0.1"},
        {{"--listen", "::1"}, "::1", "127.0.0.1"},
        // All addresses, on purpose: a client on another loopback address than the default.
        {{"--listen", "0.0.0.0", "--open"}, "127.0.0.2", ""},
        // "::" means both families, as a person writing it expects.
        {{"--listen", "::", "--open"}, "127.0.0.2", ""},
        {{"--listen", "::", "--open"}, "::1", ""},
        // A settings file names the address; what is typed after it wins.
        {{"--config", WriteConfig("listen = 127.0.0.3\nport = 0\n")}, "127.0.0.3", "127.0.0.1"},
        {{"--config", WriteConfig("listen = 127.0.0.3\n"), "--listen", "127.0.0.2"}, "127.0.0.2", "127.0.0.3"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.options.join(' ').toStdString());
        Stop();
        ScriptedClient client;
        port = Start(c.options);
        ASSERT_GT(port, 0) << Log().toStdString();
        ASSERT_TRUE(client.Connect(port, c.reach));
        client.Enter("tester");
        const auto result = FirstPacket(client);
        ASSERT_TRUE(result);
        EXPECT_EQ((*result)[3], Command::Entry);
        EXPECT_EQ((*result)[15], 1);
        if (!c.elsewhere.isEmpty()) {
            QTcpSocket other;
            other.connectToHost(c.elsewhere, static_cast<quint16>(port));
            EXPECT_FALSE(other.waitForConnected(2000));
        }
    }

    // A settings file that cannot be read, or has a line that is no setting, stops the start
    // with the file and line named; so does an option the program does not have.
    struct Refusal {
        QStringList options;
        const char* says;
    } refusals[] = {
        {{"--config", dir.filePath("missing.conf")}, "missing.conf"},
        {{"--config", WriteConfig("# fine\nlisten = 127.0.0.1\n--port 7\n")}, "line 3"},
        {{"--config", WriteConfig("config = other.conf\n")}, "line 1"},
        {{"--config", WriteConfig("no-such-option = 1\n")}, "no-such-option"},
        {{"--config"}, "needs a file"},
    };
    for (const Refusal& r : refusals) {
        SCOPED_TRACE(r.options.join(' ').toStdString());
        QProcess refused;
        refused.start(ServerPath(), QStringList{"--port", "0"} + r.options);
        ASSERT_TRUE(refused.waitForFinished(5000));
        EXPECT_NE(refused.exitCode(), 0);
        EXPECT_TRUE(refused.readAllStandardError().contains(r.says));
    }

    // Nobody opens a table to every key by accident.
    for (const char* address : {"0.0.0.0", "::", "127.0.0.1:7430", "localhost"}) {
        QProcess refused;
        refused.start(ServerPath(), {"--port", "0", "--listen", address});
        ASSERT_TRUE(refused.waitForFinished(5000)) << address;
        EXPECT_EQ(refused.exitCode(), 2) << address;
    }
}

TEST_F(ServerProcess, AccountsLetInOnlyAKnownKeyWithItsPassword)
{
    const QString accounts = dir.filePath("accounts");
    auto add = [&](const QStringList& options, const QByteArray& input) {
        QProcess adder;
        adder.start(ServerPath(), options);
        adder.write(input);
        adder.closeWriteChannel();
        EXPECT_TRUE(adder.waitForFinished(20000));
        return adder.exitCode();
    };
    // The least cost libsodium takes; the program's own default is the interactive one.
    const QStringList cheap{"--hash-ops", "1", "--hash-memory", "8192"};
    EXPECT_EQ(add(QStringList{"--accounts", accounts, "--add-account", "alice"} + cheap, "alice-pw\n"), 0);
    EXPECT_EQ(add(QStringList{"--accounts", accounts, "--add-account", "bob"} + cheap, "bob-pw"), 0);
    EXPECT_EQ(add(QStringList{"--add-account", "carol"} + cheap, "carol-pw\n"), 2);  // no file named
    EXPECT_EQ(add(QStringList{"--accounts", accounts, "--add-account", "carol"} + cheap, "\n"), 2);
    EXPECT_EQ(QFile(accounts).permissions() & (QFile::ReadGroup | QFile::ReadOther | QFile::WriteGroup), 0);

    // With accounts the server may listen on every address without --open.
    port = Start({"--accounts", accounts, "--listen", "0.0.0.0"});
    ASSERT_GT(port, 0) << Log().toStdString();
    EXPECT_TRUE(Log().contains("2 accounts"));
    struct Case {
        const char* key;
        const char* password;
        bool reconnect;
        bool enters;
    } cases[] = {
        {"alice", "bob-pw", false, false},
        {"mallory", "alice-pw", false, false},
        {"alice", "wrong-pw", true, false},
        {"alice", "", false, false},
        {"bob", "bob-pw", false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.key) + " / " + c.password);
        ScriptedClient client;
        ASSERT_TRUE(client.Connect(port, "127.0.0.2"));
        client.Enter(c.key, c.reconnect, c.password);
        const auto result = FirstPacket(client);
        ASSERT_TRUE(result);
        if (c.reconnect) {
            EXPECT_NE((*result)[3], Command::Entry);
        } else {
            EXPECT_EQ((*result)[3], Command::Entry);
            EXPECT_EQ((*result)[15], c.enters ? 1 : 0);
        }
        EXPECT_EQ(OpenPortProbe::ClosedWithin(*client.socket, 2000), !c.enters);
    }
    const QString log = Log();
    EXPECT_EQ(Count(log, "entry of key alice refused: unknown key or wrong password"), 2) << log.toStdString();
    EXPECT_EQ(Count(log, "entry of key mallory refused"), 1);
    EXPECT_EQ(Count(log, "reconnect of key alice refused"), 1);
    for (const char* secret : {"bob-pw", "alice-pw", "wrong-pw"})
        EXPECT_FALSE(log.contains(secret)) << secret;
}

TEST_F(ServerProcess, LinksPastTheCapsAreClosedAtOnce)
{
    port = Start({"--max-links", "3", "--max-links-per-address", "2"});
    ASSERT_GT(port, 0);
    const int turnedAway = OpenPortProbe::CheckLinkCaps("127.0.0.1", port);
    ASSERT_GE(turnedAway, 0);
    const QString log = Log();
    EXPECT_EQ(Count(log, "link from 127.0.0.1 closed at once: its address holds 2 links already"), 1)
        << log.toStdString();
    EXPECT_EQ(Count(log, "link from 127.0.0.3 closed at once: all 3 links are taken"), 1 + turnedAway) << log.toStdString();
}

TEST_F(ServerProcess, LinksWithoutAnEntryRequestAreClosedInTime)
{
    const auto enter = [](QTcpSocket& socket) {
        Bytes p = NewPacket(Command::Entry);
        std::copy_n("early", 5, p.begin() + 16);
        socket.write(reinterpret_cast<const char*>(p.data()), 272);
        socket.flush();
    };
    // A short limit, then the default of ten seconds.
    for (const int limit : {400, 10000}) {
        SCOPED_TRACE(limit);
        Stop();
        port = Start(limit == 10000 ? QStringList{} : QStringList{"--entry-limit-ms", QString::number(limit)});
        ASSERT_GT(port, 0);
        const qint64 held = OpenPortProbe::CheckEntryLimit("127.0.0.1", port, limit, enter);
        EXPECT_LT(held, limit + 1500);
        std::printf("entry limit %d ms: a silent link was closed after %lld ms\n", limit, static_cast<long long>(held));
        EXPECT_EQ(Count(Log(), "no entry request within " + QString::number(limit) + " ms"), 2) << Log().toStdString();
    }
}

TEST_F(ServerProcess, AClientThatDoesNotReadIsClosedAtTheOutputBound)
{
    // The server echoes every chat line to its sender; this client sends them and never reads.
    port = Start({"--output-limit", "65536", "--chat-lines", "100000", "--chat-window-ms", "1"});
    ASSERT_GT(port, 0);
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    const int small = 4096;
    ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
    const timeval limit{10, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<uint16_t>(port));
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::connect(fd, reinterpret_cast<const sockaddr*>(&to), sizeof to), 0);

    Bytes entry = NewPacket(Command::Entry);
    std::copy_n("reader", 6, entry.begin() + 16);
    Bytes chat = NewPacket(Command::Chat);
    std::copy_n("not read", 8, chat.begin() + 16);
    long long sent = 0;
    bool closed = false;
    ASSERT_EQ(::send(fd, entry.data(), entry.size(), MSG_NOSIGNAL), 272);
    // Bounded: 64 MB of chat at most, far past the kernel's buffers and the bound.
    while (!closed && sent < 250000) {
        closed = ::send(fd, chat.data(), chat.size(), MSG_NOSIGNAL) != 272;
        sent += !closed;
    }
    ::close(fd);
    EXPECT_TRUE(closed) << "the server kept a link that never reads";
    std::printf("output bound 65536 bytes: closed after %lld chat lines (%lld bytes) were sent\n", sent, sent * 272);
    QDeadlineTimer deadline(5000);
    while (!Log().contains("unsent output passed 65536 bytes") && !deadline.hasExpired())
        QThread::msleep(20);
    EXPECT_TRUE(Log().contains("closing the link of seat 0 from 127.0.0.1: its unsent output passed 65536 bytes"));
    // The server is still there for the next player.
    ScriptedClient next;
    ASSERT_TRUE(next.Connect(port));
    next.Enter("next");
    const auto result = FirstPacket(next);
    ASSERT_TRUE(result);
    EXPECT_EQ((*result)[3], Command::Entry);
}

TEST_F(ServerProcess, ChatBeyondFiveLinesInTheWindowIsDropped)
{
    ScriptedClient client;
    // Five lines, as by default, in a window short enough to wait out.
    ASSERT_NO_FATAL_FAILURE(StartAndEnter(client, {"--chat-window-ms", "1500"}));
    QDeadlineTimer deadline(20000);
    ASSERT_TRUE(client.WaitForFullTable(deadline));
    QElapsedTimer window;
    window.start();
    auto say = [&client](const std::string& text) {
        Bytes chat = NewPacket(Command::Chat);
        std::copy(text.begin(), text.end(), chat.begin() + 16);
        client.Send(chat);
    };
    for (int i = 0; i < 8; ++i)
        say("line " + std::to_string(i));
    // What comes back within the window.
    auto echoes = [&client](int ms) {
        std::vector<std::string> lines;
        const QDeadlineTimer until(ms);
        while (const auto p = client.Next(until))
            if ((*p)[3] == Command::Chat)
                lines.push_back(Probe::Field(*p, 16, 100));
        return lines;
    };
    EXPECT_EQ(echoes(1000), (std::vector<std::string>{"line 0", "line 1", "line 2", "line 3", "line 4"}));
    EXPECT_EQ(Count(Log(), "dropped: more than 5 lines in 1500 ms"), 3) << Log().toStdString();
    QThread::msleep(static_cast<unsigned long>(std::max<qint64>(0, 1600 - window.elapsed())));
    say("later");
    EXPECT_EQ(echoes(1000), std::vector<std::string>{"later"});
}

TEST_F(ServerProcess, PasswordChecksStallNoTable)
{
    // alice at the program's own hashing cost (a good part of a second here), bob at the least.
    const QString accounts = dir.filePath("accounts");
    auto add = [&](const QStringList& options, const QByteArray& password) {
        QProcess adder;
        adder.start(ServerPath(), QStringList{"--accounts", accounts} + options);
        adder.write(password);
        adder.closeWriteChannel();
        ASSERT_TRUE(adder.waitForFinished(20000));
        ASSERT_EQ(adder.exitCode(), 0);
    };
    add({"--add-account", "alice"}, "alice-pw\n");
    add({"--add-account", "bob", "--hash-ops", "1", "--hash-memory", "8192"}, "bob-pw\n");
    port = Start({"--accounts", accounts});
    ASSERT_GT(port, 0);
    ScriptedClient bob;
    ASSERT_TRUE(bob.Connect(port));
    bob.Enter("bob", false, "bob-pw");
    QDeadlineTimer full(20000);
    ASSERT_TRUE(bob.WaitForFullTable(full));

    // How long one check of alice's password takes, seen from outside.
    QElapsedTimer clock;
    clock.start();
    ScriptedClient probe;
    ASSERT_TRUE(probe.Connect(port));
    probe.Enter("alice", false, "wrong-pw");
    ASSERT_TRUE(FirstPacket(probe));
    const qint64 oneCheck = clock.elapsed();

    // Four more wrong passwords, then bob chats: his table answers at once, not after them.
    std::vector<std::unique_ptr<ScriptedClient>> guessers;
    for (int i = 0; i < 4; ++i) {
        guessers.push_back(std::make_unique<ScriptedClient>());
        ASSERT_TRUE(guessers.back()->Connect(port));
        guessers.back()->Enter("alice", false, "guess");
    }
    QThread::msleep(20);
    clock.restart();
    Bytes chat = NewPacket(Command::Chat);
    std::copy_n("still here", 10, chat.begin() + 16);
    bob.Send(chat);
    qint64 echoed = -1;
    for (const QDeadlineTimer until(10000); const auto p = bob.Next(until);)
        if ((*p)[3] == Command::Chat && Probe::Field(*p, 16, 100) == "still here") {
            echoed = clock.elapsed();
            break;
        }
    std::printf("one password check %lld ms; a chat line behind four of them answered in %lld ms\n",
                static_cast<long long>(oneCheck), static_cast<long long>(echoed));
    ASSERT_GE(echoed, 0);
    EXPECT_LT(echoed, oneCheck);
    for (auto& g : guessers) {
        const auto refusal = FirstPacket(*g);
        ASSERT_TRUE(refusal);
        EXPECT_EQ((*refusal)[15], 0);
    }
    EXPECT_EQ(Count(Log(), "entry of key alice refused"), 5) << Log().toStdString();
}

TEST_F(ServerProcess, MalformedPacketsNeitherEndNorBlockTheServer)
{
    port = Start({"--bots", "0"});
    ASSERT_GT(port, 0);
    std::mt19937 rng(7);
    auto garbage = [&rng](bool entered) {
        QByteArray bytes;
        for (int n = 0; n < 3000; ++n) {
            Bytes p{};
            for (uint8_t& b : p)
                b = static_cast<uint8_t>(rng());
            // Mostly the commands the server knows, with whatever fields; no zero ends anywhere.
            if (rng() % 4 != 0)
                p[3] = static_cast<uint8_t>(rng() % 32);
            if (!entered && p[3] == Command::Entry)
                p[3] = 0;
            bytes.append(reinterpret_cast<const char*>(p.data()), 272);
        }
        bytes.append(QByteArray(100, '\xff'));  // and half a packet at the end
        return bytes;
    };
    // One link sends garbage from the start, one after its (garbage) entry was taken.
    auto stranger = OpenPortProbe::LinkFrom("127.0.0.2", "127.0.0.1", port);
    ASSERT_TRUE(stranger);
    Bytes entry{};
    for (uint8_t& b : entry)
        b = static_cast<uint8_t>(rng() | 1);
    entry[3] = Command::Entry;
    entry[4] = 0;
    ScriptedClient seated;
    ASSERT_TRUE(seated.Connect(port));
    seated.socket->write(reinterpret_cast<const char*>(entry.data()), 272);
    seated.socket->write(garbage(true));
    stranger->write(garbage(false));
    seated.socket->flush();
    stranger->flush();
    for (QTcpSocket* s : {seated.socket.get(), stranger.get()})
        while (s->bytesToWrite() > 0 && s->waitForBytesWritten(2000)) {
        }

    // Another player still enters at once.
    ScriptedClient next;
    ASSERT_TRUE(next.Connect(port));
    QElapsedTimer answered;
    answered.start();
    next.Enter("next");
    const auto result = FirstPacket(next);
    ASSERT_TRUE(result) << Log().toStdString();
    EXPECT_EQ((*result)[3], Command::Entry);
    EXPECT_LT(answered.elapsed(), 2000);
    EXPECT_EQ(server.state(), QProcess::Running);
}

}  // namespace
