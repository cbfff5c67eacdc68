#pragma once
// This process is the client, with its real socket, tick and windows, at a table of the real
// server; the hall of this client is the recording double.
#include <QCoreApplication>
#include <QDeadlineTimer>

#include <algorithm>
#include <functional>
#include <vector>

#include "integration/ProgramsFixture.h"
#include "rules/Cards.h"
#include "session/Transport.h"
#include "session/Winsock1.h"
#include "table/TableState.h"
#include "ui/UiFixture.h"

namespace IntegrationTest {

class TableIntegration : public UiTest::TableFixture, public IntegrationTest::ProcessSet {
protected:
    void SetUp() override
    {
        TableFixture::SetUp();
        ASSERT_TRUE(dir.isValid());
        SetWinsock1(MakeTcpWinsock());
        Transport::AttachSocket();
    }

    void TearDown() override
    {
        StopAll();
        TableFixture::TearDown();
    }

    // This client seated at the server on port.
    MainForm& Sit(int port) { return Sit(Line(port)); }

    // This client started with a command line of its own.
    MainForm& Sit(const QString& line)
    {
        form = std::make_unique<MainForm>();
        EXPECT_TRUE(Startup::LoadMainForm(*form, {QStringLiteral("quellor"), line}, {1280, 1024}));
        return *form;
    }

    // This client at a table with two computer players, then bob through his own hall: bob's
    // position, or -1 when he did not appear. With chatPrint bob's client writes the chat lines
    // it shows to its output, which his hall passes on.
    int SitBesideBob(QProcess*& bobsHall, QString& serverOut, bool chatPrint = false)
    {
        QProcess* server = nullptr;
        const int port = StartServer({"--bots", "2", "--ready-seconds", "0"}, server, serverOut);
        if (port <= 0)
            return -1;
        Sit(port);
        if (!Until([] { return TableState.Table.PlayersKnown == 3; }, 10000))
            return -1;
        if (chatPrint)
            qputenv("QUELLOR_CHAT", "print");
        bobsHall = Start("hallmere", {"--headless", "--launch", Line(port, "bob", "pw")});
        qunsetenv("QUELLOR_CHAT");
        if (!Until([] { return TableState.Table.PlayersKnown == 4; }, 15000))
            return -1;
        for (int pos = 1; pos < 4; ++pos)
            if (TableState.Seats[static_cast<size_t>(pos)].seatKey == "bob")
                return pos;
        return -1;
    }

    // The card identifiers of the user's hand, sorted.
    static std::vector<int> ClientHand()
    {
        const SeatRecord& own = TableState.Seats[0];
        std::vector<int> ids;
        for (int i = 0; i < std::clamp<int>(own.CardCount, 0, 14); ++i)
            ids.push_back(Rules::CardIdentifier(own.hand[static_cast<size_t>(i)].value));
        std::sort(ids.begin(), ids.end());
        return ids;
    }

    // What the server says seat 0 holds (between rounds: what it was left with), sorted; its
    // output read meanwhile is added to out. Asked while the server waits for the user, when
    // neither side's hand can change.
    static std::vector<int> ServerHand(QProcess* server, QString& out)
    {
        const qsizetype from = out.size();
        server->write("hand 0\n");
        server->waitForBytesWritten(2000);
        const QRegularExpression line("hand of seat 0: ([0-9,]*)\\n");
        QRegularExpressionMatch m;
        QDeadlineTimer deadline(5000);
        while (!(m = line.match(out, from)).hasMatch() && !deadline.hasExpired()) {
            server->waitForReadyRead(50);
            out += QString::fromUtf8(server->readAllStandardOutput());
        }
        std::vector<int> ids;
        for (const QString& id : m.captured(1).split(',', Qt::SkipEmptyParts))
            ids.push_back(id.toInt());
        std::sort(ids.begin(), ids.end());
        return ids;
    }

    // Works the event loop (ticks, socket, timers) until done or the time is up.
    static bool Until(const std::function<bool()>& done, int ms)
    {
        QDeadlineTimer deadline(ms);
        while (!done()) {
            if (deadline.hasExpired())
                return false;
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        }
        return true;
    }
};

}  // namespace IntegrationTest
