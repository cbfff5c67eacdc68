// The chat box: Enter and the send button, the 800 ms lock, private remarks by portrait, the
// prefix and Backspace, spectators, the cut at 100 characters, F1 in the box.
#include <functional>

#include "chat/ChatFixture.h"
#include "chat/QuickPhrases.h"
#include "play/PlayerActions.h"
#include "sound/VosSet.h"
#include "ui/Popups.h"

using namespace ChatTest;

namespace {

class ChatInputTest : public ChatFixture {
protected:
    void SetUp() override
    {
        ChatFixture::SetUp();
        SeatPlayers();
        Sent();
    }

    // The one chat line sent since the last call: its text and addressee byte.
    struct Line {
        QString text;
        int whisper = -1;
        int sender = -1;
    };
    Line OneLine()
    {
        const std::vector<Packet> lines = ChatSent();
        EXPECT_EQ(lines.size(), 1u);
        if (lines.size() != 1)
            return {};
        return {Chat::DecodeChatText(lines[0]), lines[0][Field::Chat::Whisper], lines[0][Field::Seat]};
    }
};

}  // namespace

TEST_F(ChatInputTest, EnterSendsOneLineAndLocksTheBoxFor800ms)
{
    Type("你好");
    Key(Qt::Key_Return);
    const Line sent = OneLine();
    EXPECT_EQ(sent.text, "甲说道： 你好");
    EXPECT_EQ(sent.sender, 1);
    EXPECT_EQ(sent.whisper, 0);
    EXPECT_TRUE(form->Chat->text().isEmpty());
    EXPECT_TRUE(form->TimerChat->isActive());
    EXPECT_EQ(form->TimerChat->interval(), 800);
    EXPECT_TRUE(History().isEmpty()) << "a line is shown when the server returns it";

    // Within the 800 ms the typed line is lost with a warning.
    Type("再来");
    Key(Qt::Key_Enter);
    EXPECT_TRUE(ChatSent().empty());
    EXPECT_TRUE(form->Chat->text().isEmpty());
    EXPECT_EQ(History(), QStringList{ChatInput::TooFast});
    // An empty box gives no warning.
    Key(Qt::Key_Return);
    EXPECT_EQ(History().size(), 1);

    ChatInput::TimerChatTick();
    EXPECT_FALSE(form->TimerChat->isActive());
    // Enter on an empty box sends nothing but locks again.
    Key(Qt::Key_Return);
    EXPECT_TRUE(ChatSent().empty());
    Type("x");
    Key(Qt::Key_Return);
    EXPECT_TRUE(ChatSent().empty());
    EXPECT_EQ(History().size(), 2);
    ChatInput::TimerChatTick();
    Type("x");
    Key(Qt::Key_Return);
    EXPECT_EQ(OneLine().text, "甲说道： x");
}

