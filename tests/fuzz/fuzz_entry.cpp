// The libFuzzer entry of the fuzz target named KLV_FUZZ_TARGET when it is built. The target writes
// its route files, klv.cfg and signal-system folders into the current directory: run it in a
// folder of its own, with absolute paths for its corpus (scripts/fuzz does).
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return fuzzing::runTarget(KLV_FUZZ_TARGET, data, size);
}
