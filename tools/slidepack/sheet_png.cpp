#include "tools/slidepack/sheet_png.h"

#include <png.h>

#include <exception>
#include <string>

#include "tools/slidepack/slidepack_error.h"

namespace slidepack {

struct PngRowWriter::State {
  OutputFile& file;
  png_structp png = nullptr;
  png_infop info = nullptr;
  std::exception_ptr failure;  // what the output failed with, kept across libpng's longjmp
  std::string problem;         // libpng's own error
};

namespace {

void WriteOut(png_structp png, png_bytep data, size_t length) {
  auto* state = static_cast<PngRowWriter::State*>(png_get_io_ptr(png));
  try {
    state->file.Write({data, length});
  } catch (...) {
    state->failure = std::current_exception();
    png_error(png, "write");
  }
}

void Flush(png_structp) {}

[[noreturn]] void Fail(png_structp png, png_const_charp message) {
  static_cast<PngRowWriter::State*>(png_get_error_ptr(png))->problem = message;
  png_longjmp(png, 1);
}

void Ignore(png_structp, png_const_charp) {}

}  // namespace

// libpng reports errors by longjmp: every call into it runs inside this, and no C++ object
// with a destructor lives between setjmp and the call.
#define PNG_GUARDED(state, call)                                             \
  do {                                                                       \
    if (setjmp(png_jmpbuf((state)->png)) != 0) {                             \
      if ((state)->failure) std::rethrow_exception((state)->failure);        \
      throw SlidepackError((state)->file.path().string() +                   \
                           ": cannot write the sheet: " + (state)->problem); \
    }                                                                        \
    call;                                                                    \
  } while (false)

PngRowWriter::PngRowWriter(OutputFile& file, int width, int height)
    : state_(new State{file, nullptr, nullptr, nullptr, {}}), width_(width) {
  state_->png = png_create_write_struct(PNG_LIBPNG_VER_STRING, state_, Fail, Ignore);
  if (state_->png != nullptr) state_->info = png_create_info_struct(state_->png);
  if (state_->info == nullptr) {
    png_destroy_write_struct(&state_->png, nullptr);
    delete state_;
    throw SlidepackError(file.path().string() + ": cannot write the sheet: out of memory");
  }
  try {
    PNG_GUARDED(state_, {
      png_set_write_fn(state_->png, state_, WriteOut, Flush);
      // libpng refuses more than a million rows unless told: a sheet has one row per slide.
      png_set_user_limits(state_->png, PNG_UINT_31_MAX, PNG_UINT_31_MAX);
      png_set_IHDR(state_->png, state_->info, static_cast<png_uint_32>(width),
                   static_cast<png_uint_32>(height), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                   PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
      // Mostly white with small pictures: the Sub filter and a fast level compress it nearly as
      // well as the slow defaults, many times faster.
      png_set_filter(state_->png, PNG_FILTER_TYPE_BASE, PNG_FILTER_SUB);
      png_set_compression_level(state_->png, 3);
      png_write_info(state_->png, state_->info);
    });
  } catch (...) {
    png_destroy_write_struct(&state_->png, &state_->info);
    delete state_;
    throw;
  }
}

PngRowWriter::~PngRowWriter() {
  png_destroy_write_struct(&state_->png, &state_->info);
  delete state_;
}

void PngRowWriter::WriteRows(std::span<const uint8_t> rgb) {
  const size_t stride = static_cast<size_t>(width_) * 3;
  for (size_t at = 0; at + stride <= rgb.size(); at += stride) {
    auto* row = const_cast<png_bytep>(rgb.data() + at);
    PNG_GUARDED(state_, png_write_row(state_->png, row));
  }
}

void PngRowWriter::Finish() { PNG_GUARDED(state_, png_write_end(state_->png, nullptr)); }

}  // namespace slidepack
