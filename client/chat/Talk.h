#pragma once
// The chat history window "聊天": every chat line as display lines in Text1, opened and closed
// from the toolbar, the chat caption and the keys, placed over the lower middle of the table.
#include <QPoint>
#include <QSize>
#include <QWidget>

class MainForm;
class PictureBox;
class QListWidget;
class QVBoxLayout;

class Talk : public QWidget {
    Q_OBJECT
public:
    explicit Talk(QWidget* parent = nullptr);

    QListWidget* Text1 = nullptr;  // the history, one display line an entry
    PictureBox* Label1 = nullptr;  // close

    // Keys in Text1 (Qt key codes): Alt and C in either order hide the window; any other
    // key in between starts the pair again.
    void Text1Key(int key);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Lines that came while the window was hidden: the newest is in view when it shows.
    void showEvent(QShowEvent* event) override;

private:
    bool m_altDown = false;
    bool m_cDown = false;
};

namespace TalkWindow {

// The window, loaded hidden on first use with the table window as parent.
Talk& TheTalk();
// The loaded window, or nullptr.
Talk* Loaded();

// A chat line into the history as display lines; the newest entry is scrolled to the top of
// the list. The history never holds more than MaxEntries: the oldest entries go first.
constexpr int MaxEntries = 2000;
void AddHistory(const QString& line);
// One entry as it stands (a notice of the chat box), scrolled into view.
void AddHistoryEntry(const QString& entry);
int HistoryCount();
void ClearHistory();

// The toolbar's button and the chat caption: hides a visible window, shows a hidden one.
void Toggle();
// Alt-C on the table: shows it in its place.
void OpenByKeys();
void Hide();
void Unload();
bool Showing();

// Where a chat window goes (screen coordinates): from the table window's corner, plus the
// table picture's offset when fromPic1, the given fractions of basis down and across.
QPoint Place(const MainForm& form, QSize basis, double down, double across, bool fromPic1 = true);

// What the chat windows share: the pop-up look in the table window's type (a window does not
// inherit its parent's), a fixed size, the caption row with the close label (a click hides the
// window); the column under the caption, for the window's lists.
QVBoxLayout* FrameChatWindow(QWidget* window, const QString& caption, QSize size, PictureBox*& close);

// Registers the window with the pop-ups and gives the chat caption its click.
void Connect(MainForm& form);

}  // namespace TalkWindow
