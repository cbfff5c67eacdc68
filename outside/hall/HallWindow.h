#pragma once
// The hall's window: a button that seats the user at the table (starts the client), the
// numbers exchanged with the client as they come and go, and buttons that send the hall's
// numbers. It follows the client's requests to bring the hall back and to put it aside.
#include <QList>
#include <QString>
#include <QWidget>

#include <cstdint>

class QLabel;
class QPushButton;
class QTreeWidget;

namespace Hallmere {

class Hall;
enum class Direction;

class HallWindow : public QWidget {
public:
    // summary: one line under the caption saying where the seat button leads.
    HallWindow(Hall& hall, const QString& caption, const QString& summary, QWidget* parent = nullptr);

    void BringBack();
    void PutAside();

private:
    void AddMessage(Direction direction, uint32_t number);
    void AddEvent(const QString& text);
    void AddRow(const QString& direction, const QString& text, const QColor& colour);
    void ShowClients(int connected);
    void ShowSeat();

    Hall& m_hall;
    QLabel* m_status = nullptr;
    QPushButton* m_seat = nullptr;
    QTreeWidget* m_log = nullptr;
    QList<QPushButton*> m_sendButtons;
    int m_connected = 0;
};

}  // namespace Hallmere
