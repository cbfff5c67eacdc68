// This process is the client at a table of the real server; other players are computer
// players or a second real client with its own hall.
#include <QFile>

#include "integration/TableIntegrationFixture.h"
#include "play/PlayerActions.h"
#include "protocol/TableState.h"
#include "session/Transport.h"
#include "session/Winsock1.h"
#include "ui/ExitWindows.h"
#include "ui/UiFixture.h"

using IntegrationTest::TableIntegration;

TEST_F(TableIntegration, LeavingARunningRoundSendsOneLeavePacketAndBringsTheHallBack)
{
    const QString record = dir.filePath("received.hex");
    QProcess* server = nullptr;
    QString serverOut;
    const int port = StartServer({"--bots", "3", "--ready-seconds", "1", "--turn-seconds", "30", "--record", record},
                                 server, serverOut);
    ASSERT_GT(port, 0);
    Sit(port);
    ASSERT_TRUE(Until([] { return TableState.Round.RoundRunning; }, 20000)) << serverOut.toStdString();
    hall->posted.clear();

    PlayerActions::AnNiuClick(8);
    ASSERT_TRUE(ExitWindows::ExitShowing());
    EXPECT_TRUE(ExitWindows::TheExit().Label2->isVisible());  // a round runs: the warning line shows
    ExitWindows::TheExit().pbCloseMe->clicked(Qt::LeftButton);

    ASSERT_TRUE(WaitForOutput(server, serverOut, QRegularExpression("alice leaves during round 1")))
        << serverOut.toStdString();
    EXPECT_EQ(hall->posted, (std::vector<uint32_t>{61728}));
    EXPECT_EQ(Winsock1().State(), SocketState::Closed);
    EXPECT_EQ(TestDoubles::Seen().endCalls, 0);

    // Exactly one leave packet reached the server.
    QFile file(record);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    int leaves = 0;
    while (!file.atEnd()) {
        const QByteArray packet = QByteArray::fromHex(file.readLine().trimmed());
        leaves += packet.size() == 272 && packet[3] == 16 && packet[14] == 1 ? 1 : 0;
    }
    EXPECT_EQ(leaves, 1);
}

TEST_F(TableIntegration, AnotherPlayerLeavingEmptiesTheSeat)
{
    QProcess* server = nullptr;
    QString serverOut;
    const int port = StartServer({"--bots", "2", "--ready-seconds", "0"}, server, serverOut);
    ASSERT_GT(port, 0);
    MainForm& f = Sit(port);
    ASSERT_TRUE(Until([] { return TableState.Table.PlayersKnown == 3; }, 10000));

    // bob sits down through his own hall, then his hall closes his table.
    QProcess* bobsHall = Start("hallmere", {"--headless", "--launch", Line(port, "bob", "pw")});
    ASSERT_TRUE(Until([] { return TableState.Table.PlayersKnown == 4; }, 15000)) << serverOut.toStdString();
    int bob = -1;
    for (int pos = 1; pos < 4; ++pos)
        if (TableState.Seats[static_cast<size_t>(pos)].seatKey == "bob")
            bob = pos;
    ASSERT_GT(bob, 0);
    EXPECT_FALSE(f.Nid[static_cast<size_t>(bob)]->text().isEmpty());
    bobsHall->write("send 1024\n");
    ASSERT_TRUE(bobsHall->waitForBytesWritten(3000));

    ASSERT_TRUE(Until([] { return TableState.Table.PlayersKnown == 3; }, 15000)) << serverOut.toStdString();
    EXPECT_TRUE(f.Nid[static_cast<size_t>(bob)]->text().isEmpty());
    EXPECT_TRUE(TableState.Seats[static_cast<size_t>(bob)].seatKey.isEmpty());
    EXPECT_TRUE(SysmsgText(0).startsWith("bob退出了游戏 ")) << SysmsgText(0).toStdString();
}
