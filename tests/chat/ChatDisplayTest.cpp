// Chat lines from the server: composition of own, private and server lines, the word filter,
// the voice phrases, the history window and the message area; bad text shown safely.
#include <QFile>
#include <QScrollBar>
#include <random>

#include "chat/ChatFixture.h"
#include "chat/FiltChat.h"
#include "leaving/Shutdown.h"
#include "play/PlayerActions.h"
#include "session/TableWindow.h"
#include "sound/Mod_Sound.h"
#include "ui/PlayArea.h"
#include "ui/Popups.h"

using namespace ChatTest;

namespace {

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool BlinkStarted()
{
    return TableState.Clock.BlinkCount == 8 && Transport::State.TickTasks[Transport::BlinkTask].flag;
}

// The text of display lines put back together: later lines lose their leading blank.
QString Rejoined(const QStringList& lines)
{
    QString text;
    for (qsizetype i = 0; i < lines.size(); ++i)
        text += i == 0 ? lines[i] : lines[i].mid(1);
    return text;
}

class ChatDisplayTest : public ChatFixture {
protected:
    void SetUp() override
    {
        ChatFixture::SetUp();
        // The word list the build installs, beside the program.
        QFile::copy(QStringLiteral(QUELLOR_WORD_LIST), dir.filePath(QStringLiteral("bin/filtchat.txt")));
        SeatPlayers();
    }
};

}  // namespace

TEST_F(ChatDisplayTest, LinesAreComposedFilteredAndAnnounced)
{
    struct Case {
        uint8_t sender, to;
        const char* text;
        const char* shown;
        bool blink;
    };
    const Case cases[] = {
        {1, 0, "甲说道： 你好", "你说道： 你好", false},          // own line: 你
        {2, 0, "乙说道： 甲你好", "乙说道： 甲你好", true},        // another's line stands as sent
        {2, 1, "快点", "乙对你说道： 快点", true},                 // private remark to the user
        {1, 2, "等等", "你对乙说道： 等等", false},                // the user's own private remark
        {4, 8, "嘿", "丙对丁说道： 嘿", true},                     // between two others
        {2, 0, "乙说道： 你这个王八蛋", "乙说道： 你这个", true},  // filtered
        {2, 0, "乙说道： 色情片", "乙说道： 片", true},            // a word inside a longer one
        {0, 0, "系统：王八蛋已被禁言", "系统：王八蛋已被禁言", false},  // the server's: unfiltered
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shown);
        TableState.Clock.BlinkCount = 0;
        Transport::StopTask(Transport::BlinkTask);
        SysmsgClear(0);
        SysmsgClear(1);
        Deliver(ChatPacket(c.sender, c.to, QString::fromUtf8(c.text)));
        ASSERT_FALSE(History().isEmpty());
        EXPECT_EQ(History().last(), QString::fromUtf8(c.shown));
        EXPECT_EQ(SysmsgText(0), QString::fromUtf8(c.shown));
        EXPECT_EQ(BlinkStarted(), c.blink);
    }
    // Eight picture changes, then the button is back to its normal picture.
    Deliver(ChatPacket(2, 0, "乙说道： 在吗"));
    const int normal = form->AnNiu[1]->pictureId();
    for (int tick = 0; tick < 8 * 10; ++tick)
        Transport::RunTick();
    EXPECT_FALSE(Transport::State.TickTasks[Transport::BlinkTask].flag);
    EXPECT_EQ(form->AnNiu[1]->pictureId(), normal);
}

TEST_F(ChatDisplayTest, TheMessageAreaKeepsTheLastTwoLinesNewestBelow)
{
    SysmsgClear(0);
    SysmsgClear(1);
    for (const char* line : {"一", "二", "三"})
        PostSystemLine(QString::fromUtf8(line));
    EXPECT_EQ(SysmsgText(0), "二");
    EXPECT_EQ(SysmsgText(1), "三");

    // A long line: 45 characters in the area, the whole line in the history, newest on top.
    const QString fifty(50, QChar(u'字'));
    Deliver(ChatPacket(0, 0, fifty));
    EXPECT_EQ(SysmsgText(1), fifty.left(45));
    Talk& talk = TalkWindow::TheTalk();
    const QStringList entries = History();
    ASSERT_EQ(entries.size(), 3);
    EXPECT_EQ(entries[0], fifty.left(23));
    EXPECT_EQ(entries[1], QStringLiteral(" ") + fifty.mid(23, 21));
    EXPECT_EQ(entries[2], QStringLiteral(" ") + fifty.mid(44));
    for (int i = 0; i < 30; ++i)
        Deliver(ChatPacket(0, 0, QStringLiteral("第%1行").arg(i)));
    talk.show();
    QApplication::processEvents();
    const QScrollBar* bar = talk.Text1->verticalScrollBar();
    EXPECT_GT(bar->maximum(), 0);
    EXPECT_EQ(bar->value(), bar->maximum()) << "the newest line is in view";
}

