#include <QApplication>
#include <gtest/gtest.h>

#include "common/doubles/PlatformDoubles.h"
#include "session/MediaPlugin.h"

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    TestDoubles::InstallPlatformDoubles();
    // Tests run from their own folder; the media plugin is built beside the programs.
    MediaLayer::SetPluginFolder(QStringLiteral(QUELLOR_BIN_DIR));
    return RUN_ALL_TESTS();
}

// Leak reports from inside the browser engine and fontconfig are theirs, not ours; read only
// by a sanitizer build.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libQt6WebEngineCore.so\nleak:libfontconfig.so\n";
}
