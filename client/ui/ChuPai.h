#pragma once
// The illegal-play notice: a small window over the table, "出牌非法" in its title and
// "不符合规则！" in its body; a click on its close label hides it.
#include <QWidget>

class MainForm;
class QLabel;

class ChuPai : public QWidget {
    Q_OBJECT
public:
    explicit ChuPai(QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;  // the close label
    QLabel* Label2 = nullptr;  // the notice

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

namespace IllegalPlayNotice {

// Shows the notice centred over the table picture, loading it when needed.
void Show(MainForm& form);
void Hide();
void Unload();
bool Showing();
ChuPai* Window();

}  // namespace IllegalPlayNotice