TEST(WrapLines, FiftyChineseCharactersAndTheEdges)
{
    const QString fifty(50, QChar(u'中'));
    EXPECT_EQ(Chat::WrapLines(fifty, 44),
              (QStringList{fifty.left(23), " " + fifty.mid(23, 21), " " + fifty.mid(44)}));
    EXPECT_TRUE(Chat::WrapLines(QString(), 44).isEmpty());
    EXPECT_TRUE(Chat::WrapLines(QString(QChar(0)) + "abc", 44).isEmpty());
    EXPECT_EQ(Chat::WrapLines(QStringLiteral("ab") + QChar(0) + "cd", 44), QStringList{"ab"});
    // Single-byte characters count one: 45 fit the first line.
    const QString ascii(100, QLatin1Char('a'));
    EXPECT_EQ(Chat::WrapLines(ascii, 44).first(), ascii.left(45));
}

// Whatever the text and width, no character is split or lost or doubled, and every line after
// the first starts with a blank.
TEST(WrapLines, EveryCharacterExactlyOnceAndNeverSplit)
{
    std::mt19937 random(13);
    const char16_t pool[] = {u'a', u' ', u'Z', u'中', u'文', 0xE9, 0xFFFD, u'！'};
    for (int round = 0; round < 400; ++round) {
        QString text;
        const int length = std::uniform_int_distribution<int>(1, 260)(random);
        for (int k = 0; k < length; ++k) {
            if (std::uniform_int_distribution<int>(0, 9)(random) == 0) {
                text += QChar(0xD83D);  // a character beyond the basic plane: two units
                text += QChar(0xDE00);
            } else {
                text += QChar(pool[std::uniform_int_distribution<size_t>(0, std::size(pool) - 1)(random)]);
            }
        }
        for (int width : {3, 10, 44}) {
            const QStringList lines = Chat::WrapLines(text, width);
            SCOPED_TRACE(text.toStdString() + " width " + std::to_string(width));
            ASSERT_FALSE(lines.isEmpty());
            EXPECT_EQ(Rejoined(lines), text);
            for (qsizetype i = 0; i < lines.size(); ++i) {
                ASSERT_FALSE(lines[i].isEmpty());
                if (i > 0) {
                    EXPECT_TRUE(lines[i].startsWith(QLatin1Char(' ')) && lines[i].size() > 1);
                }
                EXPECT_FALSE(lines[i].back().isHighSurrogate());
                EXPECT_FALSE(lines[i].mid(i > 0 ? 1 : 0).front().isLowSurrogate());
            }
        }
    }
}

