// The hall's command line: any text, as one argument or split at blanks, parsed as start-up
// parses it; the sanitizers judge.
#include <QString>

#include "FuzzTarget.h"
#include "session/Launch.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzSupport::EnsureApplication();
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    Launch::CommandLine parsed;
    Launch::ParseCommandLine(Launch::JoinArguments(text.split(QLatin1Char(' '))), parsed);
    Launch::Wipe(parsed.password);
    return 0;
}
