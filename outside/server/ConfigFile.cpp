#include "ConfigFile.h"

#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>

#include <cstdio>

namespace ConfigFile {

namespace {
const QString Name = QStringLiteral("config");
// A settings file is a few lines; anything much larger is not one.
constexpr qint64 MaxBytes = 64 * 1024;
}  // namespace

QCommandLineOption Option()
{
    return QCommandLineOption(Name,
                              QStringLiteral("Read options from this file first: \"name = value\" a line, the "
                                             "command line's names without the dashes."),
                              QStringLiteral("file"));
}

std::optional<QStringList> Read(const QString& path, QString& error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    if (file.size() > MaxBytes) {
        error = QStringLiteral("%1 is larger than a settings file can be").arg(path);
        return std::nullopt;
    }
    static const QRegularExpression setting(QStringLiteral("^([a-z][a-z0-9-]*)\\s*(?:=\\s*(.*))?$"));
    QStringList arguments;
    int number = 0;
    for (const QByteArray& raw : file.readAll().split('\n')) {
        ++number;
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QRegularExpressionMatch m = setting.match(line);
        if (!m.hasMatch() || m.captured(1) == Name) {
            error = QStringLiteral("%1 line %2: not a setting (\"name = value\" or \"name\"): %3")
                        .arg(path)
                        .arg(number)
                        .arg(line);
            return std::nullopt;
        }
        arguments << QStringLiteral("--") + m.captured(1);
        if (m.lastCapturedIndex() >= 2)
            arguments << m.captured(2).trimmed();
    }
    return arguments;
}

std::optional<QStringList> Expand(const QStringList& arguments, QString& error)
{
    QStringList before, after;
    QString path;
    bool found = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        const QString equals = QStringLiteral("--") + Name + QLatin1Char('=');
        if (i > 0 && !found && (a == QStringLiteral("--") + Name || a == QStringLiteral("-") + Name)) {
            if (i + 1 >= arguments.size()) {
                error = QStringLiteral("--config needs a file");
                return std::nullopt;
            }
            path = arguments[++i];
            found = true;
        } else if (i > 0 && !found && a.startsWith(equals)) {
            path = a.mid(equals.size());
            found = true;
        } else {
            (found ? after : before) << a;
        }
    }
    if (!found)
        return arguments;
    const auto stored = Read(path, error);
    if (!stored)
        return std::nullopt;
    // The program's name, the stored options, then everything typed (before and after --config).
    QStringList result{before.value(0)};
    result << *stored << before.mid(1) << after;
    return result;
}

bool Process(QCommandLineParser& parser, const char* program)
{
    parser.addOption(Option());
    QString error;
    const std::optional<QStringList> arguments = Expand(QCoreApplication::arguments(), error);
    if (!arguments) {
        std::fprintf(stderr, "%s: %s\n", program, qPrintable(error));
        return false;
    }
    parser.process(*arguments);
    return true;
}

}  // namespace ConfigFile
