#include "win/win_form.h"

#include <commctrl.h>
#include <imm.h>

#include <algorithm>
#include <cmath>

#include "base/text.h"
#include "platform/win32/desktop.h"
#include "platform/win32/window_system.h"

namespace navelo::win {
namespace {

constexpr int kFirstId = 100;
constexpr wchar_t kClassName[] = L"NaveloForm";

COLORREF Ref(forms::Colour rgb) {
  return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

// Text boxes take no control characters: typed ones are dropped (Backspace still edits), pasted
// text loses them.
LRESULT CALLBACK EditProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                          DWORD_PTR) {
  // Backspace still edits, and the editing shortcuts (Ctrl+A, C, V, X, Z) arrive as control
  // characters too; every other one is dropped.
  constexpr WPARAM kEditing[] = {0x01, 0x03, 0x08, 0x16, 0x18, 0x1A};
  if (message == WM_CHAR && wParam < 0x20 &&
      std::find(std::begin(kEditing), std::end(kEditing), wParam) == std::end(kEditing)) {
    return 0;
  }
  if (message == WM_PASTE) {
    std::u16string text;
    if (OpenClipboard(hwnd)) {
      if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
          text = FromWide(chars);
          GlobalUnlock(data);
        }
      }
      CloseClipboard();
    }
    const std::wstring kept = Wide(WithoutControlCharacters(text));
    SendMessageW(hwnd, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(kept.c_str()));
    return 0;
  }
  if (message == WM_SETTEXT && lParam != 0) {
    const std::wstring kept =
        Wide(WithoutControlCharacters(FromWide(reinterpret_cast<const wchar_t*>(lParam))));
    return DefSubclassProc(hwnd, message, wParam, reinterpret_cast<LPARAM>(kept.c_str()));
  }
  return DefSubclassProc(hwnd, message, wParam, lParam);
}

}  // namespace

std::u16string WindowText(HWND window) {
  return platform::win32::WindowTitle(reinterpret_cast<platform::WindowHandle>(window));
}

void SetWindowText(HWND window, std::u16string_view text) {
  SetWindowTextW(window, Wide(text).c_str());
}

int Pixels(int twips, UINT dpi) {
  return static_cast<int>(std::lround(static_cast<double>(twips) * dpi / 1440.0));
}

UINT DpiOf(HWND window) {
  const UINT dpi = window ? GetDpiForWindow(window) : 0;
  return dpi ? dpi : 96;
}

std::wstring FaceName(forms::Face face) {
  switch (face) {
    case forms::Face::kGothic:
      return L"ＭＳ ゴシック";
    case forms::Face::kPGothic:
      return L"ＭＳ Ｐゴシック";
    case forms::Face::kForm:
    case forms::Face::kSystem:
      break;
  }
  return L"MS UI Gothic";
}

FormWindow::~FormWindow() {
  if (hwnd_) DestroyWindow(hwnd_);
  for (HMENU menu : detached_) DestroyMenu(menu);
  for (auto& [key, font] : fonts_) DeleteObject(font);
  for (auto& [key, brush] : brushes_) DeleteObject(brush);
}

HWND FormWindow::Find(std::string_view name, int index) const {
  for (const Built& b : built_) {
    if (b.control->name == name && (index < 0 || b.control->index == index)) return b.hwnd;
  }
  return nullptr;
}

const forms::Control* FormWindow::ControlOf(HWND control) const {
  for (const Built& b : built_) {
    if (b.hwnd == control) return b.control;
  }
  return nullptr;
}

// Menu items carry their index in the form's menu list, after the controls' identifiers.
constexpr int kFirstMenuId = 1000;

HMENU FormWindow::BuildMenus() {
  if (form_.menus.empty()) return nullptr;
  HMENU bar = CreateMenu();
  // Items that have children become popup menus; the rest are commands.
  auto hasChildren = [&](std::string_view name) {
    return std::any_of(form_.menus.begin(), form_.menus.end(),
                       [&](const forms::Menu& m) { return m.parent == name; });
  };
  for (const forms::Menu& m : form_.menus) {
    if (hasChildren(m.name)) popups_[std::string(m.name)] = CreatePopupMenu();
  }
  for (std::size_t i = 0; i < form_.menus.size(); ++i) {
    const forms::Menu& m = form_.menus[i];
    HMENU into = m.parent.empty() ? (m.visible ? bar : nullptr) : popups_[std::string(m.parent)];
    if (into == nullptr) {
      if (auto popup = popups_.find(m.name); popup != popups_.end()) {
        detached_.push_back(popup->second);
      }
      continue;
    }
    const std::wstring caption = Wide(m.caption);
    if (auto popup = popups_.find(m.name); popup != popups_.end()) {
      AppendMenuW(into, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(popup->second),
                  caption.c_str());
    } else {
      AppendMenuW(into, MF_STRING, static_cast<UINT_PTR>(kFirstMenuId + i), caption.c_str());
    }
  }
  return bar;
}

