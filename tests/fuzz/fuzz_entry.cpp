// The libFuzzer entry of one fuzz target, named by KLV_FUZZ_FUNCTION when it is built. The target
// writes its route files, klv.cfg and signal-system folders into the current directory: run it in
// a folder of its own, with absolute paths for its corpus (scripts/fuzz does).
#include <cstddef>
#include <cstdint>

#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return fuzzing::KLV_FUZZ_FUNCTION(data, size);
}
