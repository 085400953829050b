// Every form the Win32 front end builds matches its description, control by control: geometry,
// caption, visibility, tab order, font, colours, mask, input method and default button, and the
// menus; then the keys of the dialogs, the focus coming back to the control that had it, the about
// box's links under the pointer, the password dialog at every confirmation, control characters in
// text boxes and the panel's shrink.
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, which they build on.
#include <commctrl.h>
#include <imm.h>

#include <array>
#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "app/logic/password_controller.h"
#include "dialogs/logic/about_controller.h"
#include "dialogs/logic/settings_controller.h"
#include "forms/layouts.h"
#include "panel/logic/panel_controller.h"
#include "platform/testing/doubles.h"
#include "platform/win32/codec_cp932.h"
#include "platform/win32/program.h"
#include "platform/win32/shell.h"
#include "win/views.h"

namespace navelo::win {
namespace {

using namespace std::chrono_literals;

class NoSystemInfo final : public platform::SystemInfoService {
 public:
  bool Start() override { return false; }
};

bool HaveDesktop() {
  return GetDesktopWindow() != nullptr && GetSystemMetrics(SM_CXSCREEN) > 0;
}

void Pump(std::chrono::milliseconds duration) {
  const auto end = std::chrono::steady_clock::now() + duration;
  do {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    std::this_thread::sleep_for(5ms);
  } while (std::chrono::steady_clock::now() < end);
}

std::string Label(const forms::Form& form, const forms::Control& c) {
  return std::string(form.name) + "." + std::string(c.name) +
         (c.index >= 0 ? "(" + std::to_string(c.index) + ")" : "");
}

COLORREF Ref(forms::Colour rgb) {
  return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

int Px(int twips, UINT dpi) {
  return MulDiv(twips, static_cast<int>(dpi), 1440);
}

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

// Runs steps one after another from inside whatever modal loop is running, 60 ms apart; once
// they are done a dialog still open is closed, so a test that fails never hangs. A step may pump
// messages itself: the next one waits until it has returned.
class Script {
 public:
  Script(FormWindow& dialog, std::vector<std::function<void()>> steps) {
    steps.push_back([&dialog] {
      if (dialog.modal()) PostMessageW(dialog.hwnd(), WM_CLOSE, 0, 0);
    });
    steps_ = std::move(steps);
    next_ = 0;
    timer_ = SetTimer(nullptr, 0, 60, &Script::Step);
  }
  ~Script() {
    KillTimer(nullptr, timer_);
    timer_ = 0;
  }
  Script(const Script&) = delete;
  Script& operator=(const Script&) = delete;

 private:
  static void CALLBACK Step(HWND, UINT, UINT_PTR, DWORD) {
    KillTimer(nullptr, timer_);
    timer_ = 0;
    if (next_ < steps_.size()) steps_[next_++]();
    if (next_ < steps_.size()) timer_ = SetTimer(nullptr, 0, 60, &Script::Step);
  }
  static inline std::vector<std::function<void()>> steps_;
  static inline std::size_t next_ = 0;
  static inline UINT_PTR timer_ = 0;
};

// Keys as the keyboard sends them, each to the control that has the focus when it comes: Enter
// ('\r') and Escape ('\x1b') as key presses, the rest as characters. Each key is taken through
// the dialog's IsDialogMessage, as its own loop does, before the next one comes.
void PressKeys(FormWindow& window, std::wstring_view keys) {
  for (const wchar_t key : keys) {
    const HWND focus = GetFocus();
    if (key == L'\r' || key == L'\x1b') {
      const WPARAM vk = key == L'\r' ? VK_RETURN : VK_ESCAPE;
      PostMessageW(focus, WM_KEYDOWN, vk, 1);
      PostMessageW(focus, WM_KEYUP, vk, 0xC0000001);
    } else {
      PostMessageW(focus, WM_CHAR, key, 1);
    }
    const auto until = std::chrono::steady_clock::now() + 200ms;
    while (window.modal() && std::chrono::steady_clock::now() < until) {
      MSG msg;
      if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        std::this_thread::sleep_for(5ms);
        continue;
      }
      if (!IsDialogMessageW(window.hwnd(), &msg)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
      }
    }
  }
}

// A real message box over the active window, answered with its OK button a moment later.
void ShowAnsweredMessageBox(const std::u16string& text) {
  const UINT_PTR answer = SetTimer(nullptr, 0, 150, [](HWND, UINT, UINT_PTR, DWORD) {
    if (HWND box = FindWindowW(L"#32770", L"Navelo")) PostMessageW(box, WM_COMMAND, IDOK, 0);
  });
  platform::win32::Win32MessageBox().Show(text, u"Navelo");
  KillTimer(nullptr, answer);
}

// Moves the mouse pointer to the middle of a control of `window`, or with no name onto the
// window's own surface, at the client area's corner where no control lies; the window takes the
// move as it takes a user's.
void PointAt(const FormWindow& window, std::string_view name, int index = -1) {
  POINT at{2, 2};
  HWND over = window.hwnd();
  if (!name.empty()) {
    over = window.Find(name, index);
    RECT r{};
    GetClientRect(over, &r);
    at = {r.right / 2, r.bottom / 2};
  }
  MapWindowPoints(over, nullptr, &at, 1);
  SetCursorPos(at.x, at.y);
  Pump(50ms);
}

bool Italic(HWND control) {
  LOGFONTW font{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
  return font.lfItalic != 0;
}

// The panel loaded as the program loads it, with the platform's services replaced by doubles, and
// the dialogs opened from it as its menus open them.
class Win32Forms : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!HaveDesktop()) GTEST_SKIP() << "no desktop";
    about.directory = "C:\\Navelo";
    about.separator = '\\';
    panelView = views.MakePanel();
    panel.emplace(*panelView,
                  PanelContext{settings, messages, shell, program, desktop, delivery, {}, {}});
    // The panel in front keeps it at full height.
    panel->Load();
    desktop.foregroundWindow.current = {panelView->Handle(), u"Navelo"};
    Pump(150ms);
  }

