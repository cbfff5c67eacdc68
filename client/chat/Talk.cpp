#include "chat/Talk.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QVBoxLayout>
#include <cstdio>

#include "chat/ChatDisplay.h"
#include "session/Screen.h"
#include "table/TableState.h"
#include "ui/MainForm.h"
#include "ui/PlayArea.h"
#include "ui/PictureBox.h"
#include "ui/PopupLook.h"
#include "ui/Popups.h"

namespace {

QPointer<Talk> g_talk;

constexpr QSize TalkSize(330, 170);

const char* const kChatWindowStyle =
    "#Talk, #huifu { border: 2px solid #e0b040; border-radius: 6px; background: #123f27; }"
    "QLabel#Caption { color: #ffe38a; font-weight: bold; }"
    "PictureBox#Label1 { color: #ffe38a; padding: 0 4px; }"
    "QListWidget { background: rgba(0, 0, 0, 80); color: #fff3c4; border: 1px solid #7a6226; outline: none; }"
    "QListWidget#List1::item:hover, QListWidget#List2::item:hover { background: rgba(224, 176, 64, 90); }"
    "QListWidget::item:selected { background: #e0b040; color: #2a1a00; }"
    "QScrollBar:vertical { background: rgba(0, 0, 0, 50); width: 8px; margin: 0; }"
    "QScrollBar::handle:vertical { background: #b8902c; border-radius: 3px; min-height: 16px; }"
    "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; }";

bool SmallTable()
{
    return Screen::IsSmallLayout(TableState.Display.LayoutScale);
}

void ScrollToNewest(QListWidget* list)
{
    if (list->count() > 0)
        list->scrollToItem(list->item(list->count() - 1), QAbstractItemView::PositionAtTop);
}

// At its place on the table, moved off the hand and the play buttons where it would cover them.
void ShowOnTop(Talk& talk, const MainForm& form, QPoint at)
{
    talk.move(PlayArea::PlaceClear(form, QRect(at, talk.size())));
    talk.show();
    talk.raise();
}

}  // namespace

Talk::Talk(QWidget* parent) : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("Talk"));
    QVBoxLayout* column = TalkWindow::FrameChatWindow(this, QStringLiteral("聊天"), TalkSize, Label1);
    Text1 = new QListWidget(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Text1->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    Text1->setSelectionMode(QAbstractItemView::NoSelection);
    Text1->installEventFilter(this);
    column->addWidget(Text1, 1);
}

void Talk::Text1Key(int key)
{
    if (key == Qt::Key_Alt)
        m_altDown = true;
    else if (key == Qt::Key_C)
        m_cDown = true;
    else
        m_altDown = m_cDown = false;
    if (m_altDown && m_cDown) {
        m_altDown = m_cDown = false;
        hide();
    }
}

bool Talk::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Text1 && event->type() == QEvent::KeyPress)
        Text1Key(static_cast<QKeyEvent*>(event)->key());
    return QWidget::eventFilter(watched, event);
}

void Talk::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    ScrollToNewest(Text1);
}

namespace TalkWindow {

Talk& TheTalk()
{
    MainForm* form = TheMainForm();
    Talk& talk = PopupLook::LoadPopup<Talk>(g_talk, form);
    if (form != nullptr)
        form->Talk = &talk;
    return talk;
}

Talk* Loaded()
{
    return g_talk;
}

void AddHistory(const QString& line)
{
    // QUELLOR_CHAT=print: every chat line also goes to standard output, for whoever watches a
    // table that has no screen (scripts, tests of several clients).
    static const bool print = qEnvironmentVariable("QUELLOR_CHAT") == QLatin1String("print");
    if (print) {
        std::fprintf(stdout, "chat: %s\n", line.toUtf8().constData());
        std::fflush(stdout);
    }
    Talk& talk = TheTalk();
    Chat::WrapIntoList(talk.Text1, line, Chat::HistoryWidth);
    while (talk.Text1->count() > MaxEntries)
        delete talk.Text1->takeItem(0);
    ScrollToNewest(talk.Text1);
}

void AddHistoryEntry(const QString& entry)
{
    Talk& talk = TheTalk();
    talk.Text1->addItem(entry);
    talk.Text1->scrollToBottom();
}

int HistoryCount()
{
    return g_talk ? g_talk->Text1->count() : 0;
}

void ClearHistory()
{
    if (g_talk)
        g_talk->Text1->clear();
}

QPoint Place(const MainForm& form, QSize basis, double down, double across, bool fromPic1)
{
    QPoint at = form.frameGeometry().topLeft();
    if (fromPic1)
        at += form.Pic1->pos();
    return at + QPoint(static_cast<int>(across * basis.width()), static_cast<int>(down * basis.height()));
}

void Toggle()
{
    Talk& talk = TheTalk();
    if (talk.isVisible()) {
        talk.hide();
        return;
    }
    const MainForm* form = TheMainForm();
    if (form == nullptr) {
        talk.show();
        return;
    }
    const bool small = SmallTable();
    ShowOnTop(talk, *form, Place(*form, form->size(), small ? 0.6 : 0.66, small ? 0.22 : 0.3));
}

void OpenByKeys()
{
    Talk& talk = TheTalk();
    const MainForm* form = TheMainForm();
    if (form == nullptr) {
        talk.show();
        return;
    }
    // The small table fills the screen from its corner; the large one is placed by Pic1.
    ShowOnTop(talk, *form, Place(*form, form->size(), 0.66, 0.3, !SmallTable()));
}

void Hide()
{
    PopupLook::HidePopup(g_talk);
}

void Unload()
{
    if (MainForm* form = TheMainForm(); form != nullptr && form->Talk == g_talk)
        form->Talk = nullptr;
    PopupLook::UnloadPopup(g_talk);
}

bool Showing()
{
    return g_talk && g_talk->isVisible();
}

QVBoxLayout* FrameChatWindow(QWidget* window, const QString& caption, QSize size, PictureBox*& close)
{
    window->setWindowTitle(caption);
    window->setAttribute(Qt::WA_StyledBackground);
    window->setStyleSheet(QLatin1String(kChatWindowStyle));
    // The table's type at both scales, so that a history line of 44 display units fits.
    if (const QWidget* table = window->parentWidget())
        window->setFont(table->font());
    window->setFixedSize(size);
    PopupLook::ApplyPopupOpacity(window);

    auto* title = new QLabel(caption, window);
    title->setObjectName(QStringLiteral("Caption"));
    close = new PictureBox(window);
    close->setObjectName(QStringLiteral("Label1"));
    close->setText(QStringLiteral("×"));
    close->setCursor(Qt::PointingHandCursor);
    QObject::connect(close, &PictureBox::clicked, window, [window](Qt::MouseButton b) {
        if (b == Qt::LeftButton)
            window->hide();
    });
    auto* top = new QHBoxLayout;
    top->addWidget(title, 1);
    top->addWidget(close, 0, Qt::AlignRight);
    auto* column = new QVBoxLayout(window);
    column->setContentsMargins(6, 4, 6, 6);
    column->setSpacing(3);
    column->addLayout(top);
    return column;
}

void Connect(MainForm& form)
{
    Popups::Register(Popup::Talk, {Toggle, OpenByKeys, Hide, Unload, Showing});
    QObject::connect(form.Lbchat, &PictureBox::clicked, &form, [](Qt::MouseButton b) {
        if (b == Qt::LeftButton)
            Toggle();
    });
}

}  // namespace TalkWindow
