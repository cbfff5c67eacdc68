#include "chat/ChatInput.h"

#include <QKeyEvent>
#include <QLineEdit>

#include "chat/Talk.h"
#include "play/PlayerActions.h"
#include "session/Connection.h"
#include "session/Transport.h"
#include "table/Outgoing.h"
#include "table/TableState.h"
#include "ui/MainForm.h"

namespace ChatInput {

namespace {

// The history is cleared when it has grown past this many entries and a key is pressed.
constexpr int HistoryLimit = 100;

class ChatKeys : public QObject {
public:
    explicit ChatKeys(QObject* parent) : QObject(parent) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress && KeyPress(static_cast<QKeyEvent*>(event)->key()))
            return true;
        return QObject::eventFilter(watched, event);
    }
};

QLineEdit* ChatBox()
{
    MainForm* form = TheMainForm();
    return form != nullptr ? form->Chat : nullptr;
}

void SetBoxText(const QString& text)
{
    if (QLineEdit* box = ChatBox()) {
        box->setText(text);
        box->setCursorPosition(static_cast<int>(text.size()));
    }
}

// Steps shared by Enter and the send button once the line is taken from the box.
void SendTyped(const QString& typed)
{
    ChatInputRecord& s = ChatInputState;
    if (typed.isEmpty() || typed.trimmed() == s.WhisperPrefix)
        return;
    const bool addressed = Addressed(typed);
    SendMessage(addressed ? typed.mid(s.WhisperPrefix.size()) : typed, addressed);
    s.WhisperPrefix.clear();
    SetBoxText(QString());
}

}  // namespace

void Connect(MainForm& form)
{
    form.Chat->installEventFilter(new ChatKeys(form.Chat));
    QObject::connect(form.Chat, &QLineEdit::textChanged, &form, [] { TextChanged(); });
    for (int i = 1; i < 4; ++i)
        QObject::connect(form.Tou[static_cast<size_t>(i)], &PictureBox::clicked, &form, [i](Qt::MouseButton b) {
            if (b == Qt::LeftButton)
                PortraitClick(i);
        });
    QObject::connect(form.AnNiu[0], &PictureBox::clicked, &form, [](Qt::MouseButton b) {
        if (b == Qt::LeftButton)
            SendButton();
    });
    QObject::connect(form.TimerChat, &QTimer::timeout, &form, [] { TimerChatTick(); });
}

bool Addressed(const QString& boxText)
{
    const QString& prefix = ChatInputState.WhisperPrefix;
    return !prefix.isEmpty() && boxText.contains(prefix);
}

void SendMessage(const QString& message, bool addressed)
{
    const ChatInputRecord& s = ChatInputState;
    const QString& ownName = TableState.Players[0].nickname;
    uint8_t whisper = 0;
    QString text;
    if (addressed) {
        whisper = s.WhisperSeatBit;
        // Without the addressee's seat the remark goes to everyone, saying whom it is for.
        text = whisper != 0 ? message : ownName + s.WhisperPrefix.mid(1) + message;
    } else {
        text = ownName + QStringLiteral("说道： ") + message;
    }
    Transport::State.PendingChatText = text;
    Transport::SendPacket(Outgoing::ChatLine(TableState.Seats[0].seatBit, whisper));
}

bool KeyPress(int key)
{
    MainForm* form = TheMainForm();
    if (form == nullptr)
        return false;
    if (key == Qt::Key_F1) {
        PlayerActions::F1Action(PlayerActions::F1From::ChatBox);
        return true;
    }
    if (TalkWindow::HistoryCount() > HistoryLimit)
        TalkWindow::ClearHistory();
    ChatInputRecord& s = ChatInputState;
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    const bool spectator = TableState.Table.Spectator;
    if (enter && !spectator && s.ChatAllowed) {
        s.ChatAllowed = false;
        form->TimerChat->start();
        SendTyped(form->Chat->text());
        return true;
    }
    if (enter && !spectator && !form->Chat->text().isEmpty()) {
        TalkWindow::AddHistoryEntry(TooFast);
        SetBoxText(QString());
        return true;
    }
    if (!s.WhisperPrefix.isEmpty() && key == Qt::Key_Backspace) {
        s.TextBeforeBackspace = form->Chat->text();
        if (s.WhisperPrefix.size() >= form->Chat->cursorPosition()) {
            s.PrefixErasePending = true;
            // At the very start Backspace changes nothing, so the box would report no change:
            // the prefix goes at once.
            if (form->Chat->cursorPosition() == 0 && !form->Chat->hasSelectedText()) {
                TextChanged();
                return true;
            }
        }
    }
    // Enter is never typed into the box.
    return enter;
}

void TextChanged()
{
    ChatInputRecord& s = ChatInputState;
    if (!s.PrefixErasePending)
        return;
    s.PrefixErasePending = false;
    const QString rest = s.TextBeforeBackspace.mid(s.WhisperPrefix.size());
    s.WhisperPrefix.clear();
    s.WhisperSeatBit = 0;
    SetBoxText(rest);
}

void PortraitClick(int position)
{
    QLineEdit* box = ChatBox();
    if (box == nullptr || !Connection::Link.EntryOk || position < 1 || position > 3)
        return;
    const auto p = static_cast<size_t>(position);
    const QString& nickname = TableState.Players[p].nickname;
    if (nickname.isEmpty())
        return;
    ChatInputRecord& s = ChatInputState;
    QString message = box->text();
    s.WhisperSeatBit = TableState.Seats[p].seatBit;
    if (!message.isEmpty() && message.contains(s.WhisperPrefix))
        message = message.mid(s.WhisperPrefix.size());
    s.WhisperPrefix = QStringLiteral("你对") + nickname + QStringLiteral("说 ：");
    SetBoxText(s.WhisperPrefix + message);
    box->setFocus();
}

void SendButton()
{
    QLineEdit* box = ChatBox();
    if (box == nullptr)
        return;
    const QString typed = box->text();
    SetBoxText(QString());
    SendTyped(typed);
}

void TimerChatTick()
{
    if (MainForm* form = TheMainForm())
        form->TimerChat->stop();
    ChatInputState.ChatAllowed = true;
}

void Reset()
{
    ChatInputState = ChatInputRecord{};
}

}  // namespace ChatInput
