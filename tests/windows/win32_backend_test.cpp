// The Windows backend against real Win32 windows: the foreground and its title, activation,
// typing through the delivery policy, the settings file store, its lock and its place, and the
// registry lookup.
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, which it builds on.
#include <sddl.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>

#include "delivery/delivery.h"
#include "panel/logic/tracker.h"
#include "platform/registry_sysinfo.h"
#include "platform/win32/codec_cp932.h"
#include "platform/win32/file_store.h"
#include "platform/win32/settings_home.h"
#include "platform/win32/shell.h"
#include "platform/win32/text.h"
#include "platform/win32/window_system.h"

namespace navelo::platform::win32 {
namespace {

using namespace std::chrono_literals;

// Like a browser, the page gives the focus back to the field that had it when it is activated.
LRESULT CALLBACK PageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_ACTIVATE) {
    if (LOWORD(wParam) == WA_INACTIVE) {
      HWND focus = GetFocus();
      if (focus && GetParent(focus) == window) SetPropW(window, L"NaveloFocus", focus);
    } else {
      HWND focus = static_cast<HWND>(GetPropW(window, L"NaveloFocus"));
      SetFocus(focus ? focus : GetWindow(window, GW_CHILD));
    }
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

// A top-level window with a row of edit boxes, like a page's form fields; Tab moves between them.
class TestPage {
 public:
  TestPage(const std::wstring& title, int fields) {
    static const bool registered = [] {
      WNDCLASSW wc{};
      wc.lpfnWndProc = PageProc;
      wc.hInstance = GetModuleHandleW(nullptr);
      wc.lpszClassName = L"NaveloTestPage";
      wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
      return RegisterClassW(&wc) != 0;
    }();
    (void)registered;
    window_ = CreateWindowExW(0, L"NaveloTestPage", title.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                              100, 100, 420, 60 + 30 * fields, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
    for (int i = 0; i < fields; ++i) {
      edits_.push_back(CreateWindowExW(
          WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, 10,
          10 + 30 * i, 380, 24, window_, nullptr, GetModuleHandleW(nullptr), nullptr));
    }
    Pump(50ms);
  }
  ~TestPage() { Close(); }

  void Close() {
    if (window_ && IsWindow(window_)) DestroyWindow(window_);
    window_ = nullptr;
    Pump(20ms);
  }
  HWND window() const { return window_; }
  WindowHandle handle() const { return reinterpret_cast<WindowHandle>(window_); }
  void FocusFirst() { SetFocus(edits_.front()); }
  std::u16string Field(std::size_t i) const {
    wchar_t buffer[1024] = {};
    GetWindowTextW(edits_[i], buffer, 1024);
    return std::u16string(buffer, buffer + wcslen(buffer));
  }
  std::u16string AllFields() const {
    std::u16string all;
    for (std::size_t i = 0; i < edits_.size(); ++i) all += (i ? u"|" : u"") + Field(i);
    return all;
  }

  // Delivers messages; Tab in an edit box moves the focus as a dialog would.
  static void Pump(std::chrono::milliseconds duration) {
    const auto end = std::chrono::steady_clock::now() + duration;
    do {
      MSG msg;
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_KEYDOWN && msg.wParam == VK_TAB) {
          HWND parent = GetParent(msg.hwnd);
          if (parent) {
            SetFocus(GetNextDlgTabItem(parent, msg.hwnd, GetKeyState(VK_SHIFT) < 0));
            continue;
          }
        }
        if (msg.message == WM_CHAR && msg.wParam == L'\t') continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
      }
      std::this_thread::sleep_for(2ms);
    } while (std::chrono::steady_clock::now() < end);
  }

 private:
  HWND window_ = nullptr;
  std::vector<HWND> edits_;
};

bool HaveDesktop() {
  return GetDesktopWindow() != nullptr && GetSystemMetrics(SM_CXSCREEN) > 0;
}

// Runs one delivery to its end, pumping messages meanwhile.
DeliveryOutcome Deliver(Delivery& delivery, WindowHandle target, std::u16string title,
                        std::u16string text) {
  std::optional<DeliveryOutcome> outcome;
  delivery.Deliver(
      {target, std::move(title), std::move(text), [&](DeliveryOutcome o) { outcome = o; }},
      Delivery::Clock::now());
  const auto end = std::chrono::steady_clock::now() + 3s;
  while (!outcome && std::chrono::steady_clock::now() < end) {
    TestPage::Pump(3ms);
    if (delivery.NextTick()) delivery.Tick(Delivery::Clock::now());
  }
  TestPage::Pump(30ms);
  return outcome.value_or(DeliveryOutcome::kReplaced);
}

TEST(Win32Backend, ForegroundWindowAndItsTitleAsTheTrackerReadsThem) {
  if (!HaveDesktop()) GTEST_SKIP() << "no desktop";
  Cp932Codec codec;
  const std::wstring longTitle =
      L"IPAT照会ログイン - とても長いページのタイトルがここに続きます - Browser";
  TestPage page(longTitle, 1);
  Win32WindowSystem windows;
  ASSERT_TRUE(windows.Activate(page.handle()));
  TestPage::Pump(100ms);
  Win32Foreground foreground;
  const WindowInfo info = foreground.Foreground();
  EXPECT_EQ(info.handle, page.handle());
  EXPECT_EQ(info.title, std::u16string(longTitle.begin(), longTitle.end()));
  const std::u16string cut = CutTitle(info.title, codec);
  EXPECT_LE(codec.ToAnsi(cut).size(), 69u);
  EXPECT_EQ(info.title.compare(0, cut.size(), cut), 0);
  page.Close();
  EXPECT_EQ(WindowTitle(page.handle()), u"");  // gone reads as no title
}

TEST(Win32Backend, TypesEveryCharacterLiterallyIntoTheActivatedPage) {
  if (!HaveDesktop()) GTEST_SKIP() << "no desktop";
  Win32WindowSystem windows;
  Delivery delivery(windows);
  struct Case {
    std::u16string text;
    std::u16string fields;
  } cases[] = {
      {u"Ab12345678\tpin\t4321", u"Ab12345678|pin|4321"},
      {u"p+^%~(){}[]!#$&*\tx\ty", u"p+^%~(){}[]!#$&*|x|y"},
      {u"競馬ＩＰＡＴｱｲｳ\t𠮷\tz", u"競馬ＩＰＡＴｱｲｳ|𠮷|z"},
  };
  for (const Case& c : cases) {
    TestPage page(L"IPAT照会ログイン", 3);
    page.FocusFirst();
    TestPage bystander(L"Bystander", 1);
    bystander.FocusFirst();
    EXPECT_EQ(Deliver(delivery, page.handle(), u"IPAT照会ログイン", c.text),
              DeliveryOutcome::kTyped);
    EXPECT_EQ(page.AllFields(), c.fields);
    EXPECT_EQ(bystander.AllFields(), u"");
  }
}

TEST(Win32Backend, NothingIsTypedAnywhereWhenTheTargetIsGoneHiddenOrShowsAnotherPage) {
  if (!HaveDesktop()) GTEST_SKIP() << "no desktop";
  Win32WindowSystem windows;
  Delivery delivery(windows);
  TestPage bystander(L"Bystander", 1);
  bystander.FocusFirst();
  const struct Case {
    const char* what;
    const wchar_t* title;
    void (*spoil)(TestPage& page);
    DeliveryOutcome outcome;
  } cases[] = {
      {"closed", L"IPAT照会ログイン", [](TestPage& page) { page.Close(); },
       DeliveryOutcome::kWindowGone},
      // A window not shown is no page the user sees (a program's hidden dialog, say).
      {"hidden", L"IPAT照会ログイン", [](TestPage& page) { ShowWindow(page.window(), SW_HIDE); },
       DeliveryOutcome::kWindowGone},
      {"showing another page", L"Messenger - Browser", [](TestPage&) {},
       DeliveryOutcome::kTitleChanged},
  };
  for (const Case& c : cases) {
    TestPage page(c.title, 1);
    page.FocusFirst();
    const WindowHandle target = page.handle();
    c.spoil(page);
    windows.Activate(bystander.handle());
    EXPECT_EQ(Deliver(delivery, target, u"IPAT照会ログイン", u"secret"), c.outcome) << c.what;
    EXPECT_EQ(page.AllFields(), u"") << c.what;
    EXPECT_EQ(bystander.AllFields(), u"") << c.what;
  }
}

// Integrity levels as far as Wine has them: one process's windows are never above it, and a
// process that is not there has no level (so it stops nothing). A browser started as
// administrator, at a higher level, needs a real Windows.
TEST(Win32Backend, AWindowIsAboveUsOnlyWhenItsProcessHasAHigherIntegrityLevel) {
  if (!HaveDesktop()) GTEST_SKIP() << "no desktop";
  const auto ours = platform::win32::IntegrityLevel(0);
  ASSERT_TRUE(ours.has_value());
  EXPECT_EQ(platform::win32::IntegrityLevel(GetCurrentProcessId()), ours);
  EXPECT_FALSE(platform::win32::IntegrityLevel(0xFFFFFFF0).has_value());
  TestPage page(L"IPAT照会ログイン", 1);
  Win32WindowSystem windows;
  EXPECT_FALSE(windows.RunsAboveUs(page.handle()));
}

TEST(Win32Backend, FileStoreReplacesWholeAndReportsFailures) {
  namespace fs = std::filesystem;
  Win32FileStore store;
  const fs::path dir = fs::temp_directory_path() / "navelo-win32-store";
  fs::remove_all(dir);
  fs::create_directories(dir);
  const std::string path = (dir / "Navelo.INI").string();
  EXPECT_EQ(store.Read(path).status, FileRead::Status::kMissing);
  EXPECT_FALSE(store.Replace(path, "[General]\r\nA=1\r\n"));
  EXPECT_FALSE(store.Replace(path, "[General]\r\nA=2\r\n"));
  FileRead read = store.Read(path);
  EXPECT_EQ(read.status, FileRead::Status::kOk);
  EXPECT_EQ(read.bytes, "[General]\r\nA=2\r\n");
  std::size_t files = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator(dir)) ++files;
  EXPECT_EQ(files, 1u);  // no temporary left behind
  // Only its user may open it.
  DWORD needed = 0;
  const std::wstring wide(path.begin(), path.end());
  GetFileSecurityW(wide.c_str(), DACL_SECURITY_INFORMATION, nullptr, 0, &needed);
  std::string descriptor(needed, '\0');
  ASSERT_TRUE(GetFileSecurityW(wide.c_str(), DACL_SECURITY_INFORMATION, descriptor.data(), needed,
                               &needed));
  BOOL present = FALSE, defaulted = FALSE;
  PACL dacl = nullptr;
  ASSERT_TRUE(GetSecurityDescriptorDacl(descriptor.data(), &present, &dacl, &defaulted));
  ASSERT_TRUE(present && dacl != nullptr);
  // Nobody but the user (and the system itself) is let in: no entry for everyone or all users.
  bool user = false;
  for (DWORD i = 0; i < dacl->AceCount; ++i) {
    void* ace = nullptr;
    ASSERT_TRUE(GetAce(dacl, i, &ace));
    wchar_t* sid = nullptr;
    ConvertSidToStringSidW(&static_cast<ACCESS_ALLOWED_ACE*>(ace)->SidStart, &sid);
    const std::wstring text = sid ? sid : L"";
    LocalFree(sid);
    for (const wchar_t* everyone : {L"S-1-1-0", L"S-1-5-32-545", L"S-1-5-11"}) {
      EXPECT_NE(text, everyone);
    }
    user = user || text.rfind(L"S-1-5-21-", 0) == 0;
  }
  EXPECT_TRUE(user);
  const auto failure = store.Replace((dir / "no-such-folder" / "Navelo.INI").string(), "x");
  ASSERT_TRUE(failure.has_value());
  EXPECT_FALSE(failure->empty());
  fs::create_directories(dir / "folder.INI");
  EXPECT_EQ(store.Read((dir / "folder.INI").string()).status, FileRead::Status::kError);
  // A read-only file is kept, although its folder would let a new one take its place.
  SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_READONLY);
  const auto kept = store.Replace(path, "x");
  SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL);
  ASSERT_TRUE(kept.has_value());
  EXPECT_NE(kept->find("read-only"), std::string::npos) << *kept;
  EXPECT_EQ(store.Read(path).bytes, "[General]\r\nA=2\r\n");

  // What a killed save left goes at the next start; the user's own files and folders stay.
  for (const char* name : {"Navelo.INI.navelo-save-a1B2c3", "Navelo.INI.backup",
                           "Navelo.INI.a1B2c3", "Navelo.INI.navelo-save-a1B2c3d"}) {
    std::ofstream(dir / name) << "x";
  }
  fs::create_directories(dir / "Navelo.INI.navelo-save-f0lder");
  EXPECT_EQ(RemoveStrayTemporaries(path),
            std::vector<std::string>{(dir / "Navelo.INI.navelo-save-a1B2c3").string()});
  for (const char* name : {"Navelo.INI", "Navelo.INI.backup", "Navelo.INI.a1B2c3",
                           "Navelo.INI.navelo-save-a1B2c3d", "Navelo.INI.navelo-save-f0lder"}) {
    EXPECT_TRUE(fs::exists(dir / name)) << name;
  }
  fs::remove_all(dir);
}

