#pragma once
// Command lines as the hall writes them, for the tests of start-up.
#include <QString>
#include <QStringList>

namespace TestLines {

// The thirteen fields of a direct player line, each followed by "$".
inline QString Line(QStringList fields)
{
    QString line;
    for (const QString& f : fields)
        line += f + QLatin1Char('$');
    return line;
}

inline QStringList BaseFields()
{
    return {"alice", "pw", "10.0.0.1", "5000", "Room 3", "0", "", "0", "", "", "0", "", ""};
}

inline QStringList With(int field, const QString& value, QStringList fields = BaseFields())
{
    fields[field - 1] = value;
    return fields;
}

}  // namespace TestLines
