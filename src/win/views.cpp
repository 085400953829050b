#include "win/views.h"
// After windows.h, which it builds on.
#include <commctrl.h>

#include <algorithm>

#include "forms/layouts.h"

namespace navelo::win {

std::u16string Win32View::Text(std::string_view control, int index) const {
  return WindowText(Find(control, index));
}

void Win32View::SetText(std::string_view control, std::u16string_view text, int index) {
  if (HWND hwnd = Find(control, index)) SetWindowText(hwnd, text);
}

void Win32View::SetCheck(std::string_view control, int state) {
  HWND box = Find(control);
  if (box == nullptr) return;
  // The undecided state is shown only for a stored value that is neither 0 nor 1.
  SendMessageW(box, BM_SETSTYLE, state == 2 ? BS_3STATE : BS_CHECKBOX, TRUE);
  SendMessageW(box, BM_SETCHECK,
               state == 0   ? BST_UNCHECKED
               : state == 1 ? BST_CHECKED
                            : BST_INDETERMINATE,
               0);
}

void Win32View::SetEnabled(std::string_view control, bool enabled) {
  if (HWND hwnd = Find(control)) EnableWindow(hwnd, enabled);
}

void Win32View::SetItalic(std::string_view control, int index, bool italic) {
  if (HWND hwnd = Find(control, index)) FormWindow::SetItalic(hwnd, italic);
}

void Win32View::SetToolTip(std::string_view control, int index, std::u16string_view text) {
  HWND hwnd = Find(control, index);
  if (hwnd == nullptr) return;
  if (toolTips_ == nullptr || !IsWindow(toolTips_)) {
    toolTips_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                this->hwnd(), nullptr, GetModuleHandleW(nullptr), nullptr);
  }
  std::wstring tip = Wide(text);
  TOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = this->hwnd();
  tool.uId = reinterpret_cast<UINT_PTR>(hwnd);
  tool.lpszText = tip.data();
  // A control with a tooltip already gets its new text.
  TOOLINFOW known = tool;
  known.lpszText = nullptr;
  const bool added = SendMessageW(toolTips_, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&known));
  SendMessageW(toolTips_, added ? TTM_UPDATETIPTEXTW : TTM_ADDTOOLW, 0,
               reinterpret_cast<LPARAM>(&tool));
}

void Win32View::SetCaption(std::u16string_view caption) {
  SetWindowText(hwnd(), caption);
}

void Win32View::Focus(std::string_view control) {
  if (HWND hwnd = Find(control)) FormWindow::Focus(hwnd);
}

void Win32View::StartTimer(int timer, int milliseconds) {
  SetTimer(hwnd(), static_cast<UINT_PTR>(timer), static_cast<UINT>(std::max(milliseconds, 1)),
           nullptr);
}

void Win32View::StopTimer(int timer) {
  KillTimer(hwnd(), static_cast<UINT_PTR>(timer));
}

void Win32View::OnCommand(const forms::Control& control, HWND, int code) {
  // A click: a button's or check box's BN_CLICKED, a label's STN_CLICKED (the same code).
  static_assert(BN_CLICKED == STN_CLICKED);
  if (code == BN_CLICKED && events_) events_->OnClick(control.name, control.index);
}

void Win32View::OnMenu(const forms::Menu& item) {
  if (events_) events_->OnMenu(item.name, item.index);
}

void Win32View::OnEscape() {
  // Escape presses the form's cancel button, where it has one; otherwise nothing.
  for (const forms::Control& c : form().controls) {
    if (c.isCancel && events_) events_->OnClick(c.name, c.index);
  }
}

void Win32View::OnClose() {
  if (events_) events_->OnClose();
}

