#include "ui/InfoWindows.h"

#include <algorithm>
#include <cmath>
#include <vector>
#include <QCursor>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QScrollBar>
#include <QVBoxLayout>

#include "resources/Pictures.h"
#include "session/IniFile.h"
#include "session/Platform.h"
#include "session/Screen.h"
#include "table/TableState.h"
#include "ui/MainForm.h"
#include "ui/PictureBox.h"
#include "ui/PictureLoad.h"
#include "ui/PopupLook.h"
#include "ui/Popups.h"
#include "ui/WindowDrag.h"

namespace {

QPointer<Score> g_score;
QPointer<Hero> g_hero;
QPointer<Information> g_card;

// The portrait hovers, so that a second Connect replaces them.
std::vector<QMetaObject::Connection> g_hoverConnections;

const QColor kNameColour(0xff, 0xe3, 0x8a);

// A count in the history file may have been edited by hand: anything but a number reads as
// no rows, and no list grows past this.
constexpr int MaxHistoryRows = 1000;

constexpr int DialogClosePicture = 4;
constexpr QSize PortraitSize(40, 42);
// Score and Hero take the same place over the table; four columns wide enough for the score
// lines, the widest being the rule under the details. The score board grows down to show a
// whole round.
constexpr QSize BoardSize(600, 330);
// The most lines a round writes into a player's details: the room figure, ten lines for
// everyone and four for a win with its second score line or for a loss.
constexpr int DetailRows = 15;

// The table's felt and gold, shared by the three windows. Names are left to their palette:
// the result handling colours them.
const char* const kWindowStyle =
    "#Score, #Hero, #Information { border: 2px solid #e0b040; border-radius: 6px;"
    " background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #1f5e3a, stop:1 #0e3520); }"
    "QLabel#Title { color: #ffe38a; font-weight: bold; }"
    "QLabel#Label1, QLabel#Label2 { color: #9ce6b4; }"
    "QLabel[role=\"total\"] { color: #fff3c4; }"
    "QLabel[role=\"caption\"] { color: #9ce6b4; background: transparent; }"
    "QLabel[role=\"value\"] { color: #ffe38a; background: transparent; }"
    // A dark plate under each name: the result colours (a winner's red above all) stay
    // readable on it.
    "QLabel[role=\"name\"] { background: #040c08; border: 1px solid rgba(224, 176, 64, 110);"
    " border-radius: 3px; padding: 1px 4px; }"
    "PictureBox[role=\"portrait\"] { border: 1px solid rgba(224, 176, 64, 170); border-radius: 3px;"
    " background: rgba(0, 0, 0, 60); }"
    "QListWidget { background: rgba(0, 0, 0, 70); color: #fff3c4; border: 1px solid rgba(224, 176, 64, 130);"
    " border-radius: 3px; outline: none; }"
    "QListWidget::item { padding: 0 2px; }"
    "QListWidget::item:selected { background: #e0b040; color: #2a1a00; }"
    "QScrollBar:vertical { background: rgba(0, 0, 0, 50); width: 8px; margin: 0; }"
    "QScrollBar::handle:vertical { background: rgba(224, 176, 64, 170); border-radius: 3px; min-height: 16px; }"
    "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; }"
    "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: none; }";

int RowHeight(const QFont& font)
{
    return QFontMetrics(font).height() + 2;
}

// A list as tall as this many rows and its frame.
void FitRows(QListWidget* list, int rows)
{
    list->setFixedHeight(rows * RowHeight(list->font()) + 6);
}

void StyleWindow(QWidget* window, const QString& name, const QString& title)
{
    // A window does not take the table's type from its parent: the same families, so that
    // the Chinese text and the figures share one face and one line height.
    QFont type = window->font();
    type.setFamilies({QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Droid Sans Fallback"),
                      QStringLiteral("DejaVu Sans")});
    type.setPointSize(9);
    window->setFont(type);
    window->setObjectName(name);
    window->setWindowTitle(title);
    window->setAttribute(Qt::WA_StyledBackground);
    // One row height for every list, whatever face a row's characters come from, so rows of
    // lists standing side by side stay level.
    const int row = RowHeight(type);
    window->setStyleSheet(QLatin1String(kWindowStyle)
                          + QStringLiteral("QListWidget::item { height: %1px; }").arg(row));
    PopupLook::ApplyPopupOpacity(window);
}

QLabel* NewLabel(QWidget* parent, const QString& name, const QString& text = QString())
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

QLabel* TitleLabel(QWidget* window)
{
    QLabel* title = NewLabel(window, QStringLiteral("Title"), window->windowTitle());
    QFont font = title->font();
    font.setPointSize(11);
    title->setFont(font);
    return title;
}

// The close picture; its text stands in when the picture set is not built yet.
PictureBox* ClosePicture(QWidget* window)
{
    auto* close = new PictureBox(window);
    close->setObjectName(QStringLiteral("Image1"));
    close->setStretch(true);
    close->setFixedSize(64, 26);
    close->setCursor(Qt::PointingHandCursor);
    if (!LoadPictureById(close, Pictures::Tables().DialogButtonPictures[DialogClosePicture])) {
        close->setText(QStringLiteral("关闭"));
        close->setAlignment(Qt::AlignCenter);
        close->setStyleSheet(QStringLiteral("color: #ffe38a;"));
    }
    QObject::connect(close, &PictureBox::clicked, window, [window](Qt::MouseButton b) {
        if (b == Qt::LeftButton)
            window->hide();
    });
    return close;
}

QHBoxLayout* TitleRow(QWidget* window, PictureBox* close)
{
    auto* row = new QHBoxLayout;
    row->addWidget(TitleLabel(window), 1, Qt::AlignVCenter);
    row->addWidget(close, 0, Qt::AlignRight | Qt::AlignVCenter);
    return row;
}

PictureBox* Portrait(QWidget* parent, int i)
{
    auto* portrait = new PictureBox(parent);
    portrait->setObjectName(QStringLiteral("Tou%1").arg(i));
    portrait->setProperty("role", QStringLiteral("portrait"));
    portrait->setStretch(true);
    portrait->setFixedSize(PortraitSize);
    return portrait;
}

QLabel* NameLabel(QWidget* parent, int i)
{
    QLabel* name = NewLabel(parent, QStringLiteral("ID%1").arg(i));
    name->setProperty("role", QStringLiteral("name"));
    QPalette p = name->palette();
    p.setColor(QPalette::WindowText, kNameColour);
    name->setPalette(p);
    QFont font = name->font();
    font.setBold(true);
    name->setFont(font);
    // The plate fits the name; a long name is cut off rather than widening its column.
    name->setMinimumWidth(1);
    return name;
}

// The portrait with the name beside it, or over it where the column is narrow.
QBoxLayout* SeatHeader(PictureBox* portrait, QLabel* name, bool stacked)
{
    if (!stacked) {
        auto* header = new QHBoxLayout;
        header->setSpacing(6);
        header->addWidget(portrait);
        header->addWidget(name, 1, Qt::AlignLeft | Qt::AlignVCenter);
        return header;
    }
    auto* header = new QVBoxLayout;
    header->setSpacing(2);
    header->addWidget(portrait, 0, Qt::AlignHCenter);
    name->setAlignment(Qt::AlignCenter);
    header->addWidget(name, 0, Qt::AlignHCenter);
    return header;
}

// A double click on a history row brings that round back into the score board.
void OpenRoundFromHistory(const QModelIndex& index)
{
    InfoWindows::ShowRoundFromHistory(index.row() + 1);
    InfoWindows::ShowScore();
}

// Rows of one list lie beside the rows of the others: same height for every row, and the
// scroll bar counts rows, so a top row is a scroll position.
QListWidget* NewList(QWidget* parent, const QString& name)
{
    auto* list = new QListWidget(parent);
    list->setObjectName(name);
    list->setUniformItemSizes(true);
    list->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setFocusPolicy(Qt::NoFocus);
    // A line wider than its list (the rule under the details) is cut at the edge, not ended with dots.
    list->setTextElideMode(Qt::ElideNone);
    return list;
}

int TopRow(QListWidget* list)
{
    const QModelIndex top = list->indexAt(QPoint(1, 1));
    return top.isValid() ? top.row() : 0;
}

// As far as the list can scroll: near its end the last rows fill the view.
void ShowAtTop(QListWidget* list, int row)
{
    if (list->count() == 0)
        return;
    list->scrollToItem(list->item(std::clamp(row, 0, list->count() - 1)), QAbstractItemView::PositionAtTop);
}

// The list takes the other list's selected row and top row.
void Follow(QListWidget* list, int row, int top)
{
    list->setCurrentRow(row < list->count() ? row : -1);
    ShowAtTop(list, top);
}

MainForm* TableOf(QWidget* window)
{
    return qobject_cast<MainForm*>(window->parentWidget());
}

// Centred over the table picture, in screen coordinates.
void CentreOverTable(QWidget* window)
{
    const MainForm* form = TableOf(window);
    if (form == nullptr)
        form = TheMainForm();
    if (form == nullptr)
        return;
    const QPoint table = form->frameGeometry().topLeft() + form->Pic1->pos();
    const QSize room = form->Pic1->size() - window->size();
    window->move(table + QPoint(room.width() / 2, room.height() / 2));
}

// A number read from the file as a row count: whole, not negative, at most MaxHistoryRows.
int RowCount(const QString& text)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || std::isnan(value) || value <= 0)
        return 0;
    if (value >= MaxHistoryRows)
        return MaxHistoryRows;
    return static_cast<int>(std::lround(value));
}