HMENU FormWindow::PopupMenuHandle(std::string_view name) const {
  auto it = popups_.find(name);
  return it == popups_.end() ? nullptr : it->second;
}

void FormWindow::Create() {
  HMENU menu = BuildMenus();
  static const bool registered = [] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &FormWindow::Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hIcon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1));
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = kClassName;
    return RegisterClassExW(&wc) != 0;
  }();
  (void)registered;
  // Not clipping its children: the form paints its surface under group boxes, which draw only
  // their edge and caption.
  DWORD style = WS_CAPTION;
  DWORD exStyle = 0;
  style |= popup_ ? WS_POPUP : WS_OVERLAPPED;
  if (form_.windowMenu) style |= WS_SYSMENU;
  if (form_.minimizeBox) style |= WS_MINIMIZEBOX;
  if (form_.maximizeBox) style |= WS_MAXIMIZEBOX;
  if (form_.border == forms::FormBorder::kFixedDialog) exStyle |= WS_EX_DLGMODALFRAME;
  exStyle |= WS_EX_CONTROLPARENT;
  hwnd_ = CreateWindowExW(exStyle, kClassName, Wide(form_.caption).c_str(), style, CW_USEDEFAULT,
                          CW_USEDEFAULT, 100, 100, nullptr, menu, GetModuleHandleW(nullptr), this);
  dpi_ = DpiOf(hwnd_);
  SizeToForm();
  BuildControls();
  if (form_.left != forms::kNotPlaced) PlaceClientAt(form_.left, form_.top);
}