LRESULT Win32View::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TIMER) {
    // Single-shot, as the controllers start them.
    KillTimer(hwnd(), wParam);
    if (events_) events_->OnTimer(static_cast<int>(wParam));
    return 0;
  }
  if (message == WM_SETCURSOR) {
    const HWND under = reinterpret_cast<HWND>(wParam);
    const forms::Control* c = ControlOf(under);
    if (events_ && c) events_->OnPointer(c->name, c->index);
    if (events_ && under == hwnd()) events_->OnPointer({}, -1);
    if (c && c->link) {
      SetCursor(LoadCursorW(nullptr, IDC_HAND));
      return TRUE;
    }
  }
  return FormWindow::Handle(message, wParam, lParam);
}

int Win32DialogView::RunModal(Owner owner) {
  // A window destroyed with an owner it had is built afresh.
  if (!hwnd()) Create();
  PlaceClientAt(form().left, form().top);
  return FormWindow::RunModal(owner == Owner::kAsker && asker ? asker() : nullptr);
}

Win32PanelView::Win32PanelView(std::function<void()> sessionEnding)
    : Win32ViewOf(forms::kFrmNavelo, false), sessionEnding_(std::move(sessionEnding)) {
  Create();
}

Rect Win32PanelView::Frame() const {
  RECT r{};
  GetWindowRect(hwnd(), &r);
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

void Win32PanelView::MoveFrame(int x, int y) {
  SetWindowPos(hwnd(), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32PanelView::SetHeight(int height) {
  // Height 0: Windows keeps a captioned window at its smallest height, the caption bar.
  SetWindowPos(hwnd(), nullptr, 0, 0, Frame().width, height,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

std::vector<Rect> Win32PanelView::Screens() const {
  std::vector<Rect> screens;
  EnumDisplayMonitors(
      nullptr, nullptr,
      [](HMONITOR monitor, HDC, LPRECT, LPARAM data) -> BOOL {
        MONITORINFO info{};
        info.cbSize = sizeof info;
        if (GetMonitorInfoW(monitor, &info)) {
          const RECT& r = info.rcWork;
          reinterpret_cast<std::vector<Rect>*>(data)->push_back(
              {r.left, r.top, r.right - r.left, r.bottom - r.top});
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&screens));
  return screens;
}

int Win32PanelView::PositionDpi() const {
  // Positions go to and from the file at the system's DPI, the same whichever monitor the panel
  // was on, so a panel saved on one monitor opens where it was.
  return static_cast<int>(GetDpiForSystem());
}

int Win32PanelView::CaptionHeight() const {
  return GetSystemMetricsForDpi(SM_CYCAPTION, DpiOf(hwnd()));
}

void Win32PanelView::Show() {
  ShowWindow(hwnd(), SW_SHOW);
}

void Win32PanelView::PopupMenu(std::string_view menu) {
  // At the mouse, wherever the button lies (it is below the window's edge) and however it was
  // pressed.
  POINT mouse{};
  GetCursorPos(&mouse);
  TrackPopupMenu(PopupMenuHandle(menu), TPM_LEFTALIGN, mouse.x, mouse.y, 0, hwnd(), nullptr);
}

void Win32PanelView::OnDpiChanged() {
  if (events_) events_->OnLayoutChanged();
}

LRESULT Win32PanelView::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_ENDSESSION:
      if (wParam && sessionEnding_) sessionEnding_();
      return 0;
    default:
      return Win32View::Handle(message, wParam, lParam);
  }
}

std::unique_ptr<FormView> Win32ViewFactory::MakeDialog(const forms::Form& form) {
  auto view = std::make_unique<Win32DialogView>(form);
  view->asker = [this] {
    const HWND active = GetActiveWindow();
    if (active && GetWindowThreadProcessId(active, nullptr) == GetCurrentThreadId()) return active;
    return panel();
  };
  return view;
}

std::unique_ptr<PanelView> Win32ViewFactory::MakePanel() {
  auto view = std::make_unique<Win32PanelView>(sessionEnding_);
  panel_ = view.get();
  return view;
}

}  // namespace navelo::win
