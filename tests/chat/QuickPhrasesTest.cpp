// The quick phrases: the two lists from "chat.ini", sending a phrase at once, the window's
// opening and place.
#include <QFile>
#include <functional>
#include <optional>
#include <random>

#include "chat/ChatFixture.h"
#include "chat/QuickPhrases.h"
#include "ui/Popups.h"

using namespace ChatTest;

namespace {

class QuickPhrasesTest : public ChatFixture {
protected:
    void WritePhrases(const QByteArray& bytes)
    {
        QFile file(dir.filePath(QStringLiteral("bin/chat.ini")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
};

}  // namespace

TEST_F(QuickPhrasesTest, ListsFromChatIni)
{
    QByteArray binary;
    std::mt19937 random(5);
    for (int i = 0; i < 4000; ++i)
        binary.append(static_cast<char>(std::uniform_int_distribution<int>(0, 255)(random)));
    QByteArray huge = Gbk::Encode(QStringLiteral("[chat]\r\nnum=1\r\n1=你好\r\n"));
    huge.append(QByteArray(QuickPhrases::MaxFileBytes, ';'));
    QFile installed(QStringLiteral(QUELLOR_DEFAULT_PHRASES));
    ASSERT_TRUE(installed.open(QIODevice::ReadOnly));

    struct Case {
        const char* name;
        std::optional<QByteArray> file;  // none: no chat.ini
        QStringList list1, list2;
    };
    const QStringList hundred = [] {
        QStringList l;
        for (int i = 0; i < QuickPhrases::MaxPhrases; ++i)
            l << (i == 0 ? QStringLiteral("一") : QString());
        return l;
    }();
    const Case cases[] = {
        {"no file", std::nullopt, {}, {}},
        {"both lists", Gbk::Encode("[chat]\nnum=2\n1=快点吧\n2= 你好 \n[chat1]\nnum=1\n1=谢谢\n"), {"快点吧", "你好"}, {"谢谢"}},
        {"num beyond the phrases: empty entries", Gbk::Encode("[chat]\nnum=3\n1=甲\n3=丙\n"), {"甲", "", "丙"}, {}},
        {"num missing or not a number", Gbk::Encode("[chat]\n1=甲\n[chat1]\nnum=abc\n1=乙\n"), {}, {}},
        {"num far too large", Gbk::Encode("[chat]\nnum=99999999999999\n1=一\n"), hundred, {}},
        {"no sections", Gbk::Encode("num=2\n1=甲\n2=乙\n"), {}, {}},
        {"a file far too large", huge, {}, {}},
        {"the installed file", installed.readAll(),
         {"大家好，很高兴见到各位！", "快点吧，等得花儿都谢了。", "不要走，决战到天亮！", "打得真好，佩服佩服！",
          "合作愉快！", "对不起，刚才走神了。", "这把牌太烂了……", "稳住，我们能赢！", "我先出了，跟上啊。", "再来一局！"},
         {"你好！", "谢谢！", "好牌！", "不好意思，掉线了。", "有炸弹吗？", "看我的！", "再见了，下次再玩！", "哈哈哈……"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QuickPhrases::Unload();
        QFile::remove(dir.filePath(QStringLiteral("bin/chat.ini")));
        if (c.file)
            WritePhrases(*c.file);
        huifu& window = QuickPhrases::TheHuifu();
        EXPECT_EQ(UiTest::ListRows(window.List1), c.list1);
        EXPECT_EQ(UiTest::ListRows(window.List2), c.list2);
    }

    // Binary bytes, with and without sections, leave usable lists of printable entries.
    for (const QByteArray& bytes : {binary, "[chat]\nnum=5\n" + binary, "[chat]\nnum=2\n1=" + binary}) {
        QuickPhrases::Unload();
        WritePhrases(bytes);
        huifu& window = QuickPhrases::TheHuifu();
        EXPECT_LE(window.List1->count(), QuickPhrases::MaxPhrases);
        for (const QString& row : UiTest::ListRows(window.List1) + UiTest::ListRows(window.List2))
            for (QChar ch : row)
                EXPECT_GE(ch.unicode(), 0x20);
    }
}

TEST_F(QuickPhrasesTest, ADoubleClickSendsAtOnce)
{
    SeatPlayers();
    WritePhrases(Gbk::Encode("[chat]\nnum=1\n1=快点吧\n[chat1]\nnum=1\n1=谢谢\n"));
    Sent();
    struct Case {
        const char* name;
        std::function<void()> before;
        QString text;
        int whisper;
    };
    const Case cases[] = {
        {"to everyone; what was typed is dropped", [this] { form->Chat->setText("打了一半"); }, "甲说道： 快点吧", 0},
        {"within the flood lock", [] { ChatInputState.ChatAllowed = false; }, "甲说道： 快点吧", 0},
        {"for a spectator", [] { TableState.Table.Spectator = true; }, "甲说道： 快点吧", 0},
        {"to the addressed player", [this] { ChatInput::PortraitClick(2); form->Chat->insert("嗯"); }, "快点吧", 4},
        {"addressed without a seat bit",
         [] { TableState.Seats[2].seatBit = 0; ChatInput::PortraitClick(2); }, "甲对丙说 ：快点吧", 0},
        {"a prefix no longer in the box",
         [this] { ChatInput::PortraitClick(2); form->Chat->setText("别的"); }, "甲说道： 快点吧", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ChatInput::Reset();
        TableState.Table.Spectator = false;
        TableState.Seats[2].seatBit = 4;
        form->Chat->clear();
        c.before();
        QuickPhrases::Open(1);
        huifu& window = QuickPhrases::TheHuifu();
        ASSERT_EQ(window.List1->count(), 1);
        emit window.List1->itemDoubleClicked(window.List1->item(0));
        const std::vector<Packet> lines = ChatSent();
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_EQ(Chat::DecodeChatText(lines[0]), c.text);
        EXPECT_EQ(lines[0][Field::Chat::Whisper], c.whisper);
        EXPECT_EQ(lines[0][Field::Seat], 1);
        EXPECT_TRUE(form->Chat->text().isEmpty());
        EXPECT_TRUE(ChatInputState.WhisperPrefix.isEmpty());
        EXPECT_FALSE(window.isVisible());
    }
}

TEST_F(QuickPhrasesTest, ThePhraseButtonsOpenOneListInItsPlace)
{
    for (QSize screen : {QSize(1280, 1024), QSize(800, 600)}) {
        SCOPED_TRACE(screen.width());
        MainForm& f = SeatPlayers(screen);
        const bool small = screen.width() == 800;
        const QPoint corner = f.frameGeometry().topLeft() + f.Pic1->pos();
        const QSize basis = small ? f.size() : f.Pic1->size();
        const QPoint place = corner + QPoint(int((small ? 0.22 : 0.3) * basis.width()), int((small ? 0.6 : 0.66) * basis.height()));

        Popups::Toggle(Popup::Talk);
        ASSERT_TRUE(Popups::Showing(Popup::Talk));
        UiTest::Press(f.imgword1);
        huifu& window = QuickPhrases::TheHuifu();
        EXPECT_FALSE(Popups::Showing(Popup::Talk));
        ASSERT_TRUE(window.isVisible());
        EXPECT_EQ(window.pos(), place);
        EXPECT_TRUE(window.List1->isVisible());
        EXPECT_FALSE(window.List2->isVisible());

        UiTest::Press(f.imgword2);
        EXPECT_TRUE(window.isVisible());
        EXPECT_FALSE(window.List1->isVisible());
        EXPECT_TRUE(window.List2->isVisible());
        UiTest::Press(f.imgword2);
        EXPECT_FALSE(window.isVisible());

        UiTest::Press(f.imgword1);
        UiTest::Press(window.Label1);
        EXPECT_FALSE(window.isVisible());
        // A click on the table closes it too.
        UiTest::Press(f.imgword1);
        UiTest::Press(f.Pic1);
        EXPECT_FALSE(window.isVisible());
    }
}
