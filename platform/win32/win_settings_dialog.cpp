#include "platform/win32/win_settings_dialog.h"

#include "platform/win32/windows_api.h"

#include <algorithm>
#include <exception>
#include <iterator>
#include <string>

#include "platform/win32/win_text.h"

namespace slidesaver::win32 {
namespace {

constexpr int32_t kClientWidthTwips = 4455;
constexpr int32_t kClientHeightTwips = 2070;

struct TwipsPlace {
  int id;
  const char* caption;
  int32_t left, top, width, height;
};

// Option buttons sit in their frames: their places are relative to the frame's corner.
constexpr int32_t kFrame1Left = 120, kFrame1Top = 120;
constexpr int32_t kFrame2Left = 120, kFrame2Top = 1080;
constexpr std::array<TwipsPlace, 8> kTwips{{
    {kFrame1Id, "BGM", kFrame1Left, kFrame1Top, 2535, 855},
    {kOption1Id + 0, "ON", kFrame1Left + 240, kFrame1Top + 360, 855, 255},
    {kOption1Id + 1, "OFF", kFrame1Left + 1320, kFrame1Top + 360, 855, 255},
    {kFrame2Id, "Sound", kFrame2Left, kFrame2Top, 2535, 855},
    {kOption1Id + 2, "ON", kFrame2Left + 240, kFrame2Top + 360, 855, 255},
    {kOption1Id + 3, "OFF", kFrame2Left + 1320, kFrame2Top + 360, 855, 255},
    {IDOK, "OK", 2880, 240, 1455, 330},
    {IDCANCEL, "キャンセル", 2880, 630, 1455, 330},
}};

int32_t Pixels(int32_t twips, int dpi) { return MulDiv(twips, dpi, 1440); }

// The dialog's state while it runs; the window's user data points here.
struct DialogRun {
  FrmSetting& form;
  HWND window = nullptr;
  std::exception_ptr failure;

  void Reflect() const {
    for (int i = 0; i < FrmSetting::kOptionCount; ++i) {
      SendDlgItemMessageW(window, kOption1Id + i, BM_SETCHECK,
                          form.Option1(i) ? BST_CHECKED : BST_UNCHECKED, 0);
    }
  }

  // The form's handlers run here; nothing may unwind through the system's window procedure.
  void Command(int id) {
    try {
      if (id >= kOption1Id && id < kOption1Id + FrmSetting::kOptionCount) {
        form.SelectOption1(id - kOption1Id);
        Reflect();
      } else if (id == IDOK) {
        form.Command1_Click(0);
      } else if (id == IDCANCEL) {
        form.Command1_Click(1);
      }
    } catch (...) {
      failure = std::current_exception();
      form.Hide();
    }
  }
};

LRESULT CALLBACK SettingsWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lparam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* run = reinterpret_cast<DialogRun*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  switch (message) {
    case WM_COMMAND:
      if (run && HIWORD(wparam) == BN_CLICKED) run->Command(LOWORD(wparam));
      return 0;
    case WM_CLOSE:
      if (run) run->form.Hide();  // the close box writes nothing
      return 0;
    default:
      return DefWindowProcW(window, message, wparam, lparam);
  }
}

// Whether `font` has a glyph for every character of `text`.
bool DrawsAll(HFONT font, const std::wstring& text) {
  const HDC screen = GetDC(nullptr);
  const HGDIOBJ previous = SelectObject(screen, font);
  std::wstring glyphs(text.size(), L'\0');
  const DWORD n =
      GetGlyphIndicesW(screen, text.c_str(), static_cast<int>(text.size()),
                       reinterpret_cast<WORD*>(glyphs.data()), GGI_MARK_NONEXISTING_GLYPHS);
  SelectObject(screen, previous);
  ReleaseDC(nullptr, screen);
  return n == text.size() && glyphs.find(static_cast<wchar_t>(0xFFFF)) == std::wstring::npos;
}

int CALLBACK TakeFirstFace(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM found) {
  if (font->lfFaceName[0] == L'@') return 1;  // the vertical variants
  *reinterpret_cast<LOGFONTW*>(found) = *font;
  return 0;
}

// The system's message font; where it lacks the Japanese captions (a system without font
// linking), a Japanese face of the same height.
HFONT MessageFont(int dpi) {
  LOGFONTW font{};
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
    font = metrics.lfMessageFont;
  } else {
    font.lfHeight = -MulDiv(9, dpi, 72);
    font.lfCharSet = DEFAULT_CHARSET;
  }
  const HFONT message = CreateFontIndirectW(&font);
  const std::wstring captions = WideFromUtf8(FrmSetting::kCaption) + WideFromUtf8("キャンセル");
  if (!message || DrawsAll(message, captions)) return message;