void ClearCard()
{
    if (g_card) {
        g_card->hide();
        g_card->ClearValues();
    }
}

void UnloadCard()
{
    if (!g_card)
        return;
    // The table hides the card through its own pointer; it must not outlive the card.
    if (MainForm* form = TableOf(g_card); form != nullptr && form->Information == g_card)
        form->Information = nullptr;
    PopupLook::UnloadPopup(g_card);
}

bool CardFilled()
{
    return g_card && !g_card->Inf[0]->text().isEmpty();
}

void OpenCard()
{
    if (CardFilled()) {
        g_card->show();
        g_card->raise();
    }
}

void OpenHero()
{
    Hero& hero = InfoWindows::TheHero();
    CentreOverTable(&hero);
    hero.show();
    hero.raise();
    hero.ScrollToNewRounds();
}

// Where the card of a position opens: beside the others' portraits along the top, over the
// user's own near the bottom.
QPoint CardPlace(const MainForm& form, int position)
{
    const QRect window = form.frameGeometry();
    const QPoint table = window.topLeft() + form.Pic1->pos();
    if (position == 0) {
        const LayoutScaleFactors& scale = TableState.Display.LayoutScale;
        const double below = Screen::IsSmallLayout(scale) ? 0.30 : 0.42;
        return {table.x(), table.y() + static_cast<int>(std::lround(below * window.height()))};
    }
    const int across = static_cast<int>(std::lround((position - 1) * static_cast<double>(window.width()))) / 3;
    return {table.x() + across, table.y() + static_cast<int>(std::lround(0.11 * window.height()))};
}

}  // namespace