  FormWindow& Panel() { return static_cast<Win32PanelView&>(*panelView); }
  HWND PanelWindow() { return Panel().hwnd(); }
  // A dialog as the program makes it.
  std::unique_ptr<Win32DialogView> Dialog(const forms::Form& form) {
    std::unique_ptr<FormView> view = views.MakeDialog(form);
    return std::unique_ptr<Win32DialogView>(static_cast<Win32DialogView*>(view.release()));
  }

  // Shows the window of `form` as the program does and runs `during` while it is up: the panel is
  // already showing, the dialogs run modally and are closed afterwards.
  void WhileShown(const forms::Form& form, const std::function<void(FormWindow&)>& during) {
    if (&form == &forms::kFrmNavelo) {
      during(Panel());
      return;
    }
    auto view = Dialog(form);
    Script script(*view, {[&] { during(*view); }});
    if (&form == &forms::kFrmPswd) {
      PasswordController dialog(*view, messages);
      dialog.Ask(PasswordMode::kStartupCheck,
                 [this](const std::u16string&) { return ++accepted, true; });
    } else if (&form == &forms::kFrmSet) {
      SettingsController dialog(*view, {settings.record(), settings.targets(), settings.addresses(),
                                        messages, [](const std::u16string&) { return false; }});
      dialog.ShowModal();
    } else {
      AboutController dialog(*view,
                             {shell, messages, sysInfo, about, "C:\\Navelo\\Navelo.INI", false});
      dialog.ShowModal();
    }
  }

  platform::win32::Cp932Codec codec;
  platform::testing::MemoryFileStore store;
  platform::testing::RecordingMessageBox messages;
  platform::testing::RecordingShell shell;
  platform::win32::Win32Program program;
  platform::testing::FakeProgram about;  // where the about box's links lead
  platform::testing::FakeDesktop desktop;
  Delivery delivery{desktop.system};
  NoSystemInfo sysInfo;
  SettingsFile file{"C:\\Navelo\\Navelo.INI", store, codec};
  SettingsStore settings{file, codec};
  Win32ViewFactory views{nullptr};
  std::unique_ptr<PanelView> panelView;
  std::optional<PanelController> panel;
  int accepted = 0;
};

void CheckFont(const forms::Font& expected, HWND control, UINT dpi, const std::string& what) {
  LOGFONTW font{};
  ASSERT_TRUE(GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)),
                         sizeof font, &font))
      << what;
  const wchar_t* face = expected.face == forms::Face::kGothic    ? L"ＭＳ ゴシック"
                        : expected.face == forms::Face::kPGothic ? L"ＭＳ Ｐゴシック"
                                                                 : L"MS UI Gothic";
  EXPECT_EQ(std::wstring(font.lfFaceName), face) << what;
  EXPECT_EQ(font.lfHeight,
            -MulDiv(static_cast<int>(expected.points * 10), static_cast<int>(dpi), 720))
      << what;
  EXPECT_EQ(font.lfWeight >= FW_BOLD, expected.bold) << what;
  EXPECT_EQ(font.lfItalic != 0, expected.italic) << what;
  EXPECT_EQ(font.lfUnderline != 0, expected.underline) << what;
}

