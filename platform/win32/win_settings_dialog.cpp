#include "platform/win32/win_settings_dialog.h"

#include "platform/win32/windows_api.h"

#include <algorithm>
#include <exception>
#include <iterator>
#include <string>

#include "platform/win32/resources/resource_ids.h"
#include "platform/win32/win_text.h"

namespace slidesaver::win32 {
namespace {

using Kind = platform::SettingsControl::Kind;

int32_t Pixels(int32_t twips, int dpi) { return MulDiv(twips, dpi, 1440); }

// The dialog's state while it runs; the window's user data points here.
struct DialogRun {
  platform::SettingsDialogModel& model;
  const PixelLayout& layout;
  HWND window = nullptr;
  std::exception_ptr failure;

  void Reflect() const {
    for (const PlacedControl& place : layout.controls) {
      if (place.control->kind != Kind::Choice) continue;
      SendDlgItemMessageW(window, place.id, BM_SETCHECK,
                          model.Selected(*place.control) ? BST_CHECKED : BST_UNCHECKED, 0);
    }
  }

  // The model's operations run here; nothing may unwind through the system's window procedure.
  void Command(int id) {
    try {
      if (id == IDOK) {
        model.Accept();
      } else if (id == IDCANCEL) {
        model.Cancel();
      } else {
        for (const PlacedControl& place : layout.controls) {
          if (place.id != id || place.control->kind != Kind::Choice) continue;
          model.Choose(*place.control);
          Reflect();
        }
      }
    } catch (...) {
      failure = std::current_exception();
    }
  }

  bool Running() const { return model.Visible() && !failure; }
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
      if (run) run->Command(IDCANCEL);  // the close box writes nothing
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
HFONT MessageFont(int dpi, const platform::SettingsDialogLayout& layout) {
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
  std::wstring captions = WideFromUtf8(layout.title);
  for (const platform::SettingsControl& control : layout.controls)
    captions += WideFromUtf8(control.caption);
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

// The program's icon in the dialog's title bar and on the taskbar.
void ShowProgramIcon(HWND window, HINSTANCE instance) {
  const struct {
    WPARAM which;
    int width_metric, height_metric;
  } kIcons[] = {{ICON_BIG, SM_CXICON, SM_CYICON}, {ICON_SMALL, SM_CXSMICON, SM_CYSMICON}};
  for (const auto& icon : kIcons) {
    // Shared: the system keeps the icon, and frees it, for every user of the resource.
    const HANDLE image = LoadImageW(instance, MAKEINTRESOURCEW(SLIDESAVER_ICON), IMAGE_ICON,
                                    GetSystemMetrics(icon.width_metric),
                                    GetSystemMetrics(icon.height_metric), LR_SHARED);
    if (image) SendMessageW(window, WM_SETICON, icon.which, reinterpret_cast<LPARAM>(image));
  }
}

int ScreenDpi() {
  const HDC screen = GetDC(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
  if (screen) ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

}  // namespace

PixelLayout PlaceControls(const platform::SettingsDialogLayout& layout, int dpi) {
  PixelLayout pixels{Pixels(layout.client_width, dpi), Pixels(layout.client_height, dpi), {}};
  int choices = 0;
  int frames = 0;
  for (const platform::SettingsControl& control : layout.controls) {
    int id = IDCANCEL;
    if (control.kind == Kind::Choice) id = kFirstChoiceId + choices++;
    if (control.kind == Kind::Frame) id = kFirstFrameId + frames++;
    if (control.kind == Kind::AcceptButton) id = IDOK;
    pixels.controls.push_back(PlacedControl{id, &control, Pixels(control.left, dpi),
                                            Pixels(control.top, dpi), Pixels(control.width, dpi),
                                            Pixels(control.height, dpi)});
  }
  return pixels;
}

void RunSettingsDialog(platform::SettingsDialogModel& settings) {
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
  const platform::SettingsDialogLayout& twips = settings.Layout();
  const PixelLayout layout = PlaceControls(twips, dpi);
  const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
  const DWORD ex_style = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
  RECT frame{0, 0, layout.client_width, layout.client_height};
  AdjustWindowRectEx(&frame, style, FALSE, ex_style);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  const int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  const int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;

  DialogRun run{settings, layout, nullptr, nullptr};
  run.window = CreateWindowExW(ex_style, kSettingsWindowClass, WideFromUtf8(twips.title).c_str(),
                               style, left, top, width, height, nullptr, nullptr, instance, &run);
  if (!run.window) return;  // no window can be made: nothing was chosen, nothing is written
  ShowProgramIcon(run.window, instance);

  const HFONT font = MessageFont(dpi, twips);
  HWND first_focus = nullptr;  // the selected choice of the first group
  bool group_starts = false;
  for (const PlacedControl& place : layout.controls) {
    DWORD control_style = WS_CHILD | WS_VISIBLE;
    switch (place.control->kind) {
      case Kind::Frame:
        control_style |= BS_GROUPBOX | WS_GROUP;
        group_starts = true;
        break;
      case Kind::AcceptButton:
        control_style |= BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP;
        break;
      case Kind::CancelButton:
        control_style |= BS_PUSHBUTTON | WS_TABSTOP;
        break;
      case Kind::Choice:
        // The first choice of each frame starts its group: the arrow keys stay inside a frame
        // and choose as they move (a click reaches the model, which stays the one state).
        control_style |= BS_AUTORADIOBUTTON | (group_starts ? WS_GROUP | WS_TABSTOP : 0);
        group_starts = false;
        break;
    }
    const HWND control =
        CreateWindowExW(0, L"BUTTON", WideFromUtf8(place.control->caption).c_str(), control_style,
                        place.left, place.top, place.width, place.height, run.window,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(place.id)), instance, nullptr);
    if (control && font) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (!first_focus && place.control->kind == Kind::Choice && settings.Selected(*place.control))
      first_focus = control;
  }
  run.Reflect();
  ShowWindow(run.window, SW_SHOWNORMAL);
  SetForegroundWindow(run.window);
  SetFocus(first_focus);

  MSG msg;
  while (run.Running()) {
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