Score::Score(QWidget* parent) : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    StyleWindow(this, QStringLiteral("Score"), QStringLiteral("战绩板"));
    Image1 = ClosePicture(this);

    auto* columns = new QGridLayout;
    columns->setHorizontalSpacing(6);
    columns->setVerticalSpacing(4);
    for (int i = 0; i < 4; ++i) {
        const auto p = static_cast<size_t>(i);
        Tou[p] = Portrait(this, i);
        ID[p] = NameLabel(this, i);
        State[p] = NewList(this, QStringLiteral("State%1").arg(i));
        State[p + 4] = NewList(this, QStringLiteral("State%1").arg(i + 4));
        FitRows(State[p], DetailRows);
        // The final score is one line.
        FitRows(State[p + 4], 1);
        State[p + 4]->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        for (auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
            connect(State[p]->model(), signal, this, &Score::EvenScrollBars);
        connect(State[p]->model(), &QAbstractItemModel::modelReset, this, &Score::EvenScrollBars);
        columns->addLayout(SeatHeader(Tou[p], ID[p], false), 0, i);
        columns->addWidget(State[p], 1, i);
        columns->addWidget(State[p + 4], 2, i);
        columns->setColumnStretch(i, 1);
    }
    columns->setRowStretch(1, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 6, 8, 8);
    layout->setSpacing(6);
    layout->addLayout(TitleRow(this, Image1));
    layout->addLayout(columns, 1);
    EvenScrollBars();
    setFixedSize(BoardSize.width(), sizeHint().height());
    new WindowDrag(this);
}

