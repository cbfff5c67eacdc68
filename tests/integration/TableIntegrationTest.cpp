// This process is the client at a table of the real server; other players are computer
// players or a second real client with its own hall.
#include <QFile>

#include <QKeyEvent>

#include "chat/ChatInput.h"
#include "chat/Talk.h"
#include "integration/TableIntegrationFixture.h"
#include "play/PlayerActions.h"
#include "session/Transport.h"
#include "session/Winsock1.h"
#include "table/TableState.h"
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
    // bob sits down through his own hall, then his hall closes his table.
    QProcess* bobsHall = nullptr;
    QString serverOut;
    const int bob = SitBesideBob(bobsHall, serverOut);
    ASSERT_GT(bob, 0) << serverOut.toStdString();
    MainForm& f = *form;
    EXPECT_FALSE(f.Nid[static_cast<size_t>(bob)]->text().isEmpty());
    bobsHall->write("send 1024\n");
    ASSERT_TRUE(bobsHall->waitForBytesWritten(3000));

    ASSERT_TRUE(Until([] { return TableState.Table.PlayersKnown == 3; }, 15000)) << serverOut.toStdString();
    EXPECT_TRUE(f.Nid[static_cast<size_t>(bob)]->text().isEmpty());
    EXPECT_TRUE(TableState.Seats[static_cast<size_t>(bob)].seatKey.isEmpty());
    EXPECT_TRUE(SysmsgText(0).startsWith("bob退出了游戏 ")) << SysmsgText(0).toStdString();
}

TEST_F(TableIntegration, TwoClientsExchangeALineAndAPrivateRemark)
{
    QProcess* bobsHall = nullptr;
    QString serverOut;
    const int bob = SitBesideBob(bobsHall, serverOut, true);
    ASSERT_GT(bob, 0) << serverOut.toStdString();
    MainForm& f = *form;
    // bob's client takes its seat messages before any line sent after them.
    QString bobOut;

    const auto enter = [&f](const QString& text) {
        f.Chat->insert(text);
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QCoreApplication::sendEvent(f.Chat, &press);
    };
    const auto shown = [] {
        Talk* talk = TalkWindow::Loaded();
        return talk ? UiTest::ListRows(talk->Text1) : QStringList();
    };
    enter(QStringLiteral("大家好"));
    ASSERT_TRUE(Until([&] { return shown().contains("你说道： 大家好"); }, 5000)) << shown().join('|').toStdString();
    EXPECT_TRUE(WaitForOutput(bobsHall, bobOut, QRegularExpression("chat: alice说道： 大家好"))) << bobOut.toStdString();

    ASSERT_TRUE(Until([] { return ChatInputState.ChatAllowed; }, 3000)) << "the lock ends by itself";
    ChatInput::PortraitClick(bob);
    EXPECT_EQ(f.Chat->text(), "你对bob说 ：");
    enter(QStringLiteral("悄悄话"));
    ASSERT_TRUE(Until([&] { return shown().contains("你对bob说道： 悄悄话"); }, 5000)) << shown().join('|').toStdString();
    EXPECT_TRUE(WaitForOutput(bobsHall, bobOut, QRegularExpression("chat: alice对你说道： 悄悄话"))) << bobOut.toStdString();
}
