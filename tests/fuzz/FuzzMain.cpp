// Linked into the libFuzzer programs only: the replay tests have their own test main.

// Leak reports from inside Qt's platform and font layers are theirs, not ours.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libQt6Core.so\nleak:libQt6Gui.so\nleak:libQt6Widgets.so\nleak:libfontconfig.so\n"
           "leak:libQt6WebEngineCore.so\n";
}