Score::~Score()
{
    // The lists empty themselves as they go, after this window's part of it is gone.
    for (QListWidget* list : State)
        list->model()->disconnect(this);
}

void Score::EvenScrollBars()
{
    int most = 0;
    for (size_t i = 0; i < 4; ++i)
        most = std::max(most, State[i]->count());
    const Qt::ScrollBarPolicy policy = most > DetailRows ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff;
    for (size_t i = 0; i < 4; ++i)
        State[i]->setVerticalScrollBarPolicy(policy);
}

Hero::Hero(QWidget* parent) : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    StyleWindow(this, QStringLiteral("Hero"), QStringLiteral("英雄榜"));
    Image1 = ClosePicture(this);

    Label1 = NewLabel(this, QStringLiteral("Label1"), QStringLiteral("局 数"));
    Label2 = NewLabel(this, QStringLiteral("Label2"), QStringLiteral("输赢总分："));
    Num = NewList(this, QStringLiteral("Num"));
    connect(Num, &QListWidget::clicked, this, [this](const QModelIndex& index) { NumClick(index.row()); });
    connect(Num, &QListWidget::doubleClicked, this, OpenRoundFromHistory);
    // The player's place in the history is kept until a new round comes in.
    connect(Num->model(), &QAbstractItemModel::rowsInserted, this, [this] { m_newRounds = true; });

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(4);
    grid->addWidget(Label1, 0, 0, Qt::AlignHCenter | Qt::AlignBottom);
    grid->addWidget(Num, 1, 0);
    grid->addWidget(Label2, 2, 0);
    Num->setFixedWidth(std::max(72, Label2->sizeHint().width()));
    for (int k = 0; k < 4; ++k) {
        const auto p = static_cast<size_t>(k);
        Tou[p] = Portrait(this, k);
        ID[p] = NameLabel(this, k);
        Grade[p] = NewList(this, QStringLiteral("Grade%1").arg(k));
        sunScore[p] = NewLabel(this, QStringLiteral("sunScore%1").arg(k));
        sunScore[p]->setProperty("role", QStringLiteral("total"));
        sunScore[p]->setAlignment(Qt::AlignCenter);
        connect(Grade[p], &QListWidget::clicked, this, [this, k](const QModelIndex& index) { GradeClick(k, index.row()); });
        connect(Grade[p], &QListWidget::doubleClicked, this, OpenRoundFromHistory);
        grid->addLayout(SeatHeader(Tou[p], ID[p], true), 0, k + 1);
        grid->addWidget(Grade[p], 1, k + 1);
        grid->addWidget(sunScore[p], 2, k + 1);
        grid->setColumnStretch(k + 1, 1);
    }
    grid->setRowStretch(1, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 6, 8, 8);
    layout->setSpacing(6);
    layout->addLayout(TitleRow(this, Image1));
    layout->addLayout(grid, 1);
    setFixedSize(BoardSize);
    new WindowDrag(this);
}

void Hero::NumClick(int row)
{
    const int top = TopRow(Num);
    for (QListWidget* grade : Grade)
        Follow(grade, row, top);
}

void Hero::GradeClick(int k, int row)
{
    if (k < 0 || k > 3)
        return;
    Follow(Num, row, TopRow(Grade[static_cast<size_t>(k)]));
    const int top = TopRow(Num);
    for (int j = 0; j < 4; ++j)
        if (j != k)
            Follow(Grade[static_cast<size_t>(j)], row, top);
}