// The colours the form gives a control's text and background when the control asks for them
// before drawing.
void CheckColours(const forms::Control& c, HWND form, HWND control, const std::string& what) {
  const UINT message = c.kind == forms::Kind::kTextBox  ? WM_CTLCOLOREDIT
                       : c.kind == forms::Kind::kButton ? WM_CTLCOLORBTN
                                                        : WM_CTLCOLORSTATIC;
  HDC dc = CreateCompatibleDC(nullptr);
  const LRESULT brush =
      SendMessageW(form, message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control));
  if (c.foreColour != forms::kNoColour) {
    EXPECT_EQ(GetTextColor(dc), Ref(c.foreColour)) << what;
  }
  if (c.backColour != forms::kNoColour) {
    EXPECT_EQ(GetBkColor(dc), Ref(c.backColour)) << what;
    LOGBRUSH fill{};
    GetObjectW(reinterpret_cast<HBRUSH>(brush), sizeof fill, &fill);
    EXPECT_EQ(fill.lbColor, Ref(c.backColour)) << what;
  }
  DeleteDC(dc);
}

UINT WindowDpi(HWND window) {
  return GetDpiForWindow(window) ? GetDpiForWindow(window) : 96;
}

void CheckControl(const FormWindow& window, const forms::Control& c, UINT dpi) {
  const forms::Form& form = window.form();
  const std::string what = Label(form, c);
  HWND control = window.Find(c.name, c.index);
  ASSERT_TRUE(control) << what;

  // Geometry in the form's client area; a frame's children are placed relative to the frame.
  int left = c.left, top = c.top;
  if (const forms::Control* frame = forms::FindControl(form, c.container)) {
    left += frame->left;
    top += frame->top;
  }
  RECT r{};
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, window.hwnd(), reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(r.left, Px(left, dpi)) << what;
  EXPECT_EQ(r.top, Px(top, dpi)) << what;
  EXPECT_EQ(r.right - r.left, Px(c.width, dpi)) << what;
  EXPECT_EQ(r.bottom - r.top, Px(c.height, dpi)) << what;

  if (const forms::Control* frame = forms::FindControl(form, c.container)) {
    // What shows of it lies within its frame.
    RECT shown = r;
    RECT box{};
    if (GetWindowRgnBox(control, &box) != ERROR) {
      OffsetRect(&box, r.left, r.top);
      IntersectRect(&shown, &shown, &box);
    }
    const RECT within{Px(frame->left, dpi), Px(frame->top, dpi),
                      Px(frame->left + frame->width, dpi), Px(frame->top + frame->height, dpi)};
    RECT outside{};
    SubtractRect(&outside, &shown, &within);
    EXPECT_TRUE(IsRectEmpty(&outside)) << what;
  }
  if (!c.caption.empty()) {
    EXPECT_EQ(WindowText(control), c.caption) << what;
  }
  EXPECT_EQ(IsWindowVisible(control) != 0, c.visible) << what;
  if (c.kind != forms::Kind::kPicture) CheckFont(forms::EffectiveFont(form, c), control, dpi, what);
  CheckColours(c, window.hwnd(), control, what);

  const LONG_PTR style = GetWindowLongPtrW(control, GWL_STYLE);
  EXPECT_EQ((style & WS_TABSTOP) != 0, c.Focusable()) << what;
  switch (c.kind) {
    case forms::Kind::kTextBox: {
      EXPECT_EQ(ClassOf(control), L"Edit") << what;
      EXPECT_EQ(SendMessageW(control, EM_GETPASSWORDCHAR, 0, 0), c.passwordChar) << what;
      EXPECT_EQ((style & ES_RIGHT) != 0, c.align == forms::Align::kRight) << what;
      HIMC context = ImmGetContext(control);
      EXPECT_EQ(context == nullptr, c.imeOff) << what;
      if (context) ImmReleaseContext(control, context);
      break;
    }
    case forms::Kind::kButton:
      EXPECT_EQ(ClassOf(control), L"Button") << what;
      EXPECT_EQ(style & BS_TYPEMASK, c.isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) << what;
      // A picture button shows its picture.
      EXPECT_EQ(SendMessageW(control, BM_GETIMAGE, IMAGE_ICON, 0) != 0,
                c.picture != forms::Picture::kNone)
          << what;
      break;
    case forms::Kind::kCheckBox:
      // Not automatic: the controller decides the state a click gives.
      EXPECT_EQ(ClassOf(control), L"Button") << what;
      EXPECT_EQ(style & BS_TYPEMASK, BS_CHECKBOX) << what;
      break;
    case forms::Kind::kFrame:
      EXPECT_EQ(ClassOf(control), L"Button") << what;
      EXPECT_EQ(style & BS_TYPEMASK, BS_GROUPBOX) << what;
      break;
    case forms::Kind::kLabel: {
      EXPECT_EQ(ClassOf(control), L"Static") << what;
      const LONG_PTR layout = c.align == forms::Align::kCenter  ? SS_CENTER
                              : c.align == forms::Align::kRight ? SS_RIGHT
                              : c.wordWrap                      ? SS_LEFT
                                                                : SS_LEFTNOWORDWRAP;
      EXPECT_EQ(style & SS_TYPEMASK, layout) << what;
      // A link too long for its label is cut in the middle, keeping the file name.
      EXPECT_EQ((style & SS_ELLIPSISMASK) == SS_PATHELLIPSIS, c.link) << what;
      EXPECT_EQ((style & WS_BORDER) != 0, c.border == forms::Border::kSingle) << what;
      break;
    }
    case forms::Kind::kPicture:
      if (c.picture == forms::Picture::kProgramIcon) {
        EXPECT_TRUE(SendMessageW(control, STM_GETICON, 0, 0)) << what;
      }
      break;
    case forms::Kind::kLine:
    case forms::Kind::kTimer:
      break;
  }
}