// A folder's path on the Unix side Wine runs on; empty on a real Windows.
std::string UnixPath(const std::filesystem::path& folder) {
  using ToUnix = char*(CDECL*)(const wchar_t*);
  auto toUnix = reinterpret_cast<ToUnix>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name")));
  char* unix = toUnix ? toUnix(folder.c_str()) : nullptr;
  const std::string path = unix ? unix : "";
  if (unix) HeapFree(GetProcessHeap(), 0, unix);
  return path;
}

// Starts a Unix shell command; Wine starts Unix programs but does not wait for them.
void Sh(const std::string& command) {
  std::wstring line = L"sh -c \"" + Wide(command) + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (CreateProcessW(L"Z:\\bin\\sh", line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                     &startup, &process)) {
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
}

// A settings file reached through a symbolic link stays reached that way: the file the link names
// is replaced, in its own folder, where what a killed save left is cleared too. (Wine makes no
// link with CreateSymbolicLinkW: it is made on the Unix side.)
TEST(Win32Backend, ALinkedFileIsReplacedAtItsTarget) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / "navelo-win32-link";
  const std::string unix = UnixPath(dir);
  if (unix.empty()) GTEST_SKIP() << "no Unix side to make a link on";
  Sh("rm -rf '" + unix + "' && mkdir -p '" + unix + "/real' && ln -s real/Target.INI '" + unix +
     "/Navelo.INI'");
  for (int i = 0; i < 250 && !fs::exists(dir / "real"); ++i) Sleep(20);
  std::ofstream(dir / "real" / "Target.INI") << "stale";
  std::ofstream(dir / "real" / "Target.INI.navelo-save-a1B2c3") << "left by a killed save";
  for (int i = 0; i < 250 && !fs::exists(dir / "Navelo.INI"); ++i) Sleep(20);
  Win32FileStore store;
  const std::string link = (dir / "Navelo.INI").string();
  EXPECT_EQ(RemoveStrayTemporaries(link).size(), 1u);
  ASSERT_FALSE(store.Replace(link, "fresh"));
  // Had the link itself been replaced, its target would still hold the old text.
  EXPECT_EQ(store.Read((dir / "real" / "Target.INI").string()).bytes, "fresh");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir / "real"), {}), 1);
  Sh("rm -rf '" + unix + "'");
}

