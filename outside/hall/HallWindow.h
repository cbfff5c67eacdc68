#pragma once
// The hall's window: where to sit (server, user name, password) and a button that seats the
// user there (starts the client), the numbers exchanged with the client as they come and go,
// and buttons that send the hall's numbers. It follows the client's requests to bring the hall
// back and to put it aside.
#include <QList>
#include <QString>
#include <QWidget>

#include <cstdint>

#include "Seat.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace Hallmere {

class Hall;
enum class Direction;

class HallWindow : public QWidget {
public:
    // seat: where the button leads until the person changes it.
    HallWindow(Hall& hall, const Seat& seat, QWidget* parent = nullptr);

    void BringBack();
    void PutAside();

private:
    void AddMessage(Direction direction, uint32_t number);
    void AddEvent(const QString& text);
    void AddRow(const QString& direction, const QString& text, const QColor& colour);
    void ShowClients(int connected);
    void ShowSeat();
    // Takes the fields into the seat, remembers the server and the user for next time and
    // starts the client; a field that cannot go into the line is said instead.
    void SitDown();

    Hall& m_hall;
    QLabel* m_status = nullptr;
    Seat m_where;
    QLineEdit* m_server = nullptr;
    QLineEdit* m_user = nullptr;
    QLineEdit* m_password = nullptr;
    QLabel* m_problem = nullptr;
    QPushButton* m_seat = nullptr;
    QTreeWidget* m_log = nullptr;
    QList<QPushButton*> m_sendButtons;
    int m_connected = 0;
};

}  // namespace Hallmere