// The window as its form describes it, in pixels of `dpi` (the window's own when not given).
void CheckWindow(const FormWindow& window, UINT dpi = 0) {
  const forms::Form& form = window.form();
  const std::string what(form.name);
  if (dpi == 0) dpi = WindowDpi(window.hwnd());
  RECT client{};
  GetClientRect(window.hwnd(), &client);
  EXPECT_EQ(client.right, Px(form.clientWidth, dpi)) << what;
  EXPECT_EQ(client.bottom, Px(form.clientHeight, dpi)) << what;
  // The about box replaces its layout caption when it loads.
  if (&form != &forms::kFrmAbout) {
    EXPECT_EQ(WindowText(window.hwnd()), form.caption) << what;
  }
  const LONG_PTR style = GetWindowLongPtrW(window.hwnd(), GWL_STYLE);
  // A Windows close box comes with the window menu.
  EXPECT_EQ((style & WS_SYSMENU) != 0, form.windowMenu) << what;
  EXPECT_EQ((style & WS_SYSMENU) != 0, form.closeBox) << what;
  EXPECT_EQ((style & WS_MINIMIZEBOX) != 0, form.minimizeBox) << what;
  EXPECT_EQ((style & WS_MAXIMIZEBOX) != 0, form.maximizeBox) << what;
  EXPECT_TRUE(GetClassLongPtrW(window.hwnd(), GCLP_HICON)) << what << ": the program's icon";

  RedrawWindow(window.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  HDC dc = GetDC(window.hwnd());
  for (const forms::Control& c : form.controls) {
    if (c.kind == forms::Kind::kLine) {
      // Drawn on the form's surface in its colour, halfway along.
      EXPECT_EQ(GetPixel(dc, Px(c.left + c.width / 2, dpi), Px(c.top + c.height / 2, dpi)),
                Ref(c.foreColour))
          << Label(form, c);
    } else if (c.kind != forms::Kind::kTimer) {
      CheckControl(window, c, dpi);
    }
  }
  ReleaseDC(window.hwnd(), dc);

  // Tab visits the focusable controls in order and comes back to the first.
  const auto order = forms::TabOrder(form);
  for (std::size_t i = 0; i < order.size(); ++i) {
    const forms::Control* next = order[(i + 1) % order.size()];
    EXPECT_EQ(GetNextDlgTabItem(window.hwnd(), window.Find(order[i]->name, order[i]->index), FALSE),
              window.Find(next->name, next->index))
        << Label(form, *order[i]);
  }
}

TEST_F(Win32Forms, EveryControlMatchesItsDescription) {
  for (const forms::Form* form : forms::AllForms()) {
    SCOPED_TRACE(std::string(form->name));
    bool checked = false;
    WhileShown(*form, [&](FormWindow& window) {
      CheckWindow(window);
      checked = true;
    });
    EXPECT_TRUE(checked);
  }
}

// Moved to a monitor of another DPI (Windows sends WM_DPICHANGED with the new DPI and a suggested
// place), every window is drawn again from its form at that DPI, and back again.
TEST_F(Win32Forms, FormsFollowAChangeOfDpi) {
  auto changeDpi = [](HWND window, UINT dpi) {
    RECT suggested{};
    GetWindowRect(window, &suggested);
    SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    return suggested;
  };
  for (const forms::Form* form : forms::AllForms()) {
    SCOPED_TRACE(std::string(form->name));
    WhileShown(*form, [&](FormWindow& window) {
      const UINT original = WindowDpi(window.hwnd());
      for (UINT dpi : {original * 3 / 2, original}) {
        SCOPED_TRACE("dpi " + std::to_string(dpi));
        const RECT suggested = changeDpi(window.hwnd(), dpi);
        RECT now{};
        GetWindowRect(window.hwnd(), &now);
        EXPECT_EQ(now.left, suggested.left);
        EXPECT_EQ(now.top, suggested.top);
        // A link under the pointer turns italic, and back, in fonts of the new DPI.
        if (HWND link = window.Find("lblUrl", 0)) {
          PointAt(window, "lblUrl", 0);
          forms::Font italic = forms::EffectiveFont(*form, *window.ControlOf(link));
          italic.italic = true;
          CheckFont(italic, link, dpi, "lblUrl(0) under the pointer");
          PointAt(window, "");
        }
        CheckWindow(window, dpi);
      }
    });
  }
  // The panel, shrunk while the DPI changes, stays shrunk and then restores to the new full size.
  const UINT original = WindowDpi(PanelWindow());
  desktop.foregroundWindow.current = {0x4242, u"IPAT照会ログイン - Browser"};
  Pump(300ms);
  changeDpi(PanelWindow(), original * 2);
  RECT client{};
  GetClientRect(PanelWindow(), &client);
  EXPECT_EQ(client.bottom, 0);
  desktop.foregroundWindow.current = {panelView->Handle(), u"Navelo"};
  Pump(300ms);
  GetClientRect(PanelWindow(), &client);
  EXPECT_EQ(client.bottom, Px(forms::kFrmNavelo.clientHeight, original * 2));
  changeDpi(PanelWindow(), original);
}

struct MenuItem {
  std::u16string caption;
  HMENU submenu;
};

std::vector<MenuItem> Items(HMENU menu) {
  std::vector<MenuItem> items;
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    wchar_t caption[128] = {};
    GetMenuStringW(menu, static_cast<UINT>(i), caption, 128, MF_BYPOSITION);
    items.push_back({FromWide(caption), GetSubMenu(menu, i)});
  }
  return items;
}

