#pragma once
// The hall's command line: thirteen fields, each ended by "$", and what they mean.
#include <cstdint>
#include <QString>
#include <QStringList>

namespace Launch {

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

// Overwrites a text in memory before dropping it.
void Wipe(QString& text);

}  // namespace Launch
