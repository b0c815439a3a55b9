// Pictures decoded by their content with OLE's picture loader (JPEG, BMP, GIF), once the header
// check has found the picture whole and within the players' budget, then copied into the
// drawing layer's 0x00RRGGBB rows.
#include "platform/win32/windows_api.h"

#include <cstring>
#include <vector>

#include "common/run_time_error.h"
#include "media/picture_header.h"
#include "platform/win32/win32_platform.h"

namespace slidesaver::win32 {
namespace {

// The whole file in movable global memory, as an IStream over it wants it; null when the file
// can't be opened or read. A file larger than the players read is refused in `too_large`.
HGLOBAL ReadWholeFile(const std::string& path, size_t& size, bool& too_large) {
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  LARGE_INTEGER length{};
  HGLOBAL memory = nullptr;
  if (GetFileSizeEx(file, &length)) {
    too_large = static_cast<uint64_t>(length.QuadPart) > media::kMaxPictureFileBytes;
    size = static_cast<size_t>(length.QuadPart);
    if (!too_large) memory = GlobalAlloc(GMEM_MOVEABLE, size == 0 ? 1 : size);
  }
  void* target = memory ? GlobalLock(memory) : nullptr;
  DWORD read = 0;
  const bool ok =
      target && (size == 0 || (ReadFile(file, target, static_cast<DWORD>(size), &read, nullptr) &&
                               read == size));
  if (target) GlobalUnlock(memory);
  CloseHandle(file);
  if (!ok && memory) {
    GlobalFree(memory);
    return nullptr;
  }
  return memory;
}

template <class T>
class ComPtr {
 public:
  ~ComPtr() {
    if (p_) p_->Release();
  }
  T** operator&() { return &p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }

 private:
  T* p_ = nullptr;
};

// The bitmap's pixels as top-down 32-bit rows; false when GDI can't give them.
bool CopyBitmap(HBITMAP handle, gdi::Bitmap& picture) {
  BITMAP info{};
  if (!GetObjectW(handle, sizeof info, &info) || info.bmWidth <= 0 || info.bmHeight == 0)
    return false;
  const int32_t width = info.bmWidth;
  const int32_t height = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
  picture = gdi::Bitmap::Color(width, height);
  BITMAPINFO request{};
  request.bmiHeader.biSize = sizeof request.bmiHeader;
  request.bmiHeader.biWidth = width;
  request.bmiHeader.biHeight = -height;
  request.bmiHeader.biPlanes = 1;
  request.bmiHeader.biBitCount = 32;
  request.bmiHeader.biCompression = BI_RGB;
  const HDC screen = GetDC(nullptr);
  const int rows = GetDIBits(screen, handle, 0, static_cast<UINT>(height), picture.Row(0), &request,
                             DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  if (rows != height) return false;
  for (int32_t y = 0; y < height; ++y) {
    uint32_t* row = picture.Row(y);
    for (int32_t x = 0; x < width; ++x) row[x] &= 0x00FFFFFF;  // B, G, R, 0 is 0x00RRGGBB
  }
  return true;
}

class WinPictureLoader : public platform::PictureLoader {
 public:
  gdi::Bitmap Load(const std::string& path) override {
    size_t size = 0;
    bool too_large = false;
    const HGLOBAL memory = ReadWholeFile(path, size, too_large);
    if (too_large) throw InvalidPictureError(path, "the file is larger than the player reads");
    if (!memory) throw FileNotFoundError(path);
    // The stream frees the memory when it is released.
    ComPtr<IStream> stream;
    if (FAILED(CreateStreamOnHGlobal(memory, TRUE, &stream))) {
      GlobalFree(memory);
      throw InvalidPictureError(path);
    }
    // Nothing is decoded before the header says the picture is whole and within the budget.
    const void* bytes = GlobalLock(memory);
    const std::string problem =
        media::CheckPictureBeforeDecoding({static_cast<const uint8_t*>(bytes), bytes ? size : 0});
    GlobalUnlock(memory);
    if (!problem.empty()) throw InvalidPictureError(path, problem);
    ComPtr<IPicture> picture;
    if (FAILED(OleLoadPicture(stream.operator->(), static_cast<LONG>(size), FALSE, IID_IPicture,
                              reinterpret_cast<void**>(&picture))) ||
        !picture)
      throw InvalidPictureError(path);
    SHORT type = PICTYPE_UNINITIALIZED;
    OLE_HANDLE handle = 0;
    if (FAILED(picture->get_Type(&type)) || type != PICTYPE_BITMAP ||
        FAILED(picture->get_Handle(&handle)))
      throw InvalidPictureError(path);
    gdi::Bitmap result;
    if (!CopyBitmap(reinterpret_cast<HBITMAP>(static_cast<uintptr_t>(handle)), result))
      throw InvalidPictureError(path);
    return result;
  }
};

}  // namespace

std::unique_ptr<platform::PictureLoader> MakeWinPictureLoader() {
  return std::make_unique<WinPictureLoader>();
}

}  // namespace slidesaver::win32
