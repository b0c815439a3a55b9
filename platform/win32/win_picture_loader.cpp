// Pictures decoded by their content with OLE's picture loader (JPEG, BMP, GIF and what else
// the system reads), then copied into the drawing layer's 0x00RRGGBB rows.
#include "platform/win32/windows_api.h"

#include <cstring>
#include <vector>

#include "common/run_time_error.h"
#include "platform/win32/win32_platform.h"

namespace slidesaver::win32 {
namespace {

// The whole file, or nothing when it can't be opened.
bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes) {
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER size{};
  bool ok = GetFileSizeEx(file, &size) && size.QuadPart < (LONGLONG{1} << 30);
  if (ok) {
    bytes.resize(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    ok = bytes.empty() ||
         (ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) &&
          read == bytes.size());
  }
  CloseHandle(file);
  return ok;
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

// An IStream over a copy of the bytes, which the stream frees when released.
bool MakeStream(const std::vector<uint8_t>& bytes, IStream** stream) {
  const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
  if (!memory) return false;
  void* target = GlobalLock(memory);
  if (!target) {
    GlobalFree(memory);
    return false;
  }
  std::memcpy(target, bytes.data(), bytes.size());
  GlobalUnlock(memory);
  if (FAILED(CreateStreamOnHGlobal(memory, TRUE, stream))) {
    GlobalFree(memory);
    return false;
  }
  return true;
}

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
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(path, bytes)) throw FileNotFoundError(path);
    if (bytes.empty()) throw InvalidPictureError(path);
    ComPtr<IStream> stream;
    if (!MakeStream(bytes, &stream)) throw InvalidPictureError(path);
    ComPtr<IPicture> picture;
    if (FAILED(OleLoadPicture(stream.operator->(), static_cast<LONG>(bytes.size()), FALSE,
                              IID_IPicture, reinterpret_cast<void**>(&picture))) ||
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
