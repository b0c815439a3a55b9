#pragma once
// For tests: with SLIDESAVER_PRESENT_RECORD=FILE, the picture a show surface last sent to the
// compositor is kept in FILE, a binary PPM replaced whole at each commit.
#include <cstdint>

namespace slidesaver::linux_platform {

// `pixels`: width x height XRGB8888 pixels, row after row. Does nothing without the variable.
void RecordPresented(const uint32_t* pixels, int32_t width, int32_t height);

}  // namespace slidesaver::linux_platform
