#pragma once
// The real server process and a scripted client on a QTcpSocket that enters, gets ready and
// plays the hint or passes at every turn, for the tests that drive the server over TCP.
// Everything is bounded in time and the server is stopped at the end of each test.
#include "rules/Cards.h"
#include "rules/Classify.h"
#include "rules/Hints.h"
#include "wire/Commands.h"

#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

#include "Probe.h"

namespace ServerTest {

using Bytes = Probe::Bytes;

inline Bytes NewPacket(int command)
{
    Bytes p{};
    p[3] = static_cast<uint8_t>(command);
    return p;
}

// A client that plays like the table client's hint button, from what the packets tell it.
struct ScriptedClient {
    std::unique_ptr<QTcpSocket> socket = std::make_unique<QTcpSocket>();
    QByteArray buffer;
    uint8_t code[2] = {0, 0};
    int ownBit = 0;
    int level = 3;
    std::vector<CardValue> hand;
    Rules::CurrentPlayRecord current{};
    std::vector<Bytes> results;
    int turnsTaken = 0;

    bool Connect(int port, const QString& host = QStringLiteral("127.0.0.1"))
    {
        socket = std::make_unique<QTcpSocket>();
        buffer.clear();
        socket->connectToHost(host, static_cast<quint16>(port));
        return socket->waitForConnected(5000);
    }

    void Send(Bytes p)
    {
        p[260] = code[0];
        p[261] = code[1];
        socket->write(reinterpret_cast<const char*>(p.data()), 272);
        socket->flush();
    }

    void Enter(const char* key, bool reconnect = false, const char* password = "pw")
    {
        Bytes p = NewPacket(Command::Entry);
        std::copy_n(key, std::strlen(key), p.begin() + 16);
        std::copy_n(password, std::strlen(password), p.begin() + 32);
        if (reconnect) {
            p[4] = 28;
            p[261] = code[0];
            p[262] = code[1];
        }
        // The entry request carries no session code of its own.
        socket->write(reinterpret_cast<const char*>(p.data()), 272);
        socket->flush();
    }

    void SendReady()
    {
        Bytes p = NewPacket(Command::Departure);
        p[6] = static_cast<uint8_t>(ownBit);
        p[15] = 1;
        Send(p);
    }

    // The next packet, or nothing once the deadline has passed.
    std::optional<Bytes> Next(const QDeadlineTimer& deadline)
    {
        while (buffer.size() < 272) {
            if (deadline.hasExpired() || socket->state() != QAbstractSocket::ConnectedState)
                return std::nullopt;
            socket->waitForReadyRead(50);
            buffer += socket->readAll();
        }
        Bytes p{};
        std::copy_n(reinterpret_cast<const uint8_t*>(buffer.constData()), 272, p.begin());
        buffer.remove(0, 272);
        if (p[3] != 29) {
            code[0] = p[260];
            code[1] = p[261];
        }
        return p;
    }

    // Reads on until the seat messages of all four players are in; false when time runs out.
    bool WaitForFullTable(const QDeadlineTimer& deadline)
    {
        int seatMessages = 0;
        while (seatMessages < 4) {
            const auto p = Next(deadline);
            if (!p)
                return false;
            Handle(*p);
            seatMessages += (*p)[3] == 20;
        }
        return true;
    }

    // Keeps the table view and answers turns.
    void Handle(const Bytes& p)
    {
        switch (p[3]) {
        case 20:
            if (ownBit == 0)
                ownBit = p[6] & 15;
            break;
        case 1: {
            level = p[9];
            const int count = (p[12] == ownBit || p[13] == ownBit) ? 14 : 13;
            std::vector<HandEntry> entries;
            for (int32_t c : Probe::Cards(p, 16, count))
                entries.push_back(HandEntry{c, 0});
            Rules::SortHand(entries, count, level);
            hand.clear();
            for (const HandEntry& e : entries)
                hand.push_back(e.value);
            current = {};
            break;
        }
        case 6: {
            const int state = p[15];
            if (state == 1 || state == 9 || state == 10)
                current = {};
            const int n = p[17];
            if (n > 0) {
                const auto cards = Probe::Cards(p, 20, n);
                Rules::SetCurrentPlay(current, Rules::PlayTypeFromCode(p[18]), cards);
                // Own plays leave the hand when the table confirms them, whoever chose them.
                if (p[6] == ownBit)
                    for (int32_t c : cards)
                        hand.erase(std::remove(hand.begin(), hand.end(), c), hand.end());
            }
            if (p[11] == ownBit && state < 10)
                TakeTurn();
            break;
        }
        case 9:
            results.push_back(p);
            break;
        default:
            break;
        }
    }

