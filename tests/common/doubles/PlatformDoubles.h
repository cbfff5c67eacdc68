#pragma once
// Recording doubles for the platform layers of session/Platform: message boxes, program ends,
// shell opens and program starts are recorded instead of shown or performed.
#include <functional>
#include <QString>
#include <QStringList>
#include <vector>

namespace TestDoubles {

struct MessageBoxCall {
    QString text;
    QString title;
};

struct ProgramStart {
    QString program;
    QStringList arguments;
};

// What the recording platform layers saw.
struct Record {
    std::vector<MessageBoxCall> messageBoxes;
    // Runs while a message box "shows", before it is answered: what a test sees here is what
    // the user's box waits over.
    std::function<void()> whileBoxShows;
    int endCalls = 0;
    int lastExitCode = -1;
    std::vector<MessageBoxCall> okCancelBoxes;
    bool answerOk = false;              // how the OK/Cancel double answers
    std::vector<QString> shellOpened;
    std::vector<ProgramStart> programsStarted;
};
Record& Seen();

// Message boxes, program ends, shell opens and program starts are recorded instead of
// shown / performed.
void InstallPlatformDoubles();

}  // namespace TestDoubles
