#pragma once
// The exit confirmation frmExit ("您真的要退出吗？", and during a round "游戏正在进行，逃跑会扣分！")
// and the notice window frmOtherExit whose text the caller sets. What their buttons do is given
// by the table's close steps (see SetExitChoices); the windows only show and report.
#include <functional>
#include <QWidget>

class MainForm;
class PictureBox;
class QLabel;

class frmExit : public QWidget {
    Q_OBJECT
public:
    explicit frmExit(QWidget* parent = nullptr);
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    PictureBox* pbCloseMe = nullptr;  // OK
    PictureBox* pbCancel = nullptr;
};

class frmOtherExit : public QWidget {
    Q_OBJECT
public:
    explicit frmOtherExit(QWidget* parent = nullptr);
    QLabel* Label1 = nullptr;
    PictureBox* imgOK = nullptr;
    PictureBox* imgCancel = nullptr;
};

namespace ExitWindows {

// Loaded on first use over the table window.
frmExit& TheExit();
frmOtherExit& TheOtherExit();
bool ExitShowing();
bool OtherExitShowing();
// Centred over the table window, shown and raised.
void ShowCentred(QWidget& window);
void UnloadExit();
void UnloadOtherExit();

// What OK and Cancel of each window do.
void SetExitChoices(std::function<void()> ok, std::function<void()> cancel);
void SetOtherExitChoices(std::function<void()> ok, std::function<void()> cancel);

// Both windows unloaded and the choices dropped.
void Reset();

}  // namespace ExitWindows
