#pragma once
// The quick-phrase window "huifu": two lists of ready-made chat lines from "chat.ini" beside
// the program, opened by the two phrase buttons; a double click sends a phrase at once, to
// the addressed player when the chat box holds a private-remark prefix.
#include <QStringList>
#include <QWidget>

class MainForm;
class PictureBox;
class QListWidget;
class classIniFile;

class huifu : public QWidget {
    Q_OBJECT
public:
    explicit huifu(QWidget* parent = nullptr);

    QListWidget* List1 = nullptr;  // first list (section "chat")
    QListWidget* List2 = nullptr;  // second list (section "chat1")
    PictureBox* Label1 = nullptr;  // close
};

namespace QuickPhrases {

inline const QString PhraseFile = QStringLiteral("chat.ini");
// A list never holds more phrases than this, whatever "num" says; and a file larger than
// MaxFileBytes is no phrase file (its lists stay empty).
constexpr int MaxPhrases = 100;
constexpr qint64 MaxFileBytes = 256 * 1024;

// "num" read as a number: the digits it starts with (after blanks), 0 when there are none,
// at most MaxPhrases.
int PhraseCount(const QString& num);
// The phrases "1".."num" of a section; a missing key reads as an empty phrase.
QStringList ReadPhrases(const classIniFile& file, const QString& section);

// The window, loaded hidden on first use (the lists read then) with the table window as parent.
huifu& TheHuifu();

// The phrase buttons: list 1 (imgword1) or 2 (imgword2) shown, or the window hidden when that
// list shows already.
void Open(int list);
// A phrase double-clicked: sent, the chat box emptied, the window hidden. Neither the flood
// lock nor the spectator seat holds it back.
void SendPhrase(const QString& phrase);

void Hide();
void Unload();
bool Showing();

// Registers the window with the pop-ups and gives the phrase buttons their clicks.
void Connect(MainForm& form);

}  // namespace QuickPhrases
