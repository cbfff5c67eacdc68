#include "HallWindow.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTime>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "Hall.h"
#include "Messages.h"

namespace Hallmere {

namespace {

// A long session must not grow the list without end.
constexpr int MaxRows = 2000;

const QColor ReceivedColour(0x1d, 0x5f, 0xbf);
const QColor SentColour(0x1e, 0x7b, 0x34);
const QColor EventColour(0x70, 0x70, 0x70);

}  // namespace

HallWindow::HallWindow(Hall& hall, const Seat& seat, QWidget* parent)
    : QWidget(parent), m_hall(hall), m_where(seat)
{
    const QString& caption = seat.hallCaption;
    setWindowTitle(caption);
    resize(480, 420);

    // Caption and location are the user's text, never markup.
    auto* title = new QLabel(caption);
    title->setTextFormat(Qt::PlainText);
    QFont titleFont = title->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.4);
    titleFont.setBold(true);
    title->setFont(titleFont);
    auto* where = new QLabel(seat.location);
    where->setTextFormat(Qt::PlainText);
    where->setWordWrap(true);
    m_status = new QLabel;

    // Where to sit: typed once, remembered (all but the password) for the next time.
    m_server = new QLineEdit(seat.Server());
    m_server->setPlaceholderText(QStringLiteral("host:port"));
    m_user = new QLineEdit(seat.user);
    m_password = new QLineEdit(seat.password);
    m_password->setEchoMode(QLineEdit::Password);
    m_problem = new QLabel;
    m_problem->setTextFormat(Qt::PlainText);
    m_problem->setStyleSheet(QStringLiteral("color: #b00020"));
    m_problem->setWordWrap(true);
    m_problem->hide();
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("服务器 / Server"), m_server);
    form->addRow(QStringLiteral("用户 / User"), m_user);
    form->addRow(QStringLiteral("密码 / Password"), m_password);
    form->addRow(m_problem);
    for (QLineEdit* field : {m_server, m_user, m_password})
        connect(field, &QLineEdit::returnPressed, this, [this] { SitDown(); });

    m_seat = new QPushButton(QStringLiteral("入座 / Take a seat"));
    m_seat->setDefault(true);
    m_seat->setMinimumHeight(m_seat->sizeHint().height() * 3 / 2);
    connect(m_seat, &QPushButton::clicked, this, [this] { SitDown(); });

    auto* heading = new QVBoxLayout;
    heading->setSpacing(2);
    heading->addWidget(title);
    heading->addWidget(where);
    heading->addWidget(m_status);
    heading->addLayout(form);
    auto* top = new QHBoxLayout;
    top->addLayout(heading, 1);
    top->addWidget(m_seat, 0, Qt::AlignTop);

    m_log = new QTreeWidget;
    m_log->setColumnCount(3);
    m_log->setHeaderLabels({QStringLiteral("时间 / Time"), QStringLiteral("方向 / Way"), QStringLiteral("消息 / Message")});
    m_log->setRootIsDecorated(false);
    m_log->setUniformRowHeights(true);
    m_log->setAlternatingRowColors(true);
    m_log->setSelectionMode(QAbstractItemView::NoSelection);
    m_log->setFocusPolicy(Qt::NoFocus);
    m_log->header()->setStretchLastSection(true);
    m_log->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    m_log->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);

    auto* sending = new QGroupBox(QStringLiteral("发给牌桌 / Send to the table"));
    auto* grid = new QGridLayout(sending);
    const uint32_t numbers[] = {1125, 771, 1024, 22};
    for (int i = 0; i < 4; ++i) {
        const uint32_t n = numbers[i];
        auto* button = new QPushButton(QStringLiteral("%1  %2").arg(n).arg(Meaning(n, Direction::ToClient)));
        connect(button, &QPushButton::clicked, this, [this, n] { m_hall.Send(n); });
        grid->addWidget(button, i / 2, i % 2);
        m_sendButtons.append(button);
    }

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_log, 1);
    layout->addWidget(sending);

    connect(&hall, &Hall::Received, this, [this](uint32_t n) {
        AddMessage(Direction::FromClient, n);
        if (n == RestoreRequest)
            BringBack();
        else if (n == MinimizeRequest)
            PutAside();
    });
    connect(&hall, &Hall::Sent, this, [this](uint32_t n) { AddMessage(Direction::ToClient, n); });
    connect(&hall, &Hall::ClientsChanged, this, [this](int connected) {
        AddEvent(connected > m_connected ? QStringLiteral("牌桌已连接 / table connected")
                                         : QStringLiteral("牌桌已断开 / table disconnected"));
        ShowClients(connected);
    });
    connect(&hall, &Hall::Launched, this, [this](qint64 pid) {
        AddEvent(QStringLiteral("已启动牌桌 / client started (pid %1)").arg(pid));
        ShowSeat();
    });
    connect(&hall, &Hall::LaunchFailed, this, [this] {
        AddEvent(QStringLiteral("无法启动牌桌 / cannot start the client"));
        ShowSeat();
    });
    connect(&hall, &Hall::ClientExited, this, [this](int code) {
        AddEvent(QStringLiteral("牌桌已退出 / client exited (%1)").arg(code));
        ShowSeat();
    });

    ShowClients(hall.ClientCount());
    ShowSeat();
}

