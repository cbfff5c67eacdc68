#include "ui/ChuPai.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QVBoxLayout>

#include "ui/MainForm.h"
#include "ui/PopupLook.h"

namespace {

QPointer<ChuPai> g_notice;

}  // namespace

ChuPai::ChuPai(QWidget* parent) : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("ChuPai"));
    setWindowTitle(QStringLiteral("出牌非法"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setStyleSheet(QStringLiteral(
        "ChuPai { background: #3a1410; border: 2px solid #e0b040; border-radius: 6px; }"
        "QLabel#Title { color: #ffe38a; font-weight: bold; }"
        "QLabel#Label2 { color: #fff3c4; font-size: 13pt; }"
        "QLabel#Label1 { color: #ffe38a; font-weight: bold; padding: 0 4px; }"));
    setAttribute(Qt::WA_StyledBackground);

    auto* title = new QLabel(windowTitle(), this);
    title->setObjectName(QStringLiteral("Title"));
    Label1 = new QLabel(QStringLiteral("×"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setCursor(Qt::PointingHandCursor);
    Label1->installEventFilter(this);
    Label2 = new QLabel(QStringLiteral("不符合规则！"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setAlignment(Qt::AlignCenter);

    auto* top = new QHBoxLayout;
    top->addWidget(title, 1);
    top->addWidget(Label1, 0, Qt::AlignRight);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 6, 6, 10);
    layout->addLayout(top);
    layout->addWidget(Label2, 1);
    resize(210, 92);
    PopupLook::ApplyPopupOpacity(this);
}

bool ChuPai::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Label1 && event->type() == QEvent::MouseButtonPress) {
        hide();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

namespace IllegalPlayNotice {

void Show(MainForm& form)
{
    if (!g_notice)
        g_notice = new ChuPai(&form);
    // Centred over the table picture, in screen coordinates.
    const QRect table(form.mapToGlobal(form.Pic1->pos()), form.Pic1->size());
    g_notice->move(table.left() + (table.width() - g_notice->width()) / 2,
                   table.top() + (table.height() - g_notice->height()) / 2);
    g_notice->show();
    g_notice->raise();
}

void Hide()
{
    PopupLook::HidePopup(g_notice);
}

void Unload()
{
    PopupLook::UnloadPopup(g_notice);
}

bool Showing()
{
    return g_notice && g_notice->isVisible();
}

ChuPai* Window()
{
    return g_notice;
}

}  // namespace IllegalPlayNotice