TEST_F(Win32Forms, MenusMatchTheirDescription) {
  const forms::Form& form = Panel().form();
  // Each menu's items in order: the menu bar's are the visible top-level ones, a popup's are its
  // children.
  auto expected = [&](std::string_view parent) {
    std::vector<std::u16string> captions;
    for (const forms::Menu& m : form.menus) {
      if (m.parent == parent && (m.visible || !parent.empty())) captions.emplace_back(m.caption);
    }
    return captions;
  };
  auto captions = [](const std::vector<MenuItem>& items) {
    std::vector<std::u16string> all;
    for (const MenuItem& item : items) all.push_back(item.caption);
    return all;
  };
  const std::vector<MenuItem> bar = Items(GetMenu(PanelWindow()));
  EXPECT_EQ(captions(bar), expected(""));
  for (const forms::Menu& m : form.menus) {
    if (expected(m.name).empty()) continue;
    HMENU popup = nullptr;
    for (const MenuItem& item : bar) {
      if (item.caption == m.caption) popup = item.submenu;
    }
    if (!m.visible) popup = Panel().PopupMenuHandle(m.name);
    ASSERT_TRUE(popup) << m.name;
    EXPECT_EQ(captions(Items(popup)), expected(m.name)) << m.name;
  }

  // The button below the panel's edge pops the browser menu up at the mouse.
  const POINT mouse{GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 3};
  SetCursorPos(mouse.x, mouse.y);
  static RECT shown;
  shown = {};
  const UINT_PTR look = SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR, DWORD) {
    if (HWND menu = FindWindowW(L"#32768", nullptr); menu && IsWindowVisible(menu)) {
      GetWindowRect(menu, &shown);
    }
    EndMenu();
  });
  HWND button = Panel().Find("Command1");
  SendMessageW(PanelWindow(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
               reinterpret_cast<LPARAM>(button));
  KillTimer(nullptr, look);
  EXPECT_EQ(shown.left, mouse.x);
  EXPECT_EQ(shown.top, mouse.y);
}

