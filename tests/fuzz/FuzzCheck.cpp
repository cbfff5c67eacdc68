#include "FuzzCheck.h"

#include <cstdio>
#include <cstdlib>

namespace FuzzSupport {

namespace {

bool throwFailedChecks = false;

}  // namespace

void FuzzCheck(bool holds, const char* what)
{
    if (holds)
        return;
    if (throwFailedChecks)
        throw CheckFailed(what);
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
}

void ThrowFailedChecks()
{
    throwFailedChecks = true;
}

}  // namespace FuzzSupport
