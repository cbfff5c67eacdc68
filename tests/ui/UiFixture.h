#pragma once
// A table window loaded the way start-up loads it (no connection: proxy type 9), with a
// recording double for its web page, and mouse helpers.
#include <gtest/gtest.h>

#include <QApplication>
#include <QListWidget>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <vector>

#include "common/ClientFixture.h"
#include "common/doubles/FakeWebPage.h"
#include "Startup.h"
#include "session/Platform.h"
#include "ui/MainForm.h"
#include "ui/WebPage.h"

namespace UiTest {

using TestDoubles::FakeWebPage;

class TableFixture : public TestDoubles::ClientFixture {
protected:
    void SetUp() override
    {
        ClientFixture::SetUp();
        WebPage::SetFactory([this](QWidget*) {
            auto page = std::make_unique<FakeWebPage>();
            web = page.get();
            return page;
        });
    }

    void TearDown() override
    {
        form.reset();
        WebPage::SetFactory(nullptr);
        ClientFixture::TearDown();
    }

    // The whole load of the table window for a screen of this size.
    MainForm& Load(QSize screen)
    {
        form.reset();
        form = std::make_unique<MainForm>();
        const QString line = QStringLiteral("alice$pw$10.0.0.1$5000$一号桌$9$$0$$$0$$$");
        EXPECT_TRUE(Startup::LoadMainForm(*form, {QStringLiteral("quellor"), line}, screen));
        return *form;
    }

    std::unique_ptr<MainForm> form;
    FakeWebPage* web = nullptr;
};

// The table with the program's directory (where "info.hm" lives) in a temporary directory.
class TableInTempDirFixture : public TableFixture {
protected:
    void SetUp() override
    {
        TableFixture::SetUp();
        ASSERT_TRUE(dir.isValid());
        Platform::SetProgramDir(dir.path());
    }

    QTemporaryDir dir;
};

// The rows of a list, in order.
inline QStringList ListRows(const QListWidget* list)
{
    QStringList rows;
    for (int i = 0; i < list->count(); ++i)
        rows << list->item(i)->text();
    return rows;
}

inline void Send(QWidget* target, QEvent::Type type, Qt::MouseButton button, QPoint at)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent event(type, QPointF(at), QPointF(target->mapToGlobal(at)), button, held, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

// The pointer moves over the middle of a control, no button held.
inline void MoveOver(QWidget* target)
{
    Send(target, QEvent::MouseMove, Qt::NoButton, target->rect().center());
}

inline void Press(QWidget* target)
{
    Send(target, QEvent::MouseButtonPress, Qt::LeftButton, target->rect().center());
}

inline void Release(QWidget* target, QPoint at)
{
    Send(target, QEvent::MouseButtonRelease, Qt::LeftButton, at);
}

}  // namespace UiTest
