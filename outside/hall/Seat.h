#pragma once
// Where the seat button sends the user: the fields of the client's command line that a person
// chooses (who, with which password, at which server), checked before they go into a line
// whose fields end in '$'.
#include <QString>

#include <optional>

namespace Hallmere {

inline const QString DefaultCaption = QStringLiteral("Hallmere");

struct Seat {
    QString user;
    QString password;
    QString host;
    int port = 7430;
    QString location;
    QString hallCaption = DefaultCaption;
    QString tableCaption = QStringLiteral("Quellor");

    // What keeps it from making a command line, in the person's words; nothing when it can.
    std::optional<QString> Problem() const;
    // The thirteen fields, with no proxy. The captions go along only when the hall is not the one
    // the client assumes.
    QString Line() const;
    // "user @ host:port · location": where the button leads, never the password.
    QString Summary() const;
    // The server as a person types it: "host", "host:port", "[v6 address]:port" or a bare IPv6
    // address. The port stays as it was when none is given. False when it is none of these.
    bool SetServer(const QString& text);
    QString Server() const;
};

}  // namespace Hallmere
