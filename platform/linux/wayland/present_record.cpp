#include "platform/linux/wayland/present_record.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace slidesaver::linux_platform {

void RecordPresented(const uint32_t* pixels, int32_t width, int32_t height) {
  static const char* const file = std::getenv("SLIDESAVER_PRESENT_RECORD");
  if (!file || !*file) return;
  const std::string partial = std::string(file) + ".part";
  FILE* out = std::fopen(partial.c_str(), "wb");
  if (!out) return;
  std::fprintf(out, "P6\n%d %d\n255\n", width, height);
  std::vector<uint8_t> row(static_cast<size_t>(width) * 3);
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      const uint32_t pixel = pixels[static_cast<size_t>(y) * width + x];
      row[3 * x] = static_cast<uint8_t>(pixel >> 16);
      row[3 * x + 1] = static_cast<uint8_t>(pixel >> 8);
      row[3 * x + 2] = static_cast<uint8_t>(pixel);
    }
    std::fwrite(row.data(), 1, row.size(), out);
  }
  if (std::fclose(out) == 0) std::rename(partial.c_str(), file);
}

}  // namespace slidesaver::linux_platform
