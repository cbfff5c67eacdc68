#include "common/doubles/PlatformDoubles.h"

#include "session/Platform.h"

namespace TestDoubles {

Record& Seen()
{
    static Record record;
    return record;
}

void InstallPlatformDoubles()
{
    Platform::SetMessageBoxHandler([](const QString& text, const QString& title) {
        Seen().messageBoxes.push_back({text, title});
        if (const std::function<void()> check = Seen().whileBoxShows)
            check();
    });
    Platform::SetEndProgramHandler([](int code) {
        ++Seen().endCalls;
        Seen().lastExitCode = code;
    });
    Platform::SetOkCancelHandler([](const QString& text, const QString& title) {
        Seen().okCancelBoxes.push_back({text, title});
        return Seen().answerOk;
    });
    Platform::SetShellOpenHandler([](const QString& target) { Seen().shellOpened.push_back(target); });
    Platform::SetStartProgramHandler([](const QString& program, const QStringList& arguments) {
        Seen().programsStarted.push_back({program, arguments});
        return true;
    });
}

}  // namespace TestDoubles