// No text box takes a control character, whether pasted or typed: a PIN pasted with its line end
// must not carry a key that submits the page it is typed into.
TEST_F(Win32Forms, TextBoxesDropControlCharacters) {
  for (const forms::Form* form : forms::AllForms()) {
    WhileShown(*form, [&](FormWindow& window) {
      for (const forms::Control& c : form->controls) {
        if (c.kind != forms::Kind::kTextBox) continue;
        HWND box = window.Find(c.name, c.index);
        SetWindowTextW(box, L"");
        ASSERT_TRUE(OpenClipboard(window.hwnd()));
        EmptyClipboard();
        const wchar_t pasted[] = L"12\t34\r\n";
        HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, sizeof pasted);
        memcpy(GlobalLock(data), pasted, sizeof pasted);
        GlobalUnlock(data);
        SetClipboardData(CF_UNICODETEXT, data);
        CloseClipboard();
        SendMessageW(box, WM_PASTE, 0, 0);
        for (wchar_t typed : {L'\t', L'5', L'\x1b', L'\r'}) SendMessageW(box, WM_CHAR, typed, 0);
        EXPECT_EQ(WindowText(box), u"12345") << Label(*form, c);
      }
    });
  }
}

// Enter presses the focused button, else the form's default button, else nothing; Escape presses
// nothing in the password and settings dialogs and closes the about box.
TEST_F(Win32Forms, EnterAndEscapeInTheDialogs) {
  struct Case {
    const forms::Form* form;
    std::string_view focus;
    WPARAM key;
    std::string_view pressed;  // the button the key presses, if any
    bool closes;
  };
  const Case cases[] = {
      {&forms::kFrmPswd, "txtPswd", VK_RETURN, "Command1", true},
      {&forms::kFrmPswd, "Command2", VK_RETURN, "Command2", true},
      {&forms::kFrmPswd, "txtPswd", VK_ESCAPE, "", false},
      {&forms::kFrmPswd, "Command2", VK_ESCAPE, "", false},
      {&forms::kFrmSet, "cmdCan", VK_RETURN, "cmdCan", true},
      {&forms::kFrmSet, "cmdShoHen", VK_RETURN, "cmdShoHen", false},
      {&forms::kFrmSet, "txtNetId", VK_RETURN, "", false},
      {&forms::kFrmSet, "txtNetId", VK_ESCAPE, "", false},
      {&forms::kFrmSet, "cmdCan", VK_ESCAPE, "", false},
      {&forms::kFrmAbout, "cmdSysInfo", VK_RETURN, "cmdSysInfo", false},
      {&forms::kFrmAbout, "cmdOK", VK_RETURN, "cmdOK", true},
      {&forms::kFrmAbout, "cmdSysInfo", VK_ESCAPE, "", true},
  };
  for (const Case& c : cases) {
    const std::string what = std::string(c.form->name) + "." + std::string(c.focus) +
                             (c.key == VK_RETURN ? " Enter" : " Escape");
    std::vector<std::string> pressed;
    bool openAfterKey = false;
    FormWindow* shown = nullptr;
    // Clicks reach the dialog as WM_COMMAND with BN_CLICKED from the button itself.
    auto record = [](HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                     DWORD_PTR data) -> LRESULT {
      auto* context = reinterpret_cast<std::pair<FormWindow*, std::vector<std::string>*>*>(data);
      const HWND from = reinterpret_cast<HWND>(lParam);
      if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED && from &&
          LOWORD(wParam) == GetDlgCtrlID(from)) {
        if (const forms::Control* control = context->first->ControlOf(from)) {
          context->second->emplace_back(control->name);
        }
      }
      return DefSubclassProc(hwnd, message, wParam, lParam);
    };
    std::pair<FormWindow*, std::vector<std::string>*> context{nullptr, &pressed};
    int step = 0;
    WhileShown(*c.form, [&](FormWindow& window) {
      shown = &window;
      context.first = &window;
      SetWindowSubclass(window.hwnd(), record, 1, reinterpret_cast<DWORD_PTR>(&context));
      HWND focus = window.Find(c.focus);
      SetFocus(focus);
      EXPECT_EQ(GetFocus(), focus) << what;
      PressKeys(window, c.key == VK_RETURN ? L"\r" : L"\x1b");
      openAfterKey = window.modal();
      RemoveWindowSubclass(window.hwnd(), record, 1);
      ++step;
    });
    ASSERT_TRUE(shown) << what;
    EXPECT_EQ(step, 1) << what;
    EXPECT_EQ(pressed, c.pressed.empty() ? std::vector<std::string>{}
                                         : std::vector<std::string>{std::string(c.pressed)})
        << what;
    EXPECT_EQ(!openAfterKey, c.closes) << what;
  }
}