// An installed copy whose user has no settings yet reads the VirtualStore copy an older copy
// left; a user's folder that cannot be made is said. (Wine lets every folder be written: a
// program folder that does not exist stands for one this user may not write.)
TEST(Win32Backend, AnInstalledCopyReadsTheVirtualStoreCopyFirst) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / "navelo-win32-home";
  const std::string program = (dir / "Program Files" / "Navelo").string();
  const std::string copy = VirtualStoreFile((dir / "Local").string(), program + "\\Navelo.INI");
  fs::create_directories(fs::path(copy).parent_path());
  fs::create_directories(dir / "Roaming");
  std::ofstream(copy) << "[General]\r\n";
  wchar_t saved[2][MAX_PATH] = {};
  GetEnvironmentVariableW(L"APPDATA", saved[0], MAX_PATH);
  GetEnvironmentVariableW(L"LOCALAPPDATA", saved[1], MAX_PATH);
  SetEnvironmentVariableW(L"APPDATA", (dir / "Roaming").c_str());
  SetEnvironmentVariableW(L"LOCALAPPDATA", (dir / "Local").c_str());
  std::string folderError;
  EXPECT_EQ(Win32SettingsHome().Locate(program, &folderError),
            (SettingsLocation{copy, (dir / "Roaming" / "Navelo" / "Navelo.INI").string()}));
  EXPECT_TRUE(folderError.empty() && fs::is_directory(dir / "Roaming" / "Navelo")) << folderError;
  SetEnvironmentVariableW(L"APPDATA", (dir / "Copy.INI").c_str());  // no folder can be made there
  Win32SettingsHome().Locate(program, &folderError);
  EXPECT_NE(folderError.find("Copy.INI"), std::string::npos);
  SetEnvironmentVariableW(L"APPDATA", saved[0]);
  SetEnvironmentVariableW(L"LOCALAPPDATA", saved[1]);
  fs::remove_all(dir);
}

// The tool's path is read wide: one with characters the ANSI code page lacks comes back whole.
TEST(Win32Backend, SystemInformationToolIsFoundThroughTheRegistry) {
  const wchar_t* key = L"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
  HKEY created = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                            &created, nullptr),
            ERROR_SUCCESS);
  const wchar_t path[] = L"C:\\Outils é\\工具\\msinfo32.exe";
  RegSetValueExW(created, L"PATH", 0, REG_SZ, reinterpret_cast<const BYTE*>(path), sizeof path);
  RegCloseKey(created);
  Win32Registry registry;
  std::u16string value;
  EXPECT_TRUE(GetKeyValue(registry, Registry::kLocalMachine,
                          u"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", u"PATH", value));
  EXPECT_EQ(value, u"C:\\Outils é\\工具\\msinfo32.exe");
  EXPECT_FALSE(GetKeyValue(registry, Registry::kLocalMachine, u"SOFTWARE\\NoSuchKeyOfNavelo",
                           u"PATH", value));
  RegDeleteKeyW(HKEY_LOCAL_MACHINE, key);
}

}  // namespace
}  // namespace navelo::platform::win32