  LOGFONTW wanted{};
  wanted.lfCharSet = SHIFTJIS_CHARSET;
  LOGFONTW japanese{};
  const HDC screen = GetDC(nullptr);
  EnumFontFamiliesExW(screen, &wanted, TakeFirstFace, reinterpret_cast<LPARAM>(&japanese), 0);
  ReleaseDC(nullptr, screen);
  if (japanese.lfFaceName[0] == L'\0') return message;
  std::copy(std::begin(japanese.lfFaceName), std::end(japanese.lfFaceName), font.lfFaceName);
  font.lfCharSet = SHIFTJIS_CHARSET;
  const HFONT fallback = CreateFontIndirectW(&font);
  if (!fallback) return message;
  DeleteObject(message);
  return fallback;
}

int ScreenDpi() {
  const HDC screen = GetDC(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
  if (screen) ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

}  // namespace

SettingsLayout SettingsDialogLayout(int dpi) {
  SettingsLayout layout{Pixels(kClientWidthTwips, dpi), Pixels(kClientHeightTwips, dpi), {}};
  for (size_t i = 0; i < kTwips.size(); ++i) {
    const TwipsPlace& t = kTwips[i];
    layout.controls[i] = ControlPlace{t.id,
                                      "BUTTON",
                                      t.caption,
                                      Pixels(t.left, dpi),
                                      Pixels(t.top, dpi),
                                      Pixels(t.width, dpi),
                                      Pixels(t.height, dpi)};
  }
  return layout;
}

void RunSettingsDialog(FrmSetting& form) {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof window_class;
  window_class.lpfnWndProc = SettingsWindowProc;
  window_class.hInstance = instance;
  window_class.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  window_class.lpszClassName = kSettingsWindowClass;
  RegisterClassExW(&window_class);

  const int dpi = ScreenDpi();
  const SettingsLayout layout = SettingsDialogLayout(dpi);
  const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
  const DWORD ex_style = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
  RECT frame{0, 0, layout.client_width, layout.client_height};
  AdjustWindowRectEx(&frame, style, FALSE, ex_style);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  const int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  const int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;

  DialogRun run{form, nullptr, nullptr};
  run.window =
      CreateWindowExW(ex_style, kSettingsWindowClass, WideFromUtf8(FrmSetting::kCaption).c_str(),
                      style, left, top, width, height, nullptr, nullptr, instance, &run);
  if (!run.window) return;  // no window can be made: nothing was chosen, nothing is written

  const HFONT font = MessageFont(dpi);
  for (const ControlPlace& place : layout.controls) {
    DWORD control_style = WS_CHILD | WS_VISIBLE;
    if (place.id == kFrame1Id || place.id == kFrame2Id) {
      control_style |= BS_GROUPBOX | WS_GROUP;
    } else if (place.id == IDOK) {
      control_style |= BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP;
    } else if (place.id == IDCANCEL) {
      control_style |= BS_PUSHBUTTON | WS_TABSTOP;
    } else {
      // The first choice of each frame starts its group: the arrow keys stay inside a frame
      // and choose as they move (a click reaches the form, which stays the one state).
      const bool first = place.id == kOption1Id || place.id == kOption1Id + 2;
      control_style |= BS_AUTORADIOBUTTON | (first ? WS_GROUP | WS_TABSTOP : 0);
    }
    const HWND control =
        CreateWindowExW(0, L"BUTTON", WideFromUtf8(place.caption).c_str(), control_style,
                        place.left, place.top, place.width, place.height, run.window,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(place.id)), instance, nullptr);
    if (control && font) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  }
  run.Reflect();
  ShowWindow(run.window, SW_SHOWNORMAL);
  SetForegroundWindow(run.window);
  SetFocus(GetDlgItem(run.window, form.Option1(0) ? kOption1Id : kOption1Id + 1));

  MSG msg;
  while (form.Visible()) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {
      PostQuitMessage(static_cast<int>(msg.wParam));  // leave WM_QUIT for the caller
      break;
    }
    if (got < 0) break;
    if (!IsDialogMessageW(run.window, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  DestroyWindow(run.window);
  if (font) DeleteObject(font);
  if (run.failure) std::rethrow_exception(run.failure);
}

}  // namespace slidesaver::win32