void Hero::ScrollToNewRounds()
{
    if (!m_newRounds)
        return;
    m_newRounds = false;
    ShowAtTop(Num, Num->count() - 1);
    const int top = TopRow(Num);
    for (QListWidget* grade : Grade)
        ShowAtTop(grade, top);
}

Information::Information(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    StyleWindow(this, QStringLiteral("Information"), QString());
    // It comes up under the pointer; the table keeps the keyboard.
    setAttribute(Qt::WA_ShowWithoutActivating);

    static const char* const captions[9] = {"玩家昵称", "性    别", "所 在 地", "积    分", "信 用 度",
                                            "登录次数", "掉线次数", "胜场次数", "败场次数"};
    for (size_t i = 0; i < 9; ++i) {
        QLabel* caption = NewLabel(this, QStringLiteral("Caption%1").arg(i), QString::fromUtf8(captions[i]));
        caption->setProperty("role", QStringLiteral("caption"));
        QFont font = caption->font();
        font.setPointSize(10);
        caption->setFont(font);
        Caption[i] = caption;

        QLabel* value = NewLabel(this, QStringLiteral("Inf%1").arg(i));
        value->setProperty("role", QStringLiteral("value"));
        value->setAutoFillBackground(false);
        QFont big = value->font();
        big.setPointSize(12);
        value->setFont(big);
        Inf[i] = value;
    }
    ClearValues();
}

void Information::leaveEvent(QEvent* event)
{
    QWidget::leaveEvent(event);
    hide();
}

void Information::Fill(const PlayerRecord& player)
{
    const QString values[9] = {player.nickname,
                               player.sex != 0 ? QStringLiteral("男") : QStringLiteral("女"),
                               player.area,
                               WholeNumber(player.points),
                               WholeNumber(player.credit),
                               QString::number(player.logins),
                               QString::number(player.disconnects),
                               QString::number(player.wins),
                               QString::number(player.losses)};
    constexpr int Margin = 12, Top = 10, Row = 24, Gap = 12, MinWidth = 200;
    int captionWidth = 0;
    for (QLabel* caption : Caption) {
        caption->adjustSize();
        captionWidth = std::max(captionWidth, caption->width());
    }
    const int valueLeft = Margin + captionWidth + Gap;
    int right = MinWidth - Margin;
    for (size_t i = 0; i < 9; ++i) {
        QLabel* caption = Caption[i];
        QLabel* value = Inf[i];
        value->setText(values[i]);
        value->adjustSize();
        const int y = Top + static_cast<int>(i) * Row;
        caption->move(Margin, y + (Row - caption->height()) / 2);
        value->move(valueLeft, y + (Row - value->height()) / 2);
        right = std::max(right, valueLeft + value->width());
    }
    resize(right + Margin, Top + 9 * Row + Top);
}

void Information::ClearValues()
{
    for (QLabel* value : Inf) {
        value->clear();
        value->adjustSize();
    }
}

