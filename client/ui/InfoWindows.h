#pragma once
// The table's information windows: the score board of the last round ("战绩板"), the history
// of the rounds played at this table ("英雄榜") and the player card shown over a portrait.
// The result handling fills them; this module builds, places, shows and empties them, and
// loads a past round from the history file back into the score board.
#include <array>
#include <QWidget>

class MainForm;
class PictureBox;
class QLabel;
class QListWidget;
struct PlayerRecord;

// The score board. Per screen position i (0 the user, 1 left, 2 top, 3 right): State(i) the
// details of the round, State(i + 4) the final score, the name and the portrait.
class Score : public QWidget {
    Q_OBJECT
public:
    explicit Score(QWidget* parent = nullptr);
    ~Score() override;

    std::array<QListWidget*, 8> State{};
    std::array<QLabel*, 4> ID{};
    std::array<PictureBox*, 4> Tou{};
    PictureBox* Image1 = nullptr;  // close

    // The details of the four positions show a scroll bar all together, when one of them has
    // more rows than a round writes, or none does, so that the columns keep one width.
    void EvenScrollBars();
};

// The history: one row per finished round in Num and in every position's Grade list, and the
// running totals under them. The rows of all five lists stay side by side.
class Hero : public QWidget {
    Q_OBJECT
public:
    explicit Hero(QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;  // "局 数", over Num
    QListWidget* Num = nullptr;
    std::array<QListWidget*, 4> Grade{};
    std::array<QLabel*, 4> ID{};
    std::array<PictureBox*, 4> Tou{};
    QLabel* Label2 = nullptr;  // "输赢总分：", before the totals
    std::array<QLabel*, 4> sunScore{};
    PictureBox* Image1 = nullptr;  // close

    // A click on a row of Num: every Grade list selects that row and shows Num's top row.
    void NumClick(int row);
    // A click on a row of Grade(k): Num follows it, then every other Grade list follows Num.
    void GradeClick(int k, int row);
    // When rounds were added since the last call, Num scrolls as far down as its last row
    // allows and every Grade list takes its top row; otherwise the lists keep their place.
    void ScrollToNewRounds();

private:
    bool m_newRounds = false;
};

// The player card: nine captions and the nine values Inf(0..8).
class Information : public QWidget {
    Q_OBJECT
public:
    explicit Information(QWidget* parent = nullptr);

    std::array<QLabel*, 9> Caption{};
    std::array<QLabel*, 9> Inf{};

    // The values of one player; the card takes the width of its longest value.
    void Fill(const PlayerRecord& player);
    void ClearValues();

protected:
    // Shown while the pointer rests on a player: gone once the pointer has left it.
    void leaveEvent(QEvent* event) override;
};

namespace InfoWindows {

// The windows, loaded on first use with the table window as parent (none when there is no
// table window).
Score& TheScore();
Hero& TheHero();
// The card, or nullptr until a portrait was hovered.
Information* TheInformation();

// Score centred over the table picture, shown and raised; the table stays usable.
void ShowScore();
void ToggleScore();
// Hero centred over the table picture, at the latest round when one was added since it was
// last opened; or hidden.
void ToggleHero();

// Registers the three windows with Popups and opens the card from the table's portraits.
// Calling it again for the same table connects nothing twice.
void Connect(MainForm& form);
// The pointer moved over the portrait of a position: the card of its player, when it is not
// already up and the seat is taken.
void PortraitHover(MainForm& form, int position);
// The pointer has left a portrait or a display: the card goes unless the pointer is on it.
void PointerLeftPlayer();

// Empties every list, name, portrait, total and card value and hides the windows (the table
// closes).
void Clear();
// Unloads the windows, as at process start.
void Reset();

// Loads round n of "info.hm" beside the program into the score board's lists. Lists the file
// has no count for keep their rows; n <= 0 does nothing.
void ShowRoundFromHistory(int n);

}  // namespace InfoWindows
