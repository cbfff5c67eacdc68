#pragma once
// This process is the client, with its real socket, tick and windows, at a table of the real
// server; the hall of this client is the recording double.
#include <QCoreApplication>
#include <QDeadlineTimer>

#include <functional>

#include "integration/ProgramsFixture.h"
#include "session/Transport.h"
#include "session/Winsock1.h"
#include "ui/UiFixture.h"

namespace IntegrationTest {

class TableIntegration : public UiTest::TableFixture, public IntegrationTest::ProcessSet {
protected:
    void SetUp() override
    {
        TableFixture::SetUp();
        ASSERT_TRUE(dir.isValid());
        SetWinsock1(MakeTcpWinsock());
        Transport::AttachSocket();
    }

    void TearDown() override
    {
        StopAll();
        TableFixture::TearDown();
    }

    // This client seated at the server on port.
    MainForm& Sit(int port) { return Sit(Line(port)); }

    // This client started with a command line of its own.
    MainForm& Sit(const QString& line)
    {
        form = std::make_unique<MainForm>();
        EXPECT_TRUE(Startup::LoadMainForm(*form, {QStringLiteral("quellor"), line}, {1280, 1024}));
        return *form;
    }

    // Works the event loop (ticks, socket, timers) until done or the time is up.
    static bool Until(const std::function<bool()>& done, int ms)
    {
        QDeadlineTimer deadline(ms);
        while (!done()) {
            if (deadline.hasExpired())
                return false;
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        }
        return true;
    }
};

}  // namespace IntegrationTest
