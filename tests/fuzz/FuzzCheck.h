#pragma once
// What every fuzz target has, the client's and the server's alike: the libFuzzer entry point
// and the checks of the properties an input must keep.
#include <cstddef>
#include <cstdint>
#include <stdexcept>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace FuzzSupport {

// A property every input must keep. When it fails, the fuzzer's run stops with the text of
// what failed and keeps the input as a crash; the corpus replay, which reports inputs one by
// one, has it thrown as CheckFailed instead (see ThrowFailedChecks).
void FuzzCheck(bool holds, const char* what);

struct CheckFailed : std::runtime_error {
    using std::runtime_error::runtime_error;
};
void ThrowFailedChecks();

}  // namespace FuzzSupport
