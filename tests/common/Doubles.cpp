#include "common/Doubles.h"
void TestDoubles::InstallPlatformDoubles() {}
