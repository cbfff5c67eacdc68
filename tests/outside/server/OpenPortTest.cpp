// The open port's bounds and the accounts file, without sockets.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <fstream>
#include <sstream>
#include <sys/stat.h>

#include "Accounts.h"
#include "OpenPort.h"

namespace {

TEST(ListenAddress, TakesAddressesOnly)
{
    struct Case {
        const char* text;
        const char* endpoint;  // nullptr: not an address
    } cases[] = {
        {"127.0.0.1", "127.0.0.1:7430"}, {"127.0.0.2", "127.0.0.2:7430"}, {"0.0.0.0", "0.0.0.0:7430"},
        {"::", "[::]:7430"},             {"::1", "[::1]:7430"},           {"localhost", nullptr},
        {"", nullptr},                   {"127.0.0.1:80", nullptr},       {"fe80::1%lo", nullptr},
        {"300.1.1.1", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const auto address = OpenPort::ListenAddress(QString::fromLatin1(c.text));
        ASSERT_EQ(address.has_value(), c.endpoint != nullptr);
        if (address) {
            EXPECT_EQ(OpenPort::Endpoint(*address, 7430), c.endpoint);
        }
    }
}

TEST(LinkCaps, CountsInAllAndPerAddressUntilReleased)
{
    OpenPort::LinkCaps caps(3, 2);
    EXPECT_FALSE(caps.Admit("127.0.0.1"));
    EXPECT_FALSE(caps.Admit("127.0.0.1"));
    const auto perAddress = caps.Admit("127.0.0.1");
    ASSERT_TRUE(perAddress);
    EXPECT_NE(perAddress->find("address"), std::string::npos);
    EXPECT_FALSE(caps.Admit("127.0.0.2"));
    const auto all = caps.Admit("127.0.0.3");
    ASSERT_TRUE(all);
    EXPECT_NE(all->find("all 3"), std::string::npos);
    EXPECT_EQ(caps.Held(), 3);

    // A refused link was never counted, so releasing frees exactly what was held.
    caps.Release("127.0.0.1");
    EXPECT_FALSE(caps.Admit("127.0.0.1"));
    EXPECT_TRUE(caps.Admit("127.0.0.1"));
    caps.Release("127.0.0.9");  // never held: changes nothing
    EXPECT_EQ(caps.Held(), 3);

    // Without a cap of its own one address may take them all.
    OpenPort::LinkCaps total(3, 0);
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(total.Admit("127.0.0.1"));
    EXPECT_TRUE(total.Admit("127.0.0.1"));

    const QHostAddress any(QHostAddress::AnyIPv4), local(QHostAddress::LocalHost), local6(QHostAddress::LocalHostIPv6);
    EXPECT_EQ(OpenPort::LinksPerAddress(0, any), 16);
    EXPECT_EQ(OpenPort::LinksPerAddress(0, local), 0);
    EXPECT_EQ(OpenPort::LinksPerAddress(0, local6), 0);
    EXPECT_EQ(OpenPort::LinksPerAddress(5, local), 5);
}

TEST(ChatRate, FiveLinesInAnyFiveSeconds)
{
    OpenPort::ChatRate rate(5, 5000);
    struct Step {
        int64_t at;
        bool allowed;
    } steps[] = {
        {0, true},     {100, true},   {200, true},  {300, true},  {400, true},
        {500, false},  {4999, false}, // the window still holds all five
        {5000, true},                 // the first has left it
        {5001, false}, {5100, true},  {5150, false},
        {20000, true}, {20000, true}, {20000, true}, {20000, true}, {20000, true}, {20000, false},
    };
    for (const Step& s : steps)
        EXPECT_EQ(rate.Allow(s.at), s.allowed) << "at " << s.at;
}

// The least cost libsodium takes, so that the tests do not spend the interactive cost.
constexpr Accounts::HashCost Cheap{1, 8192};

std::string Contents(const QString& path)
{
    std::ifstream in(path.toStdString());
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(Accounts, StoresHashesThatCheckOnlyTheirOwnPassword)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string path = dir.filePath("accounts").toStdString();
    std::string error;
    ASSERT_TRUE(Accounts::Store(path, "alice", "correct horse", Cheap, error)) << error;
    ASSERT_TRUE(Accounts::Store(path, "bob", "s3cret", Cheap, error)) << error;

    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    const std::string text = Contents(dir.filePath("accounts"));
    EXPECT_EQ(text.find("correct horse"), std::string::npos);
    EXPECT_EQ(text.find("s3cret"), std::string::npos);
    EXPECT_EQ(text.rfind("alice $argon2id$", 0), 0u) << text;
    EXPECT_FALSE(QFile::exists(dir.filePath("accounts.new")));

    auto book = Accounts::Book::Load(path, error);
    ASSERT_TRUE(book) << error;
    EXPECT_EQ(book->Size(), 2u);
    struct Case {
        const char* key;
        const char* password;
        bool enters;
    } cases[] = {
        {"alice", "correct horse", true}, {"bob", "s3cret", true},  {"alice", "s3cret", false},
        {"bob", "", false},               {"carol", "s3cret", false}, {"alice", "correct horse ", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(book->Check(c.key, c.password), c.enters) << c.key << " / " << c.password;

    // A new password replaces the key's line in its place; the other line stays as it was.
    const std::string bobLine = text.substr(text.find("bob "));
    ASSERT_TRUE(Accounts::Store(path, "alice", "new one", Cheap, error)) << error;
    const std::string changed = Contents(dir.filePath("accounts"));
    EXPECT_EQ(changed.rfind("alice ", 0), 0u);
    EXPECT_NE(changed.find(bobLine), std::string::npos);
    book = Accounts::Book::Load(path, error);
    ASSERT_TRUE(book);
    EXPECT_EQ(book->Size(), 2u);
    EXPECT_TRUE(book->Check("alice", "new one"));
    EXPECT_FALSE(book->Check("alice", "correct horse"));
}

TEST(Accounts, RefusesBadKeysAndBadFiles)
{
    QTemporaryDir dir;
    const std::string path = dir.filePath("accounts").toStdString();
    std::string error;
    for (const char* key : {"", "two words", "seventeen-chars-x", "tab\tkey"}) {
        EXPECT_FALSE(Accounts::Store(path, key, "pw", Cheap, error)) << key;
        EXPECT_FALSE(error.empty());
    }
    EXPECT_FALSE(QFile::exists(dir.filePath("accounts")));

    EXPECT_FALSE(Accounts::Book::Load(path, error));  // no file
    std::ofstream(path) << "alice $argon2id$whatever\nno-hash-here\n";
    error.clear();
    EXPECT_FALSE(Accounts::Book::Load(path, error));
    EXPECT_NE(error.find("line 2"), std::string::npos) << error;
}

}  // namespace