void HallWindow::SitDown()
{
    Seat seat = m_where;
    seat.user = m_user->text().trimmed();
    seat.password = m_password->text();
    std::optional<QString> problem;
    if (!seat.SetServer(m_server->text()))
        problem = QStringLiteral("服务器写作 主机:端口 / the server is written host:port");
    else
        problem = seat.Problem();
    m_problem->setVisible(problem.has_value());
    if (problem) {
        m_problem->setText(*problem);
        return;
    }
    m_where = seat;
    m_server->setText(seat.Server());
    QSettings remembered(QStringLiteral("quellor"), QStringLiteral("hall"));
    remembered.setValue(QStringLiteral("server"), seat.Server());
    remembered.setValue(QStringLiteral("user"), seat.user);
    m_hall.SetSeatLine(seat.Line());
    m_hall.Launch(seat.Line());
}

void HallWindow::BringBack()
{
    showNormal();
    raise();
    activateWindow();
}

void HallWindow::PutAside()
{
    showMinimized();
    // Without a window manager (a bare X server) minimising does nothing; at least step
    // behind the table.
    lower();
}

void HallWindow::AddMessage(Direction direction, uint32_t number)
{
    const bool received = direction == Direction::FromClient;
    AddRow(received ? QStringLiteral("← 收到 / recv") : QStringLiteral("→ 发出 / sent"),
           QStringLiteral("%1  %2").arg(number).arg(Meaning(number, direction)),
           received ? ReceivedColour : SentColour);
}

void HallWindow::AddEvent(const QString& text)
{
    AddRow(QStringLiteral("·"), text, EventColour);
}

void HallWindow::AddRow(const QString& direction, const QString& text, const QColor& colour)
{
    auto* item = new QTreeWidgetItem({QTime::currentTime().toString(QStringLiteral("HH:mm:ss.zzz")), direction, text});
    item->setForeground(1, colour);
    item->setForeground(2, colour);
    item->setToolTip(2, text);
    m_log->addTopLevelItem(item);
    while (m_log->topLevelItemCount() > MaxRows)
        delete m_log->takeTopLevelItem(0);
    m_log->scrollToBottom();
}

void HallWindow::ShowClients(int connected)
{
    m_connected = connected;
    if (connected > 0) {
        m_status->setText(QStringLiteral("<span style='color:%1'>●</span> 牌桌已连接 / table connected")
                              .arg(SentColour.name()));
    } else {
        m_status->setText(QStringLiteral("<span style='color:%1'>●</span> 无牌桌连接 / no table connected")
                              .arg(EventColour.name()));
    }
    for (QPushButton* b : m_sendButtons)
        b->setEnabled(connected > 0);
}

void HallWindow::ShowSeat()
{
    // A second client would only be refused by the one already running.
    m_seat->setEnabled(m_hall.RunningClients() == 0);
}

}  // namespace Hallmere
