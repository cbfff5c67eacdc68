// The hall's command line: any text, as one argument or split at blanks, parsed as start-up
// parses it. A line that parses must hold what the entry and proxy requests rely on, and the
// same fields written out again as a line must parse to the same values.
#include <cmath>

#include <QLocale>
#include <QString>
#include <QStringList>

#include "FuzzTarget.h"
#include "session/Launch.h"
#include "wire/Gbk.h"

namespace {

using FuzzSupport::FuzzCheck;

bool SingleByteText(const QString& text)
{
    for (QChar c : text)
        if (Gbk::SingleByte(c) < 0)
            return false;
    return true;
}

QString Number(double value)
{
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

// The line the hall would write for these values.
QString LineOf(const Launch::CommandLine& c)
{
    const QStringList fields = {
        c.userKey, c.password, c.serverHost, QString::number(c.serverPort), c.location,
        QString::number(c.proxyType), c.proxyHost, QString::number(c.proxyPort), c.proxyUser,
        c.proxyPassword, c.customCaption ? QStringLiteral("1") : QStringLiteral("0"), c.hallCaption,
        c.ownCaption,
    };
    QString line;
    for (const QString& field : fields)
        line += field + QLatin1Char('$');
    if (c.spectator)
        line += Number(c.spectatorSeatValue);
    return line;
}

bool SameNumber(double a, double b)
{
    return a == b || (std::isnan(a) && std::isnan(b));
}

bool SameValues(const Launch::CommandLine& a, const Launch::CommandLine& b)
{
    return a.userKey == b.userKey && a.password == b.password && a.serverHost == b.serverHost
           && a.serverPort == b.serverPort && a.location == b.location && a.proxyType == b.proxyType
           && a.proxyHost == b.proxyHost && a.proxyPort == b.proxyPort && a.proxyUser == b.proxyUser
           && a.proxyPassword == b.proxyPassword && a.proxyUserLength == b.proxyUserLength
           && a.proxyPasswordLength == b.proxyPasswordLength && a.customCaption == b.customCaption
           && a.hallCaption == b.hallCaption && a.ownCaption == b.ownCaption && a.spectator == b.spectator
           && SameNumber(a.spectatorSeatValue, b.spectatorSeatValue);
}

void CheckParsed(const Launch::CommandLine& c)
{
    FuzzCheck(c.userKey.size() <= 16 && c.password.size() <= 228,
              "the key and the password fit the entry request");
    FuzzCheck(c.proxyUser.size() <= 255 && c.proxyPassword.size() <= 255,
              "the proxy name and password fit their length bytes");
    FuzzCheck(c.proxyUserLength == c.proxyUser.size() && c.proxyPasswordLength == c.proxyPassword.size(),
              "the proxy length bytes are the lengths of the texts");
    FuzzCheck(SingleByteText(c.userKey) && SingleByteText(c.password) && SingleByteText(c.proxyUser)
                  && SingleByteText(c.proxyPassword),
              "the texts sent byte by byte are single-byte text");
    for (const QString* field : {&c.userKey, &c.password, &c.serverHost, &c.location, &c.proxyHost,
                                 &c.proxyUser, &c.proxyPassword, &c.hallCaption, &c.ownCaption})
        FuzzCheck(!field->contains(QLatin1Char('$')), "no field holds the field end");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzSupport::EnsureApplication();
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    Launch::CommandLine parsed;
    // The program's own name comes first, as in every argument list.
    const QStringList arguments = QStringList{QStringLiteral("quellor")} + text.split(QLatin1Char(' '));
    if (Launch::ParseCommandLine(Launch::JoinArguments(arguments), parsed)
        == Launch::ParseOutcome::Ok) {
        CheckParsed(parsed);
        Launch::CommandLine again;
        FuzzCheck(Launch::ParseCommandLine(LineOf(parsed), again) == Launch::ParseOutcome::Ok,
                  "the parsed fields written out as a line parse again");
        FuzzCheck(SameValues(parsed, again), "the parsed fields written out as a line parse to the same values");
        Launch::Wipe(again.password);
        Launch::Wipe(again.proxyPassword);
    }
    Launch::Wipe(parsed.password);
    Launch::Wipe(parsed.proxyPassword);
    FuzzCheck(parsed.password.isEmpty() && parsed.proxyPassword.isEmpty(), "a wiped password is gone");
    return 0;
}
