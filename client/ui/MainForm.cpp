#include "ui/MainForm.h"

#include <QEvent>
#include <QPalette>

#include "protocol/TableState.h"
#include "session/HallLink.h"
#include "session/Transport.h"
#include "ui/SiteConfig.h"

namespace {
MainForm* g_mainForm = nullptr;
}

MainForm::MainForm(QWidget* parent) : QWidget(parent)
{
    g_mainForm = this;
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(SiteConfig::ProgramTitle);
    // The table paints its own frame.
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setAutoFillBackground(true);
    QPalette frame = palette();
    frame.setColor(QPalette::Window, QColor(58, 38, 24));
    setPalette(frame);

    Pic1 = new PictureBox(this);
    Pic1->setObjectName(QStringLiteral("Pic1"));
    Pic1->setStretch(true);
    Pic1->setAutoFillBackground(true);
    QPalette felt = Pic1->palette();
    felt.setColor(QPalette::Window, QColor(22, 96, 56));
    Pic1->setPalette(felt);

    for (int i = 0; i < 2; ++i) {
        auto* list = new QListWidget(Pic1);
        list->setObjectName(QStringLiteral("Sysmsg%1").arg(i));
        list->setFrameShape(QFrame::NoFrame);
        list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        list->setFocusPolicy(Qt::NoFocus);
        list->setSelectionMode(QAbstractItemView::NoSelection);
        list->setStyleSheet(QStringLiteral(
            "QListWidget { background: rgba(0,0,0,90); color: #fff3c4; border-radius: 3px; }"));
        list->setGeometry(290, 698 + 22 * i, 275, 21);
        Sysmsg[static_cast<size_t>(i)] = list;
    }

    Location = new QLabel(Pic1);
    Location->setObjectName(QStringLiteral("Location"));
    Location->setStyleSheet(QStringLiteral("color: #ffe9a8;"));
    QFont font = Location->font();
    font.setPointSize(LocationPointSize);
    Location->setFont(font);
    Location->setGeometry(640, 662, 380, 24);

    TimerBong = new QTimer(this);
    TimerBong->setObjectName(QStringLiteral("TimerBong"));
    TimerBong->setInterval(50);
    connect(TimerBong, &QTimer::timeout, this, [] { Transport::TimerBongTick(); });
    Transport::RegisterTimerBong(TimerBong);

    TimerKeepAlive = new QTimer(this);
    TimerKeepAlive->setObjectName(QStringLiteral("TimerKeepAlive"));
    TimerKeepAlive->setInterval(5000);
    connect(TimerKeepAlive, &QTimer::timeout, this, [this] { SendKeepAlive(); });
}

MainForm::~MainForm()
{
    Transport::RegisterTimerBong(nullptr);
    if (g_mainForm == this)
        g_mainForm = nullptr;
}

void MainForm::SendKeepAlive()
{
    Packet p = Wire::NewPacket(24);
    p[6] = TableState.Seats[0].seatBit;
    Transport::SendPacket(p);
}

void MainForm::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::WindowStateChange && !(windowState() & Qt::WindowMinimized)
        && isVisible()) {
        // The table coming up puts the hall aside, so exactly one of the two is in front.
        raise();
        HallLink::HallAside();
    }
    QWidget::changeEvent(event);
}

MainForm* TheMainForm()
{
    return g_mainForm;
}

void SysmsgClear(int index)
{
    if (g_mainForm && index >= 0 && index < 2)
        g_mainForm->Sysmsg[static_cast<size_t>(index)]->clear();
}

void SysmsgAdd(int index, const QString& line)
{
    if (g_mainForm && index >= 0 && index < 2)
        g_mainForm->Sysmsg[static_cast<size_t>(index)]->addItem(line);
}

QString SysmsgText(int index)
{
    if (!g_mainForm || index < 0 || index > 1)
        return {};
    QListWidget* list = g_mainForm->Sysmsg[static_cast<size_t>(index)];
    QStringList lines;
    for (int i = 0; i < list->count(); ++i)
        lines << list->item(i)->text();
    return lines.join(QLatin1Char('\n'));
}

void MinimizeMainForm()
{
    if (g_mainForm)
        g_mainForm->showMinimized();
}
