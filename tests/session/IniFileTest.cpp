#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <csignal>

#include "session/IniFile.h"

namespace {

class IniFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        path = dir.filePath("info.hm");
        ini.setINIFileName(path);
    }

    QByteArray Disk() const
    {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            return "<missing>";
        return f.readAll();
    }

    void PutDisk(const QByteArray& bytes) const
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(f.write(bytes), bytes.size());
    }

    QTemporaryDir dir;
    QString path;
    classIniFile ini;
};

TEST_F(IniFileTest, MissingFileSectionOrKeyReadsEmpty)
{
    EXPECT_EQ(ini.INIFileName(), path);
    EXPECT_EQ(ini.GetIniKey("juNum:1", "count( 0 )"), QString());
    EXPECT_FALSE(QFile::exists(path)) << "a read must not create the file";

    ini.WriteIniKey("juNum:1", "count( 0 )", "3");
    EXPECT_EQ(ini.GetIniKey("juNum:1", "count( 0 )"), "3");
    EXPECT_EQ(ini.GetIniKey("juNum:1", "count( 1 )"), QString());
    EXPECT_EQ(ini.GetIniKey("juNum:2", "count( 0 )"), QString());
}

TEST_F(IniFileTest, UnusableFileNameIsSilent)
{
    classIniFile none;
    none.WriteIniKey("a", "b", "c");
    EXPECT_EQ(none.GetIniKey("a", "b"), QString());

    // A directory in place of the file: nothing is read, nothing replaces it.
    ini.setINIFileName(dir.path());
    ini.WriteIniKey("a", "b", "c");
    EXPECT_EQ(ini.GetIniKey("a", "b"), QString());
    EXPECT_TRUE(QFileInfo(dir.path()).isDir());
}

TEST_F(IniFileTest, LongValuesReadBackAsTheirFirst1023Bytes)
{
    QString ascii;
    for (int i = 0; i < 1500; ++i)
        ascii += QChar('a' + i % 26);
    const QString han(600, QChar(0x4E2D));  // 中, two GBK bytes each

    struct Case {
        const char* name;
        QString value;
        QString expected;
    };
    const Case cases[] = {
        {"1500 single bytes", ascii, ascii.left(1023)},
        // 1023 bytes would end in the middle of the 512th character: it is left out whole.
        {"600 double bytes", han, han.left(511)},
        {"odd start, ends exactly at 1023", "x" + han, "x" + han.left(511)},
        {"exactly 1023 bytes", ascii.left(1023), ascii.left(1023)},
    };
    for (const Case& c : cases) {
        ini.WriteIniKey("long", "v", c.value);
        EXPECT_EQ(ini.GetIniKey("long", "v"), c.expected) << c.name;
    }
    // The write itself is not cut: the whole value is in the file.
    ini.WriteIniKey("long", "v", ascii);
    EXPECT_TRUE(Disk().contains(ascii.toLatin1()));
}