namespace InfoWindows {

Score& TheScore()
{
    return PopupLook::LoadPopup<Score>(g_score, TheMainForm());
}

Hero& TheHero()
{
    return PopupLook::LoadPopup<Hero>(g_hero, TheMainForm());
}

Information* TheInformation()
{
    return g_card;
}

void ShowScore()
{
    Score& score = TheScore();
    CentreOverTable(&score);
    score.show();
    score.raise();
}

void ToggleScore()
{
    if (g_score && g_score->isVisible())
        g_score->hide();
    else
        ShowScore();
}

void ToggleHero()
{
    if (g_hero && g_hero->isVisible())
        g_hero->hide();
    else
        OpenHero();
}

void Connect(MainForm& form)
{
    Popups::Register(Popup::Score, {ToggleScore, ShowScore, [] { PopupLook::HidePopup(g_score); },
                                    [] { PopupLook::UnloadPopup(g_score); },
                                    [] { return g_score && g_score->isVisible(); }});
    Popups::Register(Popup::Hero, {ToggleHero, OpenHero, [] { PopupLook::HidePopup(g_hero); },
                                   [] { PopupLook::UnloadPopup(g_hero); },
                                   [] { return g_hero && g_hero->isVisible(); }});
    Popups::Register(Popup::Information, {[] {
                                              if (g_card && g_card->isVisible())
                                                  g_card->hide();
                                              else
                                                  OpenCard();
                                          },
                                          OpenCard, [] { PopupLook::HidePopup(g_card); }, UnloadCard,
                                          [] { return g_card && g_card->isVisible(); }});

    for (const QMetaObject::Connection& c : g_hoverConnections)
        QObject::disconnect(c);
    g_hoverConnections.clear();
    for (int i = 0; i < 4; ++i) {
        g_hoverConnections.push_back(QObject::connect(form.Tou[static_cast<size_t>(i)], &PictureBox::hovered, &form,
                                                      [&form, i] { PortraitHover(form, i); }));
        g_hoverConnections.push_back(
            QObject::connect(form.Tou[static_cast<size_t>(i)], &PictureBox::left, &form, [] { PointerLeftPlayer(); }));
    }
}

void PointerLeftPlayer()
{
    // The card may have come up under the pointer: it goes once the pointer has left it too.
    if (g_card && g_card->isVisible() && !g_card->frameGeometry().contains(QCursor::pos()))
        g_card->hide();
}

void PortraitHover(MainForm& form, int position)
{
    if (position < 0 || position > 3)
        return;
    const PlayerRecord& player = TableState.Players[static_cast<size_t>(position)];
    if ((g_card && g_card->isVisible()) || player.nickname.isEmpty())
        return;
    if (!g_card || TableOf(g_card) != &form) {
        UnloadCard();
        g_card = new Information(&form);
    }
    // The top bar hides the card through this pointer.
    form.Information = g_card;
    g_card->Fill(player);
    g_card->move(CardPlace(form, position));
    g_card->show();
    g_card->raise();
}

void Clear()
{
    if (g_score) {
        for (QListWidget* list : g_score->State)
            list->clear();
        for (size_t i = 0; i < 4; ++i) {
            g_score->ID[i]->clear();
            QPalette p = g_score->ID[i]->palette();
            p.setColor(QPalette::WindowText, kNameColour);
            g_score->ID[i]->setPalette(p);
            g_score->Tou[i]->clearPicture();
        }
        g_score->hide();
    }
    if (g_hero) {
        g_hero->Num->clear();
        for (size_t i = 0; i < 4; ++i) {
            g_hero->Grade[i]->clear();
            g_hero->ID[i]->clear();
            g_hero->Tou[i]->clearPicture();
            g_hero->sunScore[i]->clear();
        }
        g_hero->hide();
    }
    ClearCard();
}

void Reset()
{
    PopupLook::UnloadPopup(g_score);
    PopupLook::UnloadPopup(g_hero);
    UnloadCard();
}

void ShowRoundFromHistory(int n)
{
    if (n <= 0)
        return;
    classIniFile history;
    history.setINIFileName(Platform::UserDir() + QStringLiteral("/info.hm"));
    const QString section = QStringLiteral("juNum:") + QString::number(n);
    Score& score = TheScore();
    for (int i = 0; i < 8; ++i) {
        const QString key = QStringLiteral("count( %1 )").arg(i);
        const QString stored = history.GetIniKey(section, key);
        if (stored.isEmpty())
            continue;
        const int rows = RowCount(stored);
        QListWidget* list = score.State[static_cast<size_t>(i)];
        while (list->count() > rows)
            delete list->takeItem(list->count() - 1);
        while (list->count() < rows)
            list->addItem(QStringLiteral(" "));
        for (int j = 0; j < rows; ++j) {
            const QString text = history.GetIniKey(section, key + QStringLiteral("( %1 )").arg(j));
            list->item(j)->setText(text.isEmpty() ? QStringLiteral(" ") : text);
        }
    }
}

}  // namespace InfoWindows