TEST(FiltChat, TheInstalledListAndItsOrder)
{
    const QStringList words = FiltChat::ParseWordList(ReadFile(QStringLiteral(QUELLOR_WORD_LIST)));
    ASSERT_EQ(words.size(), 15);
    EXPECT_EQ(words[10], "淫") << "the one-character word leads its category";
    // An entry that contains another stands before it, or the shorter would cut it first.
    for (qsizetype i = 0; i < words.size(); ++i)
        for (qsizetype j = i + 1; j < words.size(); ++j)
            EXPECT_FALSE(words[j].contains(words[i])) << words[j].toStdString() << " after " << words[i].toStdString();

    struct Case {
        const char* text;
        const char* filtered;
    };
    const Case cases[] = {
        {"他妈的混蛋", ""},       {"fuck you", " you"},  {"FUCK", "FUCK"},
        {"张某甲说了算", "说了算"}, {"淫色情", ""},      {"做爱心便当", "心便当"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FiltChat::FilterChat(QString::fromUtf8(c.text), words), QString::fromUtf8(c.filtered)) << c.text;

    // Order matters: with the shorter entry first, the longer one is never found whole.
    EXPECT_EQ(FiltChat::FilterChat("AB-ABC", {"ABC", "B"}), "A-");
    EXPECT_EQ(FiltChat::FilterChat("AB-ABC", {"B", "ABC"}), "A-AC");
}

TEST(FiltChat, ListFileInUtf8OrGbk)
{
    const QString list = QStringLiteral("# 注释\r\n\r\n  混蛋 \r\nfoo\n");
    const QStringList expected{"混蛋", "foo"};
    EXPECT_EQ(FiltChat::ParseWordList(list.toUtf8()), expected);
    EXPECT_EQ(FiltChat::ParseWordList("\xEF\xBB\xBF" + list.toUtf8()), expected);
    EXPECT_EQ(FiltChat::ParseWordList(Gbk::Encode(list)), expected);
    EXPECT_TRUE(FiltChat::ParseWordList(QByteArray()).isEmpty());
}

TEST_F(ChatDisplayTest, WithoutAWordListNothingIsFiltered)
{
    QFile::remove(dir.filePath(QStringLiteral("bin/filtchat.txt")));
    FiltChat::Reset();
    Deliver(ChatPacket(2, 0, "乙说道： 混蛋"));
    EXPECT_EQ(History().last(), "乙说道： 混蛋");
}

TEST_F(ChatDisplayTest, BadTextIsShownSafely)
{
    struct Case {
        const char* name;
        QByteArray bytes;
        QString text;  // the decoded text, when the case fixes it
    };
    QByteArray leadLast(199, 'a');
    leadLast.append('\xB0');
    leadLast.append('\x41');  // byte 216: beyond the text, never read
    QByteArray full(200, 'b');
    full.append('X');
    const Case cases[] = {
        {"200 bytes and no zero", full, QString(200, QLatin1Char('b'))},
        {"a lead byte as the last text byte", leadLast, QString(199, QLatin1Char('a')) + QChar(0xFFFD)},
        {"invalid pairs", QByteArray("\x81\x20\xFF\xFF\x80", 5), QString()},
        {"control characters", QByteArray("a\nb\rc\td\x01\x1b[2Je\x7f", 13), QString()},
        {"a long run without blanks", QByteArray(200, 'w'), QString(200, QLatin1Char('w'))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Packet p = ChatBytes(2, 0, c.bytes);
        if (!c.text.isNull()) {
            EXPECT_EQ(Chat::DecodeChatText(p), c.text);
        }
        TalkWindow::ClearHistory();
        Deliver(p);
        const QStringList entries = History();
        ASSERT_FALSE(entries.isEmpty());
        for (const QString& entry : entries + QStringList{SysmsgText(0), SysmsgText(1)})
            for (QChar ch : entry)
                EXPECT_FALSE(ch.unicode() < 0x20 || ch.unicode() == 0x7F) << entry.toStdString();
        EXPECT_EQ(Rejoined(entries).size(), Chat::ComposeChatLine(p).size());
    }
    // Direction overrides cannot turn a line around; control characters become blanks.
    const QString rlo = QStringLiteral("甲说道： ") + QChar(0x202E) + "abc" + QChar(0x200F) + "\n";
    EXPECT_EQ(Chat::DisplaySafe(rlo), "甲说道： abc ");
}

TEST_F(ChatDisplayTest, VoicePhrasesPlayOnlyRecordedFilesInTheVoiceFolder)
{
    const QString folder = dir.filePath(QStringLiteral("common/tianjin"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const auto touch = [](const QString& path) {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write("RIFF") == 4;
    };
    ASSERT_TRUE(touch(folder + "/v271013a1.wav"));
    // Files a crafted name might reach: beside the folder and beside the program.
    ASSERT_TRUE(touch(dir.filePath(QStringLiteral("common/x.wav"))));
    ASSERT_TRUE(touch(dir.filePath(QStringLiteral("bin/x.wav"))));
    for (size_t pos = 1; pos < 4; ++pos) {
        PlayerRecord& p = TableState.Players[pos];
        p.voiceSet = "27";
        p.voiceId = "10";
        p.sex = 1;
        p.voiceKind = 3;
    }
    const QString played = Mod_Sound::ProgramPath(QStringLiteral("\\..\\common\\tianjin\\v271013a1.wav"));

    const QString voiceFolder = Mod_Sound::ProgramPath(QStringLiteral("\\..\\common\\tianjin\\"));
    struct Case {
        const char* name;
        uint8_t sender, voice, code, number;
        const char* voiceSet;  // of the sender
        const char* tried;     // the file name the player is given; none: the sound is not touched
        bool plays;
    };
    const Case cases[] = {
        {"recorded phrase", 2, 1, 'a', 1, "27", "v271013a1.wav", true},
        {"no phrase asked", 2, 0, 'a', 1, "27", nullptr, false},
        {"the user's own line", 1, 1, 'a', 1, "27", nullptr, false},
        {"a phrase without a file", 2, 1, 'a', 9, "27", "v271013a9.wav", false},
        {"dots alone stay in the folder", 2, 1, '.', 1, "..", "v..1013.1.wav", false},
        {"a slash in the phrase byte", 2, 1, '/', 1, "27", nullptr, false},
        {"a backslash in the phrase byte", 2, 1, '\\', 1, "27", nullptr, false},
        {"a byte beyond ASCII", 2, 1, 0xE4, 1, "27", nullptr, false},
        {"a voice set climbing out", 2, 1, 'a', 1, "/../../x", nullptr, false},
        {"a voice set climbing out the other way", 2, 1, 'a', 1, "\\..\\..\\x", nullptr, false},
    };
    // The output refuses files that are not there, as the real one does.
    soundDevice->unplayable << voiceFolder + "v271013a9.wav" << voiceFolder + "v..1013.1.wav";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TableState.Players[1].voiceSet = QString::fromLatin1(c.voiceSet);
        soundDevice->calls.clear();
        Packet p = ChatPacket(c.sender, 0, "说话");
        p[Field::Chat::Voice] = c.voice;
        p[Field::Chat::VoiceCode] = c.code;
        p[Field::Chat::VoiceNumber] = c.number;
        Deliver(p);
        if (c.tried == nullptr) {
            EXPECT_TRUE(soundDevice->calls.isEmpty()) << soundDevice->calls.join(", ").toStdString();
            continue;
        }
        EXPECT_EQ(soundDevice->calls.filter("load "), QStringList{"load " + voiceFolder + QLatin1String(c.tried)});
        EXPECT_EQ(soundDevice->calls.contains("play once"), c.plays);
    }
    EXPECT_EQ(voiceFolder + "v271013a1.wav", played);
    // At full volume, and even with the cues switched off.
    Mod_Sound::State.EffectsOn = false;
    TableState.Players[1].voiceSet = "27";
    Packet p = ChatPacket(2, 0, "说话");
    p[Field::Chat::Voice] = 1;
    p[Field::Chat::VoiceCode] = 'a';
    p[Field::Chat::VoiceNumber] = 1;
    soundDevice->calls.clear();
    Deliver(p);
    EXPECT_TRUE(soundDevice->calls.contains("play once"));
    EXPECT_EQ(soundDevice->volume, 0);
}

TEST_F(ChatDisplayTest, HistoryWindowOpensClosesAndIsPlacedAtBothScales)
{
    for (QSize screen : {QSize(1280, 1024), QSize(800, 600)}) {
        SCOPED_TRACE(screen.width());
        MainForm& f = SeatPlayers(screen);
        const bool small = screen.width() == 800;
        const QPoint corner = f.frameGeometry().topLeft() + f.Pic1->pos();
        // The window's places on the table, each moved the least that keeps the hand and the
        // play buttons free.
        const auto clear = [&f](QPoint at) { return PlayArea::PlaceClear(f, QRect(at, TalkWindow::TheTalk().size())); };
        const QPoint toggled =
            clear(corner + QPoint(int((small ? 0.22 : 0.3) * f.width()), int((small ? 0.6 : 0.66) * f.height())));

        UiTest::Press(f.AnNiu[1]);
        Talk& talk = TalkWindow::TheTalk();
        ASSERT_TRUE(talk.isVisible());
        EXPECT_EQ(talk.windowTitle(), "聊天");
        EXPECT_TRUE(talk.windowFlags() & Qt::WindowStaysOnTopHint);
        EXPECT_EQ(talk.pos(), toggled);
        UiTest::Press(f.Lbchat);
        EXPECT_FALSE(talk.isVisible());
        UiTest::Press(f.Lbchat);
        EXPECT_TRUE(talk.isVisible());
        UiTest::Press(talk.Label1);
        EXPECT_FALSE(talk.isVisible());

        // Alt-C on the table, in either order; another key between breaks the pair.
        const QPoint byKeys =
            clear((small ? f.frameGeometry().topLeft() : corner) + QPoint(int(0.3 * f.width()), int(0.66 * f.height())));
        for (const std::vector<int>& keys : {std::vector<int>{Qt::Key_Alt, Qt::Key_C}, {Qt::Key_C, Qt::Key_Alt}}) {
            talk.hide();
            for (int key : keys)
                PlayerActions::KeyDown(key);
            EXPECT_TRUE(talk.isVisible());
            EXPECT_EQ(talk.pos(), byKeys);
        }
        talk.hide();
        for (int key : {Qt::Key_Alt, Qt::Key_X, Qt::Key_C})
            PlayerActions::KeyDown(key);
        EXPECT_FALSE(talk.isVisible());

        // In the history, Alt-C closes it.
        talk.show();
        talk.Text1Key(Qt::Key_C);
        talk.Text1Key(Qt::Key_Up);
        talk.Text1Key(Qt::Key_Alt);
        EXPECT_TRUE(talk.isVisible());
        talk.Text1Key(Qt::Key_C);
        EXPECT_FALSE(talk.isVisible());

    }
    // A deal hides it; the end of the table empties it.
    Talk& talk = TalkWindow::TheTalk();
    talk.show();
    Deliver(ChatPacket(2, 0, "乙说道： 好"));
    DisplayReset();
    EXPECT_FALSE(talk.isVisible());
    EXPECT_FALSE(History().isEmpty());
    Shutdown::EndOfTableSteps();
    EXPECT_TRUE(History().isEmpty());
}