TEST_F(ChatInputTest, PrivateRemarksByPortrait)
{
    struct Case {
        const char* name;
        std::function<void()> act;
        QString box;        // the box afterwards, before Enter
        QString sentText;   // empty: nothing is sent
        int whisper;
    };
    const auto click = [](int position) { ChatInput::PortraitClick(position); };
    const std::vector<Case> cases = {
        {"addressed line goes bare with the seat bit",
         [&] { Type("好"); click(1); }, "你对乙说 ：好", "好", 2},
        {"without the seat bit the line says whom it is for",
         [&] { TableState.Seats[1].seatBit = 0; click(1); Type("好"); }, "你对乙说 ：好", "甲对乙说 ：好", 0},
        {"the prefix alone, blanks around it, is not sent",
         [&] {
             click(1);
             form->Chat->setCursorPosition(0);
             Type("  ");
             form->Chat->end(false);
             Type("  ");
         },
         "  你对乙说 ：  ", "", 0},
        {"a second portrait replaces the prefix and keeps the message",
         [&] { click(1); Type("快点"); click(2); }, "你对丙说 ：快点", "快点", 4},
        {"one Backspace at the end of the prefix erases all of it",
         [&] { click(3); Type("快点"); form->Chat->setCursorPosition(6); Key(Qt::Key_Backspace); },
         "快点", "甲说道： 快点", 0},
        {"one Backspace inside the prefix erases all of it",
         [&] { click(3); Type("快点"); form->Chat->setCursorPosition(2); Key(Qt::Key_Backspace); },
         "快点", "甲说道： 快点", 0},
        {"Backspace before the prefix erases it too",
         [&] { click(3); Type("快点"); form->Chat->setCursorPosition(0); Key(Qt::Key_Backspace); },
         "快点", "甲说道： 快点", 0},
        {"Backspace in the message is an ordinary Backspace",
         [&] { click(3); Type("快点"); Key(Qt::Key_Backspace); }, "你对丁说 ：快", "快", 8},
        {"the user's own portrait addresses nobody",
         [&] { click(0); Type("嗨"); }, "嗨", "甲说道： 嗨", 0},
        {"an empty seat addresses nobody",
         [&] { TableState.Players[2].nickname.clear(); click(2); Type("嗨"); }, "嗨", "甲说道： 嗨", 0},
        {"before the entry is accepted nobody is addressed",
         [&] { Connection::Link.EntryOk = false; click(1); Type("嗨"); }, "嗨", "甲说道： 嗨", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ChatInput::Reset();
        form->Chat->clear();
        Connection::Link.EntryOk = true;
        TableState.Seats[1].seatBit = 2;
        TableState.Players[2].nickname = "丙";
        c.act();
        EXPECT_EQ(form->Chat->text(), c.box);
        Key(Qt::Key_Return);
        const std::vector<Packet> lines = ChatSent();
        if (c.sentText.isEmpty()) {
            EXPECT_TRUE(lines.empty());
            EXPECT_EQ(form->Chat->text(), c.box) << "Enter leaves a prefix-only line in the box";
            continue;
        }
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_EQ(Chat::DecodeChatText(lines[0]), c.sentText);
        EXPECT_EQ(lines[0][Field::Chat::Whisper], c.whisper);
        EXPECT_TRUE(form->Chat->text().isEmpty());
        EXPECT_TRUE(ChatInputState.WhisperPrefix.isEmpty());
    }
}

TEST_F(ChatInputTest, SendButtonIsNotLockedAndWorksForSpectators)
{
    TableState.Table.Spectator = true;
    Type("看戏");
    Key(Qt::Key_Return);
    EXPECT_TRUE(ChatSent().empty()) << "a spectator's Enter sends nothing";
    EXPECT_EQ(form->Chat->text(), "看戏");
    EXPECT_FALSE(form->TimerChat->isActive());

    PlayerActions::AnNiuClick(0);  // the toolbar's own click handler knows nothing of it
    EXPECT_TRUE(ChatSent().empty());
    UiTest::Press(form->AnNiu[0]);
    EXPECT_EQ(OneLine().text, "甲说道： 看戏");
    Type("再说一句");
    UiTest::Press(form->AnNiu[0]);
    EXPECT_EQ(OneLine().text, "甲说道： 再说一句");
    EXPECT_FALSE(form->TimerChat->isActive());

    // The button empties the box first, so a line of the prefix alone just goes away.
    ChatInput::PortraitClick(1);
    UiTest::Press(form->AnNiu[0]);
    EXPECT_TRUE(ChatSent().empty());
    EXPECT_TRUE(form->Chat->text().isEmpty());
}

TEST_F(ChatInputTest, LongLinesAreCutAtOneHundredCharacters)
{
    Type(QString(120, QChar(u'长')));
    Key(Qt::Key_Return);
    const std::vector<Packet> lines = ChatSent();
    ASSERT_EQ(lines.size(), 1u);
    const QString expected = QStringLiteral("甲说道： ") + QString(95, QChar(u'长'));
    EXPECT_EQ(Chat::DecodeChatText(lines[0]), expected);
    // 4 two-byte characters, the blank, 95 two-byte characters: 199 bytes, the rest zero.
    EXPECT_NE(lines[0][214], 0);
    EXPECT_EQ(lines[0][215], 0);
}

TEST_F(ChatInputTest, F1InTheBoxHidesEveryPopupInsteadOfUnloadingIt)
{
    ToggleVosSet(*form);
    Popups::Toggle(Popup::Talk);
    ASSERT_TRUE(TheVosSet() != nullptr && TheVosSet()->isVisible());
    ASSERT_TRUE(Popups::Showing(Popup::Talk));

    Key(Qt::Key_F1);
    EXPECT_TRUE(TheVosSet() != nullptr) << "hidden, not unloaded";
    EXPECT_FALSE(TheVosSet()->isVisible());
    EXPECT_FALSE(Popups::Showing(Popup::Talk));
    EXPECT_TRUE(TableState.Clock.Hidden);
    EXPECT_TRUE(TableState.Clock.AutoPlay);
    EXPECT_EQ(TableState.Clock.TurnSeconds, 1);

    // F1 on the table unloads the settings window.
    PlayerActions::KeyDown(Qt::Key_F1);
    EXPECT_TRUE(TheVosSet() == nullptr);
}

TEST_F(ChatInputTest, HistoryIsClearedPastOneHundredEntriesAtTheNextKey)
{
    for (int i = 0; i < 100; ++i)
        TalkWindow::AddHistoryEntry(QString::number(i));
    Key(Qt::Key_A);
    EXPECT_EQ(History().size(), 100);
    TalkWindow::AddHistoryEntry(QStringLiteral("101"));
    Key(Qt::Key_A);
    EXPECT_TRUE(History().isEmpty());
}