void FormWindow::SizeToForm() {
  const int width = Pixels(form_.clientWidth, dpi_);
  const int height = Pixels(form_.clientHeight, dpi_);
  RECT r{0, 0, width, height};
  AdjustWindowRectExForDpi(&r, static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_STYLE)),
                           GetMenu(hwnd_) != nullptr,
                           static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_EXSTYLE)), dpi_);
  SetWindowPos(hwnd_, nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  // Where the frame the system draws differs from the one it computes for this DPI (its metrics
  // not yet those of the new DPI), the client area still comes out at the form's size.
  RECT client{};
  GetClientRect(hwnd_, &client);
  if (client.right != width || client.bottom != height) {
    SetWindowPos(hwnd_, nullptr, 0, 0, r.right - r.left + width - client.right,
                 r.bottom - r.top + height - client.bottom,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void FormWindow::PlaceClientAt(int leftTwips, int topTwips) {
  RECT window{}, client{};
  GetWindowRect(hwnd_, &window);
  GetClientRect(hwnd_, &client);
  POINT origin{0, 0};
  ClientToScreen(hwnd_, &origin);
  const int dx = origin.x - window.left;
  const int dy = origin.y - window.top;
  SetWindowPos(hwnd_, nullptr, Pixels(leftTwips, dpi_) - dx, Pixels(topTwips, dpi_) - dy, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

HFONT FormWindow::FontFor(const forms::Font& font) {
  const std::wstring face = FaceName(font.face);
  const int height = -static_cast<int>(std::lround(font.points * dpi_ / 72.0));
  const std::wstring key = face + L"|" + std::to_wstring(height) + (font.bold ? L"b" : L"") +
                           (font.italic ? L"i" : L"") + (font.underline ? L"u" : L"");
  auto it = fonts_.find(key);
  if (it != fonts_.end()) return it->second;
  HFONT created = CreateFontW(height, 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL, font.italic,
                              font.underline, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                              CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, face.c_str());
  fonts_[key] = created;
  return created;
}

HBRUSH FormWindow::BrushFor(forms::Colour colour) {
  auto it = brushes_.find(colour);
  if (it != brushes_.end()) return it->second;
  HBRUSH brush = CreateSolidBrush(Ref(colour));
  brushes_[colour] = brush;
  return brush;
}

void FormWindow::LayoutControls(bool redraw) {
  for (const Built& b : built_) {
    const forms::Control& c = *b.control;
    int left = c.left, top = c.top;
    const forms::Control* frame = forms::FindControl(form_, c.container);
    if (frame) {
      left += frame->left;
      top += frame->top;
    }
    const int x = Pixels(left, dpi_), y = Pixels(top, dpi_);
    SetWindowPos(b.hwnd, nullptr, x, y, Pixels(c.width, dpi_), Pixels(c.height, dpi_),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    forms::Font font = forms::EffectiveFont(form_, c);
    if (italic_.count(b.hwnd) != 0) font.italic = !font.italic;
    SendMessageW(b.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(font)), redraw);
    if (frame) {
      // A frame shows only what lies within it; what its layout puts beyond its edge is hidden.
      HRGN shown = CreateRectRgn(Pixels(frame->left, dpi_) - x, Pixels(frame->top, dpi_) - y,
                                 Pixels(frame->left + frame->width, dpi_) - x,
                                 Pixels(frame->top + frame->height, dpi_) - y);
      SetWindowRgn(b.hwnd, shown, redraw);  // the window owns the region from here on
    }
  }
}

void FormWindow::BuildControls() {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  int id = kFirstId;
  for (const forms::Control& c : form_.controls) {
    if (c.kind == forms::Kind::kTimer || c.kind == forms::Kind::kLine) continue;
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS | (c.visible ? WS_VISIBLE : 0) |
                  (c.Focusable() ? WS_TABSTOP : 0);
    DWORD exStyle = 0;
    const wchar_t* windowClass = L"STATIC";
    switch (c.kind) {
      case forms::Kind::kLabel:
        style |= SS_NOPREFIX | SS_NOTIFY;
        style |= c.align == forms::Align::kCenter  ? SS_CENTER
                 : c.align == forms::Align::kRight ? SS_RIGHT
                 : c.wordWrap                      ? SS_LEFT
                                                   : SS_LEFTNOWORDWRAP;
        // A link too long for its label is cut in the middle, keeping the file name.
        if (c.link) style |= SS_PATHELLIPSIS;
        if (c.border == forms::Border::kSingle) style |= WS_BORDER;
        break;
      case forms::Kind::kTextBox:
        windowClass = L"EDIT";
        exStyle |= WS_EX_CLIENTEDGE;
        style |= ES_AUTOHSCROLL | (c.passwordChar ? ES_PASSWORD : 0) |
                 (c.align == forms::Align::kRight ? ES_RIGHT : 0);
        break;
      case forms::Kind::kButton:
        windowClass = L"BUTTON";
        style |= c.isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
        if (c.picture != forms::Picture::kNone) style |= BS_ICON;
        break;
      case forms::Kind::kCheckBox:
        // The window's controller decides the state a click gives.
        windowClass = L"BUTTON";
        style |= BS_CHECKBOX;
        break;
      case forms::Kind::kFrame:
        windowClass = L"BUTTON";
        style |= BS_GROUPBOX;
        break;
      case forms::Kind::kPicture:
        // Notifying, a picture is hit by the mouse as any control is (a static that does not
        // notify lets the pointer through to the form's surface); its notifications go nowhere.
        style |= SS_ICON | SS_CENTERIMAGE | WS_BORDER | SS_NOTIFY;
        break;
      case forms::Kind::kLine:
      case forms::Kind::kTimer:
        break;
    }
    HWND hwnd =
        CreateWindowExW(exStyle, windowClass, Wide(c.caption).c_str(), style, 0, 0, 0, 0, hwnd_,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id++)), instance, nullptr);
    if (c.kind == forms::Kind::kTextBox) {
      if (c.passwordChar) SendMessageW(hwnd, EM_SETPASSWORDCHAR, c.passwordChar, 0);
      if (c.imeOff) ImmAssociateContextEx(hwnd, nullptr, 0);
      SetWindowSubclass(hwnd, EditProc, 1, 0);
    }
    if (c.kind == forms::Kind::kPicture && c.picture == forms::Picture::kProgramIcon) {
      SendMessageW(hwnd, STM_SETICON,
                   reinterpret_cast<WPARAM>(LoadIconW(instance, MAKEINTRESOURCEW(1))), 0);
    }
    if (c.kind == forms::Kind::kButton && c.picture == forms::Picture::kBrowserIcon) {
      // The icon at its own 32 pixels, as the form draws it.
      SendMessageW(hwnd, BM_SETIMAGE, IMAGE_ICON,
                   reinterpret_cast<LPARAM>(
                       LoadImageW(instance, MAKEINTRESOURCEW(2), IMAGE_ICON, 32, 32, LR_SHARED)));
    }
    built_.push_back({&c, hwnd});
  }
  LayoutControls(false);
  // Tab visits the controls in the form's tab order, which for Windows is the order of the
  // windows; the frames go to the bottom so the controls inside them stay visible.
  HWND previous = HWND_TOP;
  for (const forms::Control* c : forms::TabOrder(form_)) {
    if (HWND hwnd = Find(c->name, c->index)) {
      SetWindowPos(hwnd, previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
      previous = hwnd;
    }
  }
  for (const Built& b : built_) {
    if (b.control->kind == forms::Kind::kFrame) {
      SetWindowPos(b.hwnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
  }
}

LRESULT FormWindow::Colour(HDC dc, HWND control, UINT message) {
  const forms::Control* c = ControlOf(control);
  if (c == nullptr)
    return Default(message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control));
  const bool edit = message == WM_CTLCOLOREDIT;
  if (c->foreColour != forms::kNoColour) SetTextColor(dc, Ref(c->foreColour));
  if (c->backColour != forms::kNoColour) {
    SetBkColor(dc, Ref(c->backColour));
    return reinterpret_cast<LRESULT>(BrushFor(c->backColour));
  }
  const int system = edit ? COLOR_WINDOW : COLOR_BTNFACE;
  SetBkColor(dc, GetSysColor(system));
  return reinterpret_cast<LRESULT>(GetSysColorBrush(system));
}

void FormWindow::PaintLines(HDC dc) {
  // The lines listed first lie on top: an etched rule's dark line stays visible over the wider
  // light one drawn beneath it.
  for (auto it = form_.controls.rbegin(); it != form_.controls.rend(); ++it) {
    const forms::Control& c = *it;
    if (c.kind != forms::Kind::kLine) continue;
    HPEN pen = CreatePen(PS_SOLID, c.lineWidth, Ref(c.foreColour));
    HGDIOBJ old = SelectObject(dc, pen);
    MoveToEx(dc, Pixels(c.left, dpi_), Pixels(c.top, dpi_), nullptr);
    LineTo(dc, Pixels(c.left + c.width, dpi_), Pixels(c.top + c.height, dpi_));
    SelectObject(dc, old);
    DeleteObject(pen);
  }
}

void FormWindow::SetItalic(HWND control, bool italic) {
  const forms::Control* c = ControlOf(control);
  if (c == nullptr) return;
  forms::Font font = forms::EffectiveFont(form_, *c);
  if (italic != font.italic) {
    italic_.insert(control);
  } else {
    italic_.erase(control);
  }
  font.italic = italic;
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(font)), TRUE);
}

void FormWindow::Focus(HWND control) {
  focus_ = control;
  // A hidden window takes it when it is shown and activated: focusing a control now would
  // activate the window while hidden.
  if (IsWindowVisible(hwnd_)) SetFocus(control);
}

void FormWindow::RestoreFocus() {
  HWND target = focus_;
  if (!ControlOf(target) || !IsWindowVisible(target) || !IsWindowEnabled(target)) {
    target = GetNextDlgTabItem(hwnd_, nullptr, FALSE);
  }
  SetFocus(ControlOf(target) ? target : hwnd_);
}

int FormWindow::RunModal(HWND owner) {
  if (!hwnd_) return 0;
  // Owned for this run only: a window kept for the next run must not be destroyed with an owner
  // that is itself destroyed in between.
  const HWND previousOwner = GetWindow(hwnd_, GW_OWNER);
  SetWindowLongPtrW(hwnd_, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
  // The owner keeps whichever window it had; only one that was enabled is enabled again. Without
  // an owner, every other enabled window of the program waits.
  std::vector<HWND> disabled;
  if (owner) {
    if (IsWindowEnabled(owner)) disabled.push_back(owner);
  } else {
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM data) -> BOOL {
          auto& list = *reinterpret_cast<std::vector<HWND>*>(data);
          if (IsWindowVisible(window) && IsWindowEnabled(window)) list.push_back(window);
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&disabled));
    std::erase(disabled, hwnd_);
  }
  for (HWND window : disabled) EnableWindow(window, FALSE);
  ShowWindow(hwnd_, SW_SHOW);
  SetForegroundWindow(hwnd_);
  modalRunning_ = true;
  MSG msg;
  while (modalRunning_ && hwnd_) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got <= 0) {
      if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (!IsDialogMessageW(hwnd_, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  modalRunning_ = false;
  for (HWND window : disabled) EnableWindow(window, TRUE);
  if (hwnd_) {
    ShowWindow(hwnd_, SW_HIDE);
    SetWindowLongPtrW(hwnd_, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(previousOwner));
  }
  if (!disabled.empty()) SetForegroundWindow(owner ? owner : disabled.front());
  return modalResult_;
}

void FormWindow::EndModal(int result) {
  modalResult_ = result;
  modalRunning_ = false;
  PostMessageW(hwnd_, WM_NULL, 0, 0);  // wakes the loop
}

LRESULT FormWindow::Default(UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(hwnd_, message, wParam, lParam);
}

LRESULT FormWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  return Default(message, wParam, lParam);
}

LRESULT CALLBACK FormWindow::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<FormWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<FormWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcW(hwnd, message, wParam, lParam);
  return self->Dispatch(message, wParam, lParam);
}

LRESULT FormWindow::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
  // A second start of Navelo asks the running one to come forward.
  if (message == platform::win32::BringForwardMessage()) return platform::win32::ComeForward(hwnd_);
  switch (message) {
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      if (id == IDCANCEL) {
        OnEscape();
        return 0;
      }
      if (id == IDOK) return 0;  // Enter with no default button: nothing
      if (lParam == 0 && HIWORD(wParam) == 0 && id >= kFirstMenuId &&
          static_cast<std::size_t>(id - kFirstMenuId) < form_.menus.size()) {
        OnMenu(form_.menus[static_cast<std::size_t>(id - kFirstMenuId)]);
        return 0;
      }
      const HWND control = reinterpret_cast<HWND>(lParam);
      const forms::Control* c = ControlOf(control);
      // A picture is only drawn: clicking it does nothing.
      if (c && c->kind != forms::Kind::kPicture) OnCommand(*c, control, HIWORD(wParam));
      return 0;
    }
    case DM_GETDEFID: {
      // Enter presses the focused button, otherwise the form's default button, otherwise nothing.
      const HWND focus = GetFocus();
      if (const forms::Control* c = ControlOf(focus); c && c->kind == forms::Kind::kButton) {
        return MAKELRESULT(GetDlgCtrlID(focus), DC_HASDEFID);
      }
      for (const Built& b : built_) {
        if (b.control->isDefault) {
          return MAKELRESULT(GetDlgCtrlID(b.hwnd), DC_HASDEFID);
        }
      }
      return 0;
    }
    case WM_DPICHANGED: {
      // Moved to a monitor of another DPI: the same form in pixels of the new DPI, at the place
      // the system suggests.
      dpi_ = HIWORD(wParam);
      const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
      if (suggested) {
        SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      }
      SizeToForm();
      LayoutControls(true);
      OnDpiChanged();
      InvalidateRect(hwnd_, nullptr, TRUE);
      return 0;
    }
    case WM_GETMINMAXINFO: {
      // Windows keeps an overlapped window at least as large as its own minimum, wider than the
      // panel; a form is as narrow as its description says, and no lower than its caption bar.
      RECT frame{0, 0, 0, 0};
      AdjustWindowRectExForDpi(&frame, static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_STYLE)),
                               FALSE, static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_EXSTYLE)),
                               dpi_);
      auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
      info->ptMinTrackSize = {frame.right - frame.left, frame.bottom - frame.top};
      return 0;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
      return Colour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam), message);
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd_, &ps);
      PaintLines(dc);
      EndPaint(hwnd_, &ps);
      return 0;
    }
    case WM_ACTIVATE:
      // Minimised, the window keeps the focus to itself, as by default.
      if (HIWORD(wParam)) return Handle(message, wParam, lParam);
      if (LOWORD(wParam) == WA_INACTIVE) {
        if (const HWND focus = GetFocus(); ControlOf(focus)) focus_ = focus;
      } else {
        RestoreFocus();
      }
      return 0;
    case WM_CLOSE:
      OnClose();
      return 0;
    case WM_NCDESTROY: {
      // The window and its controls are gone (also when an owner took them along): nothing of
      // them is used again, and the next Create builds them afresh.
      const HWND gone = hwnd_;
      SetWindowLongPtrW(gone, GWLP_USERDATA, 0);
      hwnd_ = nullptr;
      focus_ = nullptr;
      built_.clear();
      italic_.clear();
      for (HMENU menu : detached_) DestroyMenu(menu);
      detached_.clear();
      popups_.clear();
      return DefWindowProcW(gone, message, wParam, lParam);
    }
    default:
      return Handle(message, wParam, lParam);
  }
}

}  // namespace navelo::win
