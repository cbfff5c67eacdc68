// Replays a fuzz target's corpus as an ordinary test, so that every input once found to
// crash or to break one of the target's checks stays fixed. A crash or sanitizer report fails
// the test run; a failed check fails the test with the input's name and what failed.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "FuzzCheck.h"

TEST(QUELLOR_FUZZ_SUITE, EveryInputRuns)
{
    FuzzSupport::ThrowFailedChecks();
    const QDir dir(QStringLiteral(QUELLOR_FUZZ_CORPUS));
    const QStringList names = dir.entryList(QDir::Files, QDir::Name);
    ASSERT_FALSE(names.isEmpty()) << "no corpus in " << QUELLOR_FUZZ_CORPUS;
    for (const QString& name : names) {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
        const QByteArray bytes = file.readAll();
        SCOPED_TRACE(name.toStdString());
        try {
            EXPECT_EQ(LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.constData()),
                                             static_cast<size_t>(bytes.size())),
                      0);
        } catch (const FuzzSupport::CheckFailed& failed) {
            ADD_FAILURE() << "input " << name.toStdString() << ": " << failed.what();
        }
    }
}
