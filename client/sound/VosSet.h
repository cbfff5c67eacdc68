#pragma once
// The sound settings window: the background tune, the action cues, the clock warning and the
// table background, each switched at once by its button. Cancel switches back everything
// switched since the window was last closed; nothing is stored between runs.
#include <array>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QWidget>

class MainForm;
class PictureBox;
class QLabel;

struct VosSetRecord {
    // Whether the table shows the alternative felt (pic4 instead of pic3); off at every start.
    bool AltBackground = false;
};
inline VosSetRecord VosSetState;

class VosSet : public QWidget {
    Q_OBJECT
public:
    // tablePicture is what the background option paints; without one it paints the table
    // window's Pic1.
    explicit VosSet(QWidget* parent = nullptr, PictureBox* tablePicture = nullptr);
    ~VosSet() override;

    // Labels of the four options, their switch buttons, and OK (0) / Cancel (1). A switch
    // button names what a click does; Current, on the label beside the name, what the option
    // is now.
    std::array<PictureBox*, 4> Image1{};
    std::array<QLabel*, 4> Current{};
    std::array<PictureBox*, 4> Command2{};
    std::array<PictureBox*, 2> Command1{};
    // Options switched an odd number of times since the window was loaded or last closed.
    std::array<bool, 4> ChangedSinceOpen{};

    // Switches option 0 (tune), 1 (cues), 2 (clock warning) or 3 (table background).
    void Command2Click(int index);
    // Closes the window; index 1 (Cancel) first switches back every changed option.
    void Command1Click(int index);

protected:
    // The title bar's close keeps the switches, as OK does.
    void closeEvent(QCloseEvent* event) override;

private:
    void SwitchOption(int index);
    void ShowOption(int index);
    PictureBox* TablePicture() const;

    QPointer<PictureBox> m_tablePicture;
};

// The loaded settings window, or nullptr.
VosSet* TheVosSet();

// The toolbar's settings button: hides a visible window, otherwise loads it when needed,
// places it over the lower right of the table and shows it.
void ToggleVosSet(MainForm& form);
// Where the toolbar shows the window: top = table top + Pic1 height - 1.35 x own height + 15,
// left = table left + Pic1 width - 1.1 x own width.
QPoint VosSetPlace(const QRect& table, const QSize& pic1, const QSize& own);
// Hides the window if it is loaded (the hide button, F1 in the chat box).
void HideVosSet();
// Unloads the window (F1 on the table, closing the table).
void UnloadVosSet();
// The plain felt again and no window, as at process start.
void ResetVosSet();