// As in any dialog, the control that had the focus has it again when its window is active again,
// after a message box or another program; so after "wrong password" the next keys go into the
// password box, and Enter submits what they make.
TEST_F(Win32Forms, FocusComesBackToTheControlThatHadIt) {
  const std::pair<std::string_view, std::function<void(HWND)>> waysAway[] = {
      {"a message box", [](HWND) { ShowAnsweredMessageBox(u"Navelo"); }},
      {"another window",
       [](HWND window) {
         HWND other = CreateWindowExW(0, L"STATIC", L"Other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
                                      0, 200, 100, nullptr, nullptr, nullptr, nullptr);
         SetForegroundWindow(other);
         Pump(100ms);
         EXPECT_EQ(GetActiveWindow(), other);
         SetForegroundWindow(window);
         Pump(100ms);
         DestroyWindow(other);
       }},
  };
  for (const forms::Form* form : forms::AllForms()) {
    for (const auto& [way, goAway] : waysAway) {
      WhileShown(*form, [&](FormWindow& window) {
        // The last control in tab order that can take the focus: not where activation alone
        // would put it.
        HWND focus = nullptr;
        for (const forms::Control* c : forms::TabOrder(*form)) {
          HWND control = window.Find(c->name, c->index);
          if (IsWindowVisible(control) && IsWindowEnabled(control)) focus = control;
        }
        SetFocus(focus);
        goAway(window.hwnd());
        EXPECT_EQ(GetFocus(), focus) << form->name << ", back from " << way;
      });
    }
  }

  std::vector<std::u16string> entries;
  messages.onShow = [](const std::u16string& text) { ShowAnsweredMessageBox(text); };
  auto view = Dialog(forms::kFrmPswd);
  PasswordController dialog(*view, messages);
  Script script(*view, {[&] { PressKeys(*view, L"n\r"); }, [&] { PressKeys(*view, L"g\r"); }});
  const auto entered = dialog.Ask(PasswordMode::kStartupCheck, [&](const std::u16string& entry) {
    entries.push_back(entry);
    return entry == u"ng";
  });
  EXPECT_EQ(entries, (std::vector<std::u16string>{u"n", u"ng"}));
  EXPECT_EQ(entered, u"ng");
}

// A link under the mouse pointer turns italic and stays so while the pointer is over any other
// control, the picture included; over the about box's own surface every link turns upright.
TEST_F(Win32Forms, AboutBoxLinksTurnItalicUnderThePointer) {
  struct Step {
    std::string_view name;  // none: the dialog's surface
    int index;
    std::array<bool, 3> italic;
  };
  const Step steps[] = {
      {"lblUrl", 1, {false, true, false}},   {"Label2", -1, {false, true, false}},
      {"picIcon", -1, {false, true, false}}, {"cmdOK", -1, {false, true, false}},
      {"", -1, {false, false, false}},       {"lblUrl", 0, {true, false, false}},
      {"lblUrl", 2, {true, false, true}},    {"", -1, {false, false, false}},
  };
  WhileShown(forms::kFrmAbout, [&](FormWindow& window) {
    for (const Step& step : steps) {
      PointAt(window, step.name, step.index);
      for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(Italic(window.Find("lblUrl", i)), step.italic[static_cast<std::size_t>(i)])
            << "lblUrl(" << i << ") with the pointer over "
            << (step.name.empty() ? "the surface" : step.name)
            << (step.index >= 0 ? "(" + std::to_string(step.index) + ")" : "");
      }
    }
  });
}

