// libFuzzer target for the Package reader.
#include <cstddef>
#include <cstdint>

#include "fuzz/read_package_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  slidesaver::CheckReadPackage({data, size});
  return 0;
}
