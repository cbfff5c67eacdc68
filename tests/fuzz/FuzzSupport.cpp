#include "FuzzTarget.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QSize>
#include <QTemporaryDir>

#include "Startup.h"
#include "common/doubles/FakeWebPage.h"
#include "common/doubles/PlatformDoubles.h"
#include "leaving/Shutdown.h"
#include "session/Platform.h"
#include "session/Transport.h"
#include "ui/MainForm.h"
#include "ui/WebPage.h"

namespace FuzzSupport {

namespace {

// The program folder of the inputs: a folder in memory laid out as the program is installed
// (bin/ with links to the program's files, common/ a link to the shared files), so that what
// the handlers write there (the round history, one synced file write per line) costs no disk.
QString ScratchProgramDir()
{
    static const QString bin = [] {
        const QString memory = QStringLiteral("/dev/shm");
        static QTemporaryDir scratch((QDir(memory).exists() ? memory : QDir::tempPath()) + QStringLiteral("/quellor-fuzz-XXXXXX"));
        const QDir installed(QCoreApplication::applicationDirPath() + QStringLiteral("/.."));
        QDir root(scratch.path());
        root.mkdir(QStringLiteral("bin"));
        QFile::link(installed.filePath(QStringLiteral("common")), root.filePath(QStringLiteral("common")));
        const QDir programFiles(installed.filePath(QStringLiteral("bin")));
        for (const QString& name : programFiles.entryList(QDir::Files))
            QFile::link(programFiles.filePath(name), root.filePath(QStringLiteral("bin/") + name));
        return root.filePath(QStringLiteral("bin"));
    }();
    return bin;
}

// Every module back to its start with fresh doubles, on the inputs' own platform.
TestDoubles::ClientDoubles ResetClient(TestDoubles::WindowWiring wiring)
{
    TestDoubles::ClientDoubles doubles = TestDoubles::ResetClientWithDoubles(wiring);
    // The same clock for every input, a fifth of a second further at each reading: what the
    // handlers do with the time of day (the play stamps, the clocks' seconds, the voice drawn
    // for a seat) then depends on the input alone.
    Platform::SetClock([seconds = 10 * 3600.0]() mutable { return seconds += 0.2; });
    Platform::SetProgramDir(ScratchProgramDir());
    return doubles;
}

// The table window, loaded once and kept for the process: never destroyed, since at exit Qt's
// own globals may be gone before a static would be.
MainForm* g_table = nullptr;
bool g_newTableEachInput = false;
TestDoubles::ClientDoubles g_lastDoubles;

void LoadTable(MainForm& form, bool wire)
{
    const QStringList arguments = {QStringLiteral("quellor"), QStringLiteral("alice$pw$10.0.0.1$5000$一号桌$9$$0$$$0$$$")};
    const QSize screen(1024, 768);
    if (wire)
        Startup::LoadMainForm(form, arguments, screen);
    else
        Startup::LoadTable(form, arguments, screen);
}

// The kept window back to a freshly loaded table: the end-of-table steps empty it (seats,
// cards, clock, buttons, pop-ups, history), every module goes back to its start, and the
// table is loaded into the window again. What the last input's doubles record of this is
// dropped with them.
TestDoubles::ClientDoubles ReloadTable(MainForm& form)
{
    Shutdown::EmptyTable();
    form.setWindowState(Qt::WindowNoState);
    // What only the window's making sets and the end-of-table steps leave as the last table
    // had it: the restore button hidden, the level and clock captions empty.
    form.CloseOperations(6, 6);
    for (QLabel* caption : {form.Label3, form.Label4, form.lblJiValue, form.Number})
        caption->clear();
    TestDoubles::ClientDoubles doubles = ResetClient(TestDoubles::WindowWiring::Stays);
    LoadTable(form, false);
    return doubles;
}

}  // namespace

void ForEachChunk(const uint8_t* data, size_t size, const std::function<void(const QByteArray& chunk)>& chunk)
{
    size_t at = 0;
    while (at < size) {
        const size_t length = std::min<size_t>(data[at], size - at - 1);
        chunk(QByteArray(reinterpret_cast<const char*>(data + at + 1), static_cast<qsizetype>(length)));
        at += 1 + length;
    }
}

void Arrive(TestDoubles::FakeWinsock& socket, const QByteArray& chunk)
{
    socket.Deliver(chunk);
    for (int tick = 0; tick < 3; ++tick)
        Transport::RunTick();
}

void CheckPacketsHandedOn(const std::vector<Packet>& handed, const QByteArray& stream)
{
    // One packet leaves the ring every other tick at most.
    for (size_t tick = 0; tick < 4 * (static_cast<size_t>(stream.size()) / PacketSize + 1); ++tick)
        Transport::RunTick();
    // A receive ring that overflowed ends the program; what was handed on then is moot.
    if (TestDoubles::Seen().endCalls != 0)
        return;
    FuzzCheck(handed.size() == static_cast<size_t>(stream.size()) / PacketSize,
              "every whole packet of the stream is handed on");
    for (size_t i = 0; i < handed.size(); ++i)
        FuzzCheck(std::equal(handed[i].begin(), handed[i].end(),
                             reinterpret_cast<const uint8_t*>(stream.constData()) + i * PacketSize),
                  "the packets handed on are the stream's, in order");
}

void EnsureApplication()
{
    if (QCoreApplication::instance())
        return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "quellor-fuzz";
    static char* argv[] = {name, nullptr};
    // Never destroyed: at exit, Qt's own globals may already be gone before a static
    // application object would be.
    static QApplication* app = new QApplication(argc, argv);
    (void)app;
    TestDoubles::InstallPlatformDoubles();
}

void LoadNewTableEachInput(bool fresh)
{
    g_newTableEachInput = fresh;
}

Client::Client(bool table) : withTable(table)
{
    EnsureApplication();
    if (withTable && g_table != nullptr && !g_newTableEachInput) {
        g_lastDoubles = ReloadTable(*g_table);
    } else {
        delete g_table;
        g_table = nullptr;
        g_lastDoubles = ResetClient(TestDoubles::WindowWiring::Drops);
        if (withTable) {
            WebPage::SetFactory([](QWidget*) { return std::make_unique<TestDoubles::FakeWebPage>(); });
            g_table = new MainForm();
            LoadTable(*g_table, true);
        }
    }
    doubles = g_lastDoubles;
    // No event loop runs here (the waits are cut to nothing), so what an input posts would
    // pile up for the whole process, and every post that Qt merges with an earlier one and
    // every widget that goes searches the pile. The pop-ups unloaded on the way go first; the
    // requests to repaint later (thousands a corpus pass, never merged) are dropped, since
    // nobody looks; the rest (polish and layout requests, a repaint) is delivered.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::removePostedEvents(nullptr, QEvent::UpdateLater);
    QCoreApplication::sendPostedEvents();
}

MainForm* Table()
{
    return g_table;
}

const TestDoubles::ClientDoubles& LastDoubles()
{
    return g_lastDoubles;
}

Client::~Client()
{
    // The table stays for the next input, which loads it again.
    if (!withTable)
        TestDoubles::ResetClientAfterUse();
}

}  // namespace FuzzSupport