// A link's tooltip gives its whole address, however the label cuts it.
TEST_F(Win32Forms, AboutBoxLinksShowTheirWholeAddressAsATooltip) {
  WhileShown(forms::kFrmAbout, [&](FormWindow& window) {
    HWND tips = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND w, LPARAM data) -> BOOL {
          if (ClassOf(w) == TOOLTIPS_CLASSW) *reinterpret_cast<HWND*>(data) = w;
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&tips));
    ASSERT_TRUE(tips);
    EXPECT_EQ(GetWindow(tips, GW_OWNER), window.hwnd());
    for (int i = 0; i < 3; ++i) {
      HWND link = window.Find("lblUrl", i);
      wchar_t text[512] = {};
      TOOLINFOW tool{};
      tool.cbSize = sizeof tool;
      tool.hwnd = window.hwnd();
      tool.uId = reinterpret_cast<UINT_PTR>(link);
      tool.lpszText = text;
      SendMessageW(tips, TTM_GETTEXTW, 512, reinterpret_cast<LPARAM>(&tool));
      EXPECT_EQ(FromWide(text), WindowText(link)) << i;
      EXPECT_FALSE(WindowText(link).empty());
    }
  });
}

// The password dialog serves the whole run, while the settings dialog that has it confirm a new
// password is made anew at each opening and destroyed after (and Windows destroys a window with
// its owner): it shows at every confirmation, owned by the settings dialog that asks.
TEST_F(Win32Forms, PasswordDialogShowsAtEveryConfirmation) {
  auto passwordView = Dialog(forms::kFrmPswd);
  PasswordController password(*passwordView, messages);
  for (int round = 1; round <= 2; ++round) {
    const std::string what = "confirmation " + std::to_string(round);
    auto view = Dialog(forms::kFrmSet);
    SettingsController dialog(*view, {settings.record(), settings.targets(), settings.addresses(),
                                      messages, [&](const std::u16string&) {
                                        return password
                                            .Ask(PasswordMode::kConfirm,
                                                 [](const std::u16string&) { return true; })
                                            .has_value();
                                      }});
    bool shown = false;
    HWND owner = nullptr;
    Script script(*view, {[&] {
                            SetWindowText(view->Find("txtNavelo_Pswd"), u"new");
                            HWND ok = view->Find("cmdOk");
                            PostMessageW(view->hwnd(), WM_COMMAND,
                                         MAKEWPARAM(GetDlgCtrlID(ok), BN_CLICKED),
                                         reinterpret_cast<LPARAM>(ok));
                          },
                          [&] {
                            shown = passwordView->modal() && IsWindowVisible(passwordView->hwnd());
                            owner = GetWindow(passwordView->hwnd(), GW_OWNER);
                            // Cancelled: the settings dialog stays open until the script ends.
                            if (passwordView->modal()) passwordView->EndModal(0);
                          }});
    dialog.ShowModal();
    EXPECT_TRUE(shown) << what;
    EXPECT_EQ(owner, view->hwnd()) << what;
  }
  // Its owner was lent to it for each showing only.
  EXPECT_TRUE(IsWindow(passwordView->hwnd()));
}

// While another window is in front the panel keeps only its caption bar (Windows will not make a
// captioned window smaller); in front again it gets back exactly the height it had at load.
TEST_F(Win32Forms, PanelShrinksToItsCaptionAndRestoresItsHeight) {
  RECT loaded{};
  GetWindowRect(PanelWindow(), &loaded);
  desktop.foregroundWindow.current = {0x4242, u"IPAT照会ログイン - Browser"};
  Pump(300ms);
  RECT shrunk{}, client{};
  GetWindowRect(PanelWindow(), &shrunk);
  GetClientRect(PanelWindow(), &client);
  EXPECT_EQ(client.bottom, 0);
  EXPECT_LT(shrunk.bottom - shrunk.top, loaded.bottom - loaded.top);
  EXPECT_GE(shrunk.bottom - shrunk.top, GetSystemMetrics(SM_CYCAPTION));
  EXPECT_EQ(shrunk.top, loaded.top);

  desktop.foregroundWindow.current = {panelView->Handle(), u"Navelo"};
  Pump(300ms);
  RECT restored{};
  GetWindowRect(PanelWindow(), &restored);
  EXPECT_EQ(restored.bottom - restored.top, loaded.bottom - loaded.top);
  GetClientRect(PanelWindow(), &client);
  EXPECT_EQ(client.bottom, Px(forms::kFrmNavelo.clientHeight, GetDpiForWindow(PanelWindow())));
}

}  // namespace
}  // namespace navelo::win