TEST_F(IniFileTest, SurroundingSpacesAreNeverReturned)
{
    ini.WriteIniKey("s", "k", "   two words   ");
    EXPECT_EQ(ini.GetIniKey("s", "k"), "two words");

    // Lines as other programs write them.
    PutDisk("[s]\r\n"
            "  spaced  =   value with  inner  spaces  \r\n"
            "tabbed\t=\tvalue\t\r\n"
            "quoted=\"  kept inside quotes, trimmed by the read  \"\r\n"
            "single='x'\r\n"
            "half=\"open\r\n"
            "empty=\r\n"
            "eq=a=b\r\n");
    struct Case {
        const char* key;
        const char* expected;
    };
    const Case cases[] = {
        {"spaced", "value with  inner  spaces"},
        {"tabbed", "value"},
        {"quoted", "kept inside quotes, trimmed by the read"},
        {"single", "x"},
        {"half", "\"open"},
        {"empty", ""},
        {"eq", "a=b"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ini.GetIniKey("s", c.key), QString::fromUtf8(c.expected)) << c.key;
}

TEST_F(IniFileTest, DeletingASectionRemovesAllItsKeysAndNothingElse)
{
    PutDisk("; round history\r\n"
            "[juNum:1]\r\n"
            "count( 0 )=1\r\n"
            "; note inside\r\n"
            "count( 0 )( 0 )=a\r\n"
            "\r\n"
            "[juNum:2]\r\n"
            "count( 0 )=7\r\n");
    ini.DelIniSec("JUNUM:1");
    EXPECT_EQ(ini.GetIniKey("juNum:1", "count( 0 )"), QString());
    EXPECT_EQ(ini.GetIniKey("juNum:1", "count( 0 )( 0 )"), QString());
    EXPECT_EQ(Disk(), QByteArray("; round history\r\n"
                                 "[juNum:2]\r\n"
                                 "count( 0 )=7\r\n"));
    EXPECT_EQ(ini.GetIniKey("juNum:2", "count( 0 )"), "7");
}

TEST_F(IniFileTest, DeletingAKey)
{
    const QByteArray before = "[chat]\nnum=2\nphrase=hi\n\n[chat1]\nnum=5\n";
    PutDisk(before);

    // Missing key, missing section: the file stays byte for byte as it was.
    ini.DelIniKey("chat", "nothere");
    ini.DelIniKey("nosection", "num");
    ini.DelIniSec("nosection");
    EXPECT_EQ(Disk(), before);

    ini.DelIniKey("CHAT", "Num");
    EXPECT_EQ(ini.GetIniKey("chat", "num"), QString());
    EXPECT_EQ(ini.GetIniKey("chat1", "num"), "5");
    EXPECT_EQ(Disk(), QByteArray("[chat]\nphrase=hi\n\n[chat1]\nnum=5\n"));

    // Deleting from a missing file does not create it.
    QFile::remove(path);
    ini.DelIniKey("chat", "num");
    ini.DelIniSec("chat");
    EXPECT_FALSE(QFile::exists(path));
}

TEST_F(IniFileTest, RoundHistoryKeysKeepTheirSpaces)
{
    ini.WriteIniKey("juNum:3", "count( 2 )", "2");
    ini.WriteIniKey("juNum:3", "count( 2 )( 0 )", "first entry");
    ini.WriteIniKey("juNum:3", "count( 2 )( 1 )", "second entry");
    ini.WriteIniKey("juNum:3", "count( 10 )", "0");

    EXPECT_EQ(Disk(), QByteArray("[juNum:3]\r\n"
                                 "count( 2 )=2\r\n"
                                 "count( 2 )( 0 )=first entry\r\n"
                                 "count( 2 )( 1 )=second entry\r\n"
                                 "count( 10 )=0\r\n"));
    EXPECT_EQ(ini.GetIniKey("juNum:3", "count( 2 )"), "2");
    EXPECT_EQ(ini.GetIniKey("juNum:3", "count( 2 )( 0 )"), "first entry");
    EXPECT_EQ(ini.GetIniKey("juNum:3", "count( 2 )( 1 )"), "second entry");
    // The spaces are part of the key; "juNum:3" is not "juNum:30".
    EXPECT_EQ(ini.GetIniKey("juNum:3", "count(2)"), QString());
    EXPECT_EQ(ini.GetIniKey("juNum:3", "count( 2 )(0)"), QString());
    EXPECT_EQ(ini.GetIniKey("juNum:30", "count( 2 )"), QString());
}

TEST_F(IniFileTest, TextIsGbkOnDisk)
{
    // 历史 / 中文 = 张三赢了！ in GBK bytes.
    const QByteArray lishi("\xC0\xFA\xCA\xB7");
    const QByteArray zhongwen("\xD6\xD0\xCE\xC4");
    const QByteArray value("\xD5\xC5\xC8\xFD\xD3\xAE\xC1\xCB\xA3\xA1");

    ini.WriteIniKey(QString::fromUtf8("历史"), QString::fromUtf8("中文"),
                    QString::fromUtf8("张三赢了！"));
    EXPECT_EQ(Disk(), "[" + lishi + "]\r\n" + zhongwen + "=" + value + "\r\n");
    EXPECT_EQ(ini.GetIniKey(QString::fromUtf8("历史"), QString::fromUtf8("中文")),
              QString::fromUtf8("张三赢了！"));

    // 慮 is 0x91 0x5D: its trail byte is ']'. The header must still close at the real
    // bracket.
    PutDisk("[\x91\x5D\xC0\xFA]\r\nk=\xC4\xE3\xBA\xC3\r\n");
    EXPECT_EQ(ini.GetIniKey(QString::fromUtf8("慮历"), "k"), QString::fromUtf8("你好"));
    ini.WriteIniKey(QString::fromUtf8("慮历"), "k2", "v");
    EXPECT_EQ(Disk(), QByteArray("[\x91\x5D\xC0\xFA]\r\nk=\xC4\xE3\xBA\xC3\r\nk2=v\r\n"));
}

TEST_F(IniFileTest, LineEnds)
{
    // Written by a Windows program: CRLF, no line end after the last line.
    PutDisk("[chat]\r\nnum=3\r\nphrase0=\xC4\xE3\xBA\xC3\r\n[chat1]\r\nnum=1");
    EXPECT_EQ(ini.GetIniKey("chat", "num"), "3");
    EXPECT_EQ(ini.GetIniKey("chat", "phrase0"), QString::fromUtf8("你好"));
    EXPECT_EQ(ini.GetIniKey("chat1", "num"), "1");
    ini.WriteIniKey("chat1", "extra", "x");
    EXPECT_EQ(Disk(), QByteArray("[chat]\r\nnum=3\r\nphrase0=\xC4\xE3\xBA\xC3\r\n"
                                 "[chat1]\r\nnum=1\r\nextra=x\r\n"));

    // A file with plain LF line ends keeps them.
    PutDisk("[a]\nk=1\n");
    ini.WriteIniKey("b", "k", "2");
    EXPECT_EQ(Disk(), QByteArray("[a]\nk=1\n[b]\nk=2\n"));
}

TEST_F(IniFileTest, ACrEndingTheFileEndsItsLastLine)
{
    // A CRLF file cut between the CR and the LF of its last line end: the CR is no part of
    // the line, so a read leaves it out of the value, and a line added after it completes
    // the line end instead of leaving the line with a CR of its own.
    PutDisk("; history\r\n[a]\r\nk=1\r");
    EXPECT_EQ(ini.GetIniKey("a", "k"), "1");
    ini.WriteIniKey("b", "k", "2");
    EXPECT_EQ(Disk(), QByteArray("; history\r\n[a]\r\nk=1\r\n[b]\r\nk=2\r\n"));
}

TEST_F(IniFileTest, NamesCompareWithoutRegardToCase)
{
    ini.WriteIniKey("Chat", "Num", "1");
    EXPECT_EQ(ini.GetIniKey("CHAT", "num"), "1");
    EXPECT_EQ(ini.GetIniKey("chat", "NUM"), "1");
    ini.WriteIniKey("chAT", "nUM", "2");
    // Same section, same key: replaced in place, spelt as first written.
    EXPECT_EQ(Disk(), QByteArray("[Chat]\r\nNum=2\r\n"));
}

TEST_F(IniFileTest, WritesKeepTheRestOfTheFileAndPlaceNewLines)
{
    PutDisk("; quick phrases\r\n"
            "[chat]\r\n"
            "num = 2\r\n"
            "this line is no key\r\n"
            "; note=kept\r\n"
            "\r\n"
            "[other]\r\n"
            "x=1\r\n");
    ini.WriteIniKey("chat", "num", "3");
    ini.WriteIniKey("chat", "phrase1", "hello");
    ini.WriteIniKey("new", "k", "v");
    EXPECT_EQ(Disk(), QByteArray("; quick phrases\r\n"
                                 "[chat]\r\n"
                                 "num=3\r\n"
                                 "this line is no key\r\n"
                                 "; note=kept\r\n"
                                 "phrase1=hello\r\n"
                                 "\r\n"
                                 "[other]\r\n"
                                 "x=1\r\n"
                                 "[new]\r\n"
                                 "k=v\r\n"));
    // Comments are not keys.
    EXPECT_EQ(ini.GetIniKey("chat", "; note"), QString());
    EXPECT_EQ(ini.GetIniKey("chat", "this line is no key"), QString());
}

TEST_F(IniFileTest, LineBreaksInTextCannotPlantKeysOrSections)
{
    ini.WriteIniKey("s", "k", "a\r\n[evil]\nx=1");
    EXPECT_EQ(ini.GetIniKey("evil", "x"), QString());
    EXPECT_EQ(ini.GetIniKey("s", "k"), "a  [evil] x=1");
    ini.WriteIniKey("s\n[t]", "k", "v");
    EXPECT_EQ(ini.GetIniKey("t", "k"), QString());
    EXPECT_EQ(ini.GetIniKey("s [t]", "k"), "v");
}

// While the write is under way the old file must stay whole: a limit on the file size
// makes the new file's write fail halfway, as a full disk or a dying process would.
TEST_F(IniFileTest, FailedWriteLeavesTheOldFileWhole)
{
    const QByteArray before = "[chat]\r\nnum=2\r\nphrase0=hi\r\n";
    PutDisk(before);

    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit small = old;
    small.rlim_cur = 4096;
    auto* oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    ini.WriteIniKey("chat", "phrase1", QString(20000, QChar('z')));
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(Disk(), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{"info.hm"})
        << "no partial file may be left beside it";

    // With the limit gone the same write goes through.
    ini.WriteIniKey("chat", "phrase1", QString(20000, QChar('z')));
    EXPECT_EQ(ini.GetIniKey("chat", "phrase1"), QString(1023, QChar('z')));
    EXPECT_EQ(ini.GetIniKey("chat", "num"), "2");
}

}  // namespace
