#include "tools/slidepack/commands.h"
#include "tools/slidepack/slidepack_error.h"

namespace slidepack {

void Sheet(const std::filesystem::path&, const std::filesystem::path&) {
  throw SlidepackError("sheet: not yet");
}

}  // namespace slidepack
