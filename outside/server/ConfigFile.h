#pragma once
// A settings file for the server and the relay whose lines mirror their command lines, so that
// a service reads the same options a person types: `name = value`, or `name` alone for a
// switch, one a line; `#` starts a comment line. `--config FILE` on the command line takes the
// file's options in ahead of the others, so that what is typed wins over what is stored.
#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QString>
#include <QStringList>

#include <optional>

namespace ConfigFile {

// The option that names the file, for the parser's help.
QCommandLineOption Option();

// The file's lines as command-line arguments ("--name", "value"); nothing, with the reason in
// `error` (file and line), when it cannot be read or a line is not a setting.
std::optional<QStringList> Read(const QString& path, QString& error);

// The arguments with `--config FILE` (or `--config=FILE`) replaced: the program's name first,
// then the file's options, then the rest as given. Without it the arguments as they are.
std::optional<QStringList> Expand(const QStringList& arguments, QString& error);

// Adds the option to the parser and processes the program's arguments with the file's options
// in them (QCommandLineParser::process: --help and wrong options end the program as usual).
// False, said on standard error under the program's name, when the file stops the start.
bool Process(QCommandLineParser& parser, const char* program);

}  // namespace ConfigFile
