#include "chat/QuickPhrases.h"

#include <QFileInfo>
#include <QListWidget>
#include <QPointer>
#include <QVBoxLayout>

#include "chat/ChatDisplay.h"
#include "chat/ChatInput.h"
#include "chat/Talk.h"
#include "session/IniFile.h"
#include "session/Platform.h"
#include "session/Screen.h"
#include "table/TableState.h"
#include "ui/MainForm.h"
#include "ui/PopupLook.h"
#include "ui/Popups.h"

namespace {

QPointer<huifu> g_huifu;

constexpr QSize PhraseWindowSize(230, 180);

QListWidget* NewList(QWidget* parent, const QString& name)
{
    auto* list = new QListWidget(parent);
    list->setObjectName(name);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QObject::connect(list, &QListWidget::itemDoubleClicked, parent,
                     [](QListWidgetItem* item) { QuickPhrases::SendPhrase(item->text()); });
    return list;
}

void LoadPhrases(huifu& window)
{
    const QString path = Platform::DataDir() + QLatin1Char('/') + QuickPhrases::PhraseFile;
    const QFileInfo info(path);
    if (!info.isFile() || info.size() > QuickPhrases::MaxFileBytes)
        return;
    classIniFile file;
    file.setINIFileName(path);
    window.List1->addItems(QuickPhrases::ReadPhrases(file, QStringLiteral("chat")));
    window.List2->addItems(QuickPhrases::ReadPhrases(file, QStringLiteral("chat1")));
}

QPoint PhrasePlace(const MainForm& form)
{
    if (Screen::IsSmallLayout(TableState.Display.LayoutScale))
        return TalkWindow::Place(form, form.size(), 0.6, 0.22);
    return TalkWindow::Place(form, form.Pic1->size(), 0.66, 0.3);
}

}  // namespace

huifu::huifu(QWidget* parent) : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("huifu"));
    QVBoxLayout* column = TalkWindow::FrameChatWindow(this, QStringLiteral("快捷短语"), PhraseWindowSize, Label1);
    List1 = NewList(this, QStringLiteral("List1"));
    List2 = NewList(this, QStringLiteral("List2"));
    column->addWidget(List1, 1);
    column->addWidget(List2, 1);
    LoadPhrases(*this);
    List1->show();
    List2->show();
}

namespace QuickPhrases {

int PhraseCount(const QString& num)
{
    const QString text = num.trimmed();
    int count = 0;
    for (QChar c : text) {
        if (!c.isDigit() || c.unicode() > '9')
            break;
        count = count * 10 + (c.unicode() - '0');
        if (count >= MaxPhrases)
            return MaxPhrases;
    }
    return count;
}

QStringList ReadPhrases(const classIniFile& file, const QString& section)
{
    QStringList phrases;
    const int count = PhraseCount(file.GetIniKey(section, QStringLiteral("num")));
    for (int i = 1; i <= count; ++i)
        phrases << Chat::DisplaySafe(file.GetIniKey(section, QString::number(i)));
    return phrases;
}

huifu& TheHuifu()
{
    MainForm* form = TheMainForm();
    huifu& window = PopupLook::LoadPopup<huifu>(g_huifu, form);
    if (form != nullptr)
        form->huifu = &window;
    return window;
}

void Open(int list)
{
    TalkWindow::Hide();
    huifu& window = TheHuifu();
    QListWidget* wanted = list == 2 ? window.List2 : window.List1;
    QListWidget* other = list == 2 ? window.List1 : window.List2;
    if (window.isVisible() && wanted->isVisible()) {
        window.hide();
        return;
    }
    if (!window.isVisible()) {
        if (const MainForm* form = TheMainForm())
            window.move(PhrasePlace(*form));
        window.show();
        window.raise();
    }
    wanted->show();
    other->hide();
}

void SendPhrase(const QString& phrase)
{
    MainForm* form = TheMainForm();
    const QString typed = form != nullptr ? form->Chat->text() : QString();
    ChatInput::SendMessage(phrase, ChatInput::Addressed(typed));
    if (form != nullptr)
        form->Chat->clear();
    ChatInputState.WhisperPrefix.clear();
    Hide();
}

void Hide()
{
    PopupLook::HidePopup(g_huifu);
}

void Unload()
{
    if (MainForm* form = TheMainForm(); form != nullptr && form->huifu == g_huifu)
        form->huifu = nullptr;
    PopupLook::UnloadPopup(g_huifu);
}

bool Showing()
{
    return g_huifu && g_huifu->isVisible();
}

void Connect(MainForm& form)
{
    Popups::Register(Popup::huifu, {[] { Open(1); }, [] { Open(1); }, Hide, Unload, Showing});
    QObject::connect(form.imgword1, &PictureBox::clicked, &form, [](Qt::MouseButton b) {
        if (b == Qt::LeftButton)
            Open(1);
    });
    QObject::connect(form.imgword2, &PictureBox::clicked, &form, [](Qt::MouseButton b) {
        if (b == Qt::LeftButton)
            Open(2);
    });
}

}  // namespace QuickPhrases
