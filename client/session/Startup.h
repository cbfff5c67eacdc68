#pragma once
// Start-up from the hall's command line: the thirteen fields, the screen scale, the entry
// request, the connection and the login task.
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

#include "protocol/TableState.h"
#include "session/Packet.h"

class MainForm;

namespace Startup {

// Values the hall passes, kept for the life of the process.
struct CommandLine {
    QString userKey;        // field 1
    QString password;       // field 2, cleared once the entry request is built
    QString serverHost;     // field 3
    uint16_t serverPort = 0; // field 4, any TCP port
    QString location;       // field 5
    int16_t proxyType = 0;  // field 6: 0 direct, 5 SOCKS5, anything else no connection
    QString proxyHost;      // field 7
    uint16_t proxyPort = 0;  // field 8
    QString proxyUser;      // field 9
    QString proxyPassword;  // field 10
    uint8_t proxyUserLength = 0;
    uint8_t proxyPasswordLength = 0;
    bool customCaption = false;  // field 11 equal to 1
    QString hallCaption;    // field 12
    QString ownCaption;     // field 13
    bool spectator = false;
    double spectatorSeatValue = 0;  // a spectator line's number after field 13
};

enum class ParseOutcome { Ok, Empty, Invalid };

// The raw command line: the program's arguments joined with single blanks, so a launcher
// may pass the whole line as one argument or split at blanks.
QString JoinArguments(const QStringList& arguments);

// A player's line is thirteen fields each ended by "$". A spectator's line carries the same
// thirteen fields followed by the spectator's seat value as a number, with no "$" at the end.
ParseOutcome ParseCommandLine(const QString& line, CommandLine& out);

// Both factors 0.78125 below 1024 x 768, otherwise 1.0.
LayoutScaleFactors ChooseScale(QSize screen);

struct WindowPlacement {
    QRect window;
    QRect pic1;       // relative to the window
    bool framed = false;  // the drawn frame shows on at least one side
};
WindowPlacement PlaceWindow(QSize screen);

// The entry request (command 18) for these values.
Packet BuildEntryRequest(const CommandLine& line);

inline CommandLine Session;
inline Packet EntryRequest{};

// The whole load of the table window, in its fixed order. Returns false when start-up
// ended the program (with a test double installed the process is still there).
bool LoadMainForm(MainForm& form, const QStringList& arguments, QSize screen);

// Opens the connection the command line asks for (direct, proxy, or none).
void OpenConnection();
// The hall's message 22: connect to the game server again.
void ConnectAgain();

// The login tick task: tell the hall, wait for the connection, send the entry request.
void LoginTaskStep();
// How long the login waits for the connection before the link counts as lost.
constexpr int ConnectWaitMs = 10000;

// Overwrites a text in memory before dropping it.
void Wipe(QString& text);

}  // namespace Startup
