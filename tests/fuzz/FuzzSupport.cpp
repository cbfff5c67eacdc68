#include "FuzzTarget.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include <QApplication>
#include <QSize>

#include "Startup.h"
#include "common/doubles/FakeWebPage.h"
#include "common/doubles/PlatformDoubles.h"
#include "session/Transport.h"
#include "ui/MainForm.h"
#include "ui/WebPage.h"

namespace FuzzSupport {

namespace {

bool throwFailedChecks = false;

}  // namespace

void FuzzCheck(bool holds, const char* what)
{
    if (holds)
        return;
    if (throwFailedChecks)
        throw CheckFailed(what);
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
}

void ThrowFailedChecks()
{
    throwFailedChecks = true;
}

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

Client::Client(bool withTable)
{
    EnsureApplication();
    doubles = TestDoubles::ResetClientWithDoubles();
    if (!withTable)
        return;
    WebPage::SetFactory([](QWidget*) { return std::make_unique<TestDoubles::FakeWebPage>(); });
    form = std::make_unique<MainForm>();
    const QString line = QStringLiteral("alice$pw$10.0.0.1$5000$一号桌$9$$0$$$0$$$");
    Startup::LoadMainForm(*form, {QStringLiteral("quellor"), line}, QSize(1024, 768));
}

Client::~Client()
{
    form.reset();
    WebPage::SetFactory(nullptr);
    TestDoubles::ResetClientAfterUse();
}

}  // namespace FuzzSupport
