// The two Debian packages as a person installs them: unpacked into a fresh root, every file
// where it belongs, the installed server and relay on every address with an accounts file and
// their packaged settings, and the installed hall seating the installed client at another
// loopback address than the server's default. A wrong password is refused with the table's
// message; the right one plays a round whose score board agrees with the server.
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

#include "integration/ProgramsFixture.h"
#include "integration/ScoreBoard.h"

using IntegrationTest::ExpectScoreBoardAgrees;
using IntegrationTest::Programs;

namespace {

QString RunTool(const QString& program, const QStringList& arguments, const QByteArray& input = {}, int* code = nullptr)
{
    QProcess p;
    p.start(program, arguments);
    p.write(input);
    p.closeWriteChannel();
    p.waitForFinished(60000);
    if (code)
        *code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError());
}

QString OnePackage(const QString& pattern)
{
    const QDir packages(QStringLiteral(QUELLOR_PACKAGE_DIR));
    const QStringList found = packages.entryList({pattern}, QDir::Files);
    return found.size() == 1 ? packages.filePath(found.front()) : QString();
}

}  // namespace

TEST_F(Programs, InstalledPackagesPlayARoundAcrossAddresses)
{
    const QString clientPackage = OnePackage("quellor_*.deb");
    const QString serverPackage = OnePackage("quellor-server_*.deb");
    ASSERT_FALSE(clientPackage.isEmpty()) << "no quellor package in " QUELLOR_PACKAGE_DIR;
    ASSERT_FALSE(serverPackage.isEmpty()) << "no quellor-server package in " QUELLOR_PACKAGE_DIR;

    // Libraries found by dpkg-shlibdeps, each package only its own.
    const QString clientDepends = RunTool("dpkg-deb", {"-f", clientPackage, "Depends"});
    const QString serverDepends = RunTool("dpkg-deb", {"-f", serverPackage, "Depends"});
    for (const char* library : {"libqt6widgets6", "libqt6multimedia6", "libqt6webenginewidgets6", "libc6"})
        EXPECT_TRUE(clientDepends.contains(library)) << library << " in " << clientDepends.toStdString();
    for (const char* library : {"libsodium23", "libqt6network6", "libc6"})
        EXPECT_TRUE(serverDepends.contains(library)) << library << " in " << serverDepends.toStdString();
    EXPECT_FALSE(serverDepends.contains("libqt6widgets6")) << serverDepends.toStdString();

    const QString root = dir.filePath("root");
    for (const QString& package : {clientPackage, serverPackage}) {
        int code = -1;
        const QString said = RunTool("dpkg-deb", {"-x", package, root}, {}, &code);
        ASSERT_EQ(code, 0) << said.toStdString();
    }

    // Every file in a standard place, and the ones a person or the system looks for there.
    const QStringList places{"etc/quellor/",          "lib/systemd/system/",   "usr/bin/",  "usr/games/",
                             "usr/lib/quellor/",      "usr/share/quellor/",    "usr/share/applications/",
                             "usr/share/icons/hicolor/", "usr/share/doc/quellor/", "usr/share/doc/quellor-server/"};
    for (QDirIterator it(root, QDir::Files | QDir::System, QDirIterator::Subdirectories); it.hasNext();) {
        const QString file = QDir(root).relativeFilePath(it.next());
        EXPECT_TRUE(std::any_of(places.begin(), places.end(), [&](const QString& p) { return file.startsWith(p); }))
            << file.toStdString();
    }
    for (const char* file :
         {"usr/lib/quellor/quellor", "usr/lib/quellor/hallmere", "usr/lib/quellor/libquellor-media.so",
          "usr/lib/quellor/libquellor-web.so", "usr/share/quellor/client/chat.ini",
          "usr/share/quellor/client/filtchat.txt", "usr/share/quellor/common/music/tishi.wav",
          "usr/share/applications/quellor.desktop", "usr/share/icons/hicolor/16x16/apps/quellor.png",
          "usr/share/icons/hicolor/256x256/apps/quellor.png", "usr/bin/quellor-server", "usr/bin/quellor-relay",
          "lib/systemd/system/quellor-server.service", "lib/systemd/system/quellor-relay.service",
          "etc/quellor/server.conf", "etc/quellor/relay.conf", "usr/share/doc/quellor/copyright",
          "usr/share/doc/quellor-server/changelog.gz"})
        EXPECT_TRUE(QFileInfo::exists(root + "/" + file)) << file;
    const QFileInfo hall(root + "/usr/games/quellor-hall");
    EXPECT_TRUE(hall.isSymLink());
    EXPECT_EQ(hall.canonicalFilePath(), QFileInfo(root + "/usr/lib/quellor/hallmere").canonicalFilePath());

    // An account, with the program's own hashing cost.
    const QString server = root + "/usr/bin/quellor-server";
    const QString accounts = dir.filePath("accounts");
    int code = -1;
    RunTool(server, {"--accounts", accounts, "--add-account", "alice"}, "alice-pw\n", &code);
    ASSERT_EQ(code, 0);

    // The packaged settings (every address), the port free and the clocks short for the test.
    QProcess* serverProcess = Start(server, {"--config", root + "/etc/quellor/server.conf", "--accounts", accounts,
                                             "--port", "0", "--seed", "11", "--bot-delay-ms", "60",
                                             "--turn-seconds", "1", "--ready-seconds", "1"});
    QString serverOut;
    const QRegularExpression listening("listening on \\[::\\]:(\\d+)");
    ASSERT_TRUE(WaitForOutput(serverProcess, serverOut, listening)) << serverOut.toStdString();
    const int port = listening.match(serverOut).captured(1).toInt();
    QProcess* relayProcess = Start(root + "/usr/bin/quellor-relay",
                                   {"--config", root + "/etc/quellor/relay.conf", "--accounts", accounts, "--port", "0"});
    QString relayOut;
    ASSERT_TRUE(WaitForOutput(relayProcess, relayOut, listening)) << relayOut.toStdString();
    qputenv("QUELLOR_RELAY_PORT", listening.match(relayOut).captured(1).toUtf8());
    // The installed client writes for its user, never into the installation.
    const QString userData = dir.filePath("user-data");
    qputenv("XDG_DATA_HOME", userData.toUtf8());
    // A moving test picture where a camera would be, so that the client logs in to the relay.
    qputenv("QUELLOR_CAMERA", "test");

    // A wrong password: refused, the table's message said, the client gone and the hall with it.
    QProcess* refusedHall =
        Start(hall.filePath(), {"--headless", "--exit-with-client", "--launch", Line(port, "alice", "wrong", "127.0.0.2")});
    QString refusedOut;
    EXPECT_TRUE(WaitForOutput(refusedHall, refusedOut, QRegularExpression("验证错误，请重新在大厅就座后进入游戏！"), 20000))
        << refusedOut.toStdString();
    EXPECT_TRUE(refusedHall->waitForFinished(10000));
    EXPECT_TRUE(WaitForOutput(serverProcess, serverOut,
                              QRegularExpression("entry of key alice refused: unknown key or wrong password")))
        << serverOut.toStdString();
    EXPECT_FALSE(serverOut.contains("wrong\n"));

    // The right one, from 127.0.0.2 to a server that listens on every address: a whole round.
    QProcess* hallProcess =
        Start(hall.filePath(), {"--headless", "--exit-with-client", "--launch", Line(port, "alice", "alice-pw", "127.0.0.2")});
    ASSERT_TRUE(WaitForOutput(serverProcess, serverOut, QRegularExpression("is to play"), 60000)) << serverOut.toStdString();
    // The server's end of the table's link is the address the client was given.
    const QString links = RunTool("ss", {"-Htn", "state", "established", QStringLiteral("( sport = :%1 )").arg(port)});
    EXPECT_TRUE(links.contains(QStringLiteral("127.0.0.2]:%1 ").arg(port))) << links.toStdString();
    const QRegularExpression roundOver("round 1 won by[^\\n]*\\n(.*\\n)*  turns of seat 0 alice[^\\n]*\\n");
    ASSERT_TRUE(WaitForOutput(serverProcess, serverOut, roundOver, 200000)) << serverOut.toStdString();
    ExpectScoreBoardAgrees(serverOut, userData + "/quellor/info.hm", 1);
    // Its camera: the relay took the right password's login (the wrong one's, when it came that
    // far before the client ended, was refused before it).
    EXPECT_TRUE(WaitForOutput(relayProcess, relayOut, QRegularExpression("login of alice\\n"))) << relayOut.toStdString();
    EXPECT_FALSE(relayOut.mid(relayOut.indexOf("login of alice\n")).contains("refused")) << relayOut.toStdString();

    QDirIterator written(root + "/usr", {"info.hm", "log.txt", "photo"}, QDir::AllEntries, QDirIterator::Subdirectories);
    EXPECT_FALSE(written.hasNext()) << written.next().toStdString();
    hallProcess->terminate();
    qunsetenv("QUELLOR_RELAY_PORT");
    qunsetenv("XDG_DATA_HOME");
    qunsetenv("QUELLOR_CAMERA");
}
