#pragma once
// The hall's side of the channel: the local server named from the caption, the clients
// connected to it and the client programs started from here. Every event goes to standard
// output, which scripts and tests read line by line, and is signalled for the window.
#include <QByteArray>
#include <QHash>
#include <QList>
#include <QLocalServer>
#include <QObject>
#include <QString>

#include <cstdint>

class QLocalSocket;

namespace Hallmere {

// The numbers that matter to the hall itself.
constexpr uint32_t RestoreRequest = 61728;   // client: bring the hall back
constexpr uint32_t MinimizeRequest = 61472;  // client: put the hall aside

class Hall : public QObject {
    Q_OBJECT
public:
    Hall(QString clientPath, bool exitWithClient, QObject* parent = nullptr);
    ~Hall() override;

    static QString EndpointName(const QString& caption);

    bool Listen(const QString& caption);
    // Sends the number to every connected client.
    void Send(uint32_t number);
    // Starts the client; the whole line goes as its one argument.
    void Launch(const QString& line);
    // The line the "seat" command and the window's seat button start the client with.
    void SetSeatLine(const QString& line) { m_seatLine = line; }
    const QString& SeatLine() const { return m_seatLine; }
    // One line of standard input: send N, launch LINE, seat, quit.
    void Command(const QString& text);

    int ClientCount() const { return static_cast<int>(m_clients.size()); }
    int RunningClients() const { return m_running; }

Q_SIGNALS:
    void Received(uint32_t number);
    void Sent(uint32_t number);
    void ClientsChanged(int connected);
    void Launched(qint64 pid);
    void LaunchFailed();
    void ClientExited(int code);

private:
    void Accept();
    void Read(QLocalSocket* c);

    QLocalServer m_server;
    QList<QLocalSocket*> m_clients;
    QHash<QLocalSocket*, QByteArray> m_buffers;
    QString m_clientPath;
    QString m_seatLine;
    bool m_exitWithClient;
    int m_running = 0;
};

// Every line on standard output starts with the time of day.
void Log(const QString& what);

}  // namespace Hallmere