    void TakeTurn()
    {
        ++turnsTaken;
        std::vector<HandEntry> entries;
        for (size_t i = 0; i < hand.size(); ++i)
            entries.push_back(HandEntry{hand[i], static_cast<int16_t>(i)});
        const int n = static_cast<int>(entries.size());
        std::vector<int> picked;
        if (current.type == Rules::PlayType::Illegal) {
            const Rules::LeadHintGroup g = Rules::NextLeadHint(entries, n, 0);
            for (int k = 0; k < g.size; ++k)
                picked.push_back(Rules::HandSlotOfIndex(n, g.first + k));
        } else {
            Rules::FollowHintStore store;
            Rules::ComputeHintCandidates(entries, n, current, level, store);
            for (int r = 0; store.HintCount > 0 && r < Rules::HintRows && store.HintCandidates[0][static_cast<size_t>(r)] > 0; ++r)
                picked.push_back(Rules::HandSlotOfPosition(n, store.HintCandidates[0][static_cast<size_t>(r)]));
        }
        std::sort(picked.begin(), picked.end());
        Bytes p = NewPacket(Command::PlayRequest);
        p[6] = static_cast<uint8_t>(ownBit);
        if (picked.empty()) {
            p[15] = 1;
        } else {
            std::vector<CardValue> cards;
            for (int s : picked)
                cards.push_back(hand[static_cast<size_t>(s)]);
            p[15] = 2;
            p[17] = static_cast<uint8_t>(cards.size());
            p[18] = static_cast<uint8_t>(Rules::PlayTypeCode(Rules::ClassifyPlay(cards, level)));
            for (size_t i = 0; i < cards.size(); ++i)
                p[20 + i] = static_cast<uint8_t>(Rules::CardIdentifier(cards[i]));
        }
        Send(p);
    }
};

class ServerProcess : public ::testing::Test {
protected:
    void TearDown() override { Stop(); }

    void Stop()
    {
        if (server.state() != QProcess::NotRunning) {
            server.kill();
            server.waitForFinished(3000);
        }
    }

    static QString ServerPath() { return QStringLiteral(QUELLOR_BIN_DIR) + QStringLiteral("/quellor-server"); }

    int Start(const QStringList& extra)
    {
        EXPECT_TRUE(dir.isValid());
        logPath = dir.filePath(QStringLiteral("server.log"));
        server.setStandardOutputFile(logPath);
        server.setStandardErrorFile(dir.filePath(QStringLiteral("server.err")));
        server.start(ServerPath(),
                     QStringList{"--port", "0", "--bots", "3", "--bot-delay-ms", "20", "--turn-seconds", "5"} + extra);
        if (!server.waitForStarted(5000))
            return 0;
        const QRegularExpression listening(QStringLiteral("listening on \\S+:(\\d+)"));
        QDeadlineTimer deadline(10000);
        while (!deadline.hasExpired()) {
            const auto m = listening.match(Log());
            if (m.hasMatch())
                return m.captured(1).toInt();
            QThread::msleep(20);
        }
        return 0;
    }

    // Starts the server with `extra` options and enters `client` as "tester"; `port` stays
    // known for the connections a test makes later.
    void StartAndEnter(ScriptedClient& client, const QStringList& extra)
    {
        port = Start(extra);
        ASSERT_GT(port, 0);
        ASSERT_TRUE(client.Connect(port));
        client.Enter("tester");
    }

    // Lines for the server's standard input; without an event loop here they must be pushed out.
    void Type(const char* lines)
    {
        server.write(lines);
        EXPECT_TRUE(server.waitForBytesWritten(5000));
    }

    QString Log() const
    {
        QFile file(logPath);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

    QTemporaryDir dir;
    QString logPath;
    QProcess server;
    int port = 0;
};

}  // namespace ServerTest
