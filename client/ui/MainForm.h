#pragma once
// The table window. It owns every control and timer of the table; logic elsewhere sets the
// controls' properties directly.
#include <array>
#include <QLabel>
#include <QListWidget>
#include <QTimer>
#include <QWidget>

#include "ui/PictureBox.h"

class MainForm : public QWidget {
    Q_OBJECT
public:
    explicit MainForm(QWidget* parent = nullptr);
    ~MainForm() override;

    // The table picture: the felt everything else sits on.
    PictureBox* Pic1 = nullptr;
    // The two one-line message lists, upper and lower.
    std::array<QListWidget*, 2> Sysmsg{};
    QLabel* Location = nullptr;

    QTimer* TimerBong = nullptr;
    QTimer* TimerKeepAlive = nullptr;

    // Font size of Location at scale 1.0.
    static constexpr int LocationPointSize = 12;

protected:
    void changeEvent(QEvent* event) override;

private:
    void SendKeepAlive();
};

// The one table window of the process, or nullptr before it exists.
MainForm* TheMainForm();

// Message-area helpers that work whether or not a window exists (tests without one).
void SysmsgClear(int index);
void SysmsgAdd(int index, const QString& line);
QString SysmsgText(int index);
void MinimizeMainForm();
