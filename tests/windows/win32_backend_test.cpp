// The Windows backend against real Win32 windows: the foreground and its title, activation,
// typing through the delivery policy, the settings file store, its lock and its place, and the
// registry lookup.
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, which it builds on.
#include <sddl.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <thread>

#include "delivery/delivery.h"
#include "panel/logic/tracker.h"
#include "platform/registry_sysinfo.h"
#include "platform/win32/codec_cp932.h"
#include "platform/win32/file_store.h"
#include "platform/win32/instance_lock.h"
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

// Wine runs Unix programs as it runs its own: a FIFO, a device and a symbolic link are made with
// them, as a user of the Unix side would. Unavailable (false) on a real Windows.
std::string UnixPath(const std::filesystem::path& path) {
  using ToUnix = char*(CDECL*)(const wchar_t*);
  auto toUnix = reinterpret_cast<ToUnix>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name")));
  char* unix = toUnix ? toUnix(path.wstring().c_str()) : nullptr;
  const std::string result = unix ? unix : "";
  if (unix) HeapFree(GetProcessHeap(), 0, unix);
  return result;
}

// Whether anything (a FIFO too, which Wine gives no attributes) is at `path`.
bool Exists(const std::filesystem::path& path) {
  HANDLE h = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  CloseHandle(h);
  return true;
}

// Runs a Unix shell command that makes `path` (or removes it), and waits for that: Wine neither
// waits for a Unix program nor learns its exit status.
bool Unix(const std::string& command, const std::filesystem::path& path, bool made = true) {
  std::wstring line = L"sh -c \"" + Wide(command) + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(L"Z:\\bin\\sh", line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    return false;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  for (int i = 0; i < 250 && Exists(path) != made; ++i) Sleep(20);
  return Exists(path) == made;
}

class Win32Files : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = std::filesystem::temp_directory_path() / "navelo-win32-files";
    unix = UnixPath(dir);
    Clear();
    std::filesystem::create_directories(dir);
  }
  void TearDown() override { Clear(); }
  // Empties the folder; on the Unix side where there is one, as Wine cannot delete a FIFO.
  void Clear() {
    if (!unix.empty()) {
      if (Exists(dir)) Unix("rm -rf '" + unix + "'", dir, false);
      return;
    }
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir, ignored)) {
      SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    std::filesystem::remove_all(dir, ignored);
  }
  std::string Path(const char* name) const { return (dir / name).string(); }
  static std::string Slurp(const std::string& path) {
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  std::filesystem::path dir;
  std::string unix;  // the folder on the Unix side; empty on a real Windows
  std::error_code ignored;
  Win32FileStore store;
};

// What must stay as it is is never replaced, and only a regular file of a sane size is read: a
// read-only file is kept (the folder would let a new one take its place); a folder, a FIFO and a
// device are reported at once, never waited on.
TEST_F(Win32Files, FilesThatMustStayAsTheyAreAreNeitherReadNorReplaced) {
  const std::string path = Path("Navelo.INI");
  struct Case {
    const char* what;
    std::function<bool()> make;  // false: cannot be made here
    bool readable;
    const char* reason;  // why Replace refuses; empty when it is guarded one level up
  };
  const Case cases[] = {
      {"read-only attribute",
       [&] {
         std::ofstream(path) << "[General]\r\nZenmen=1\r\n";
         return SetFileAttributesW(Wide(path).c_str(), FILE_ATTRIBUTE_READONLY) != 0;
       },
       true, "read-only"},
      {"folder", [&] { return std::filesystem::create_directory(path); }, false,
       "not a regular file"},
      {"FIFO", [&] { return !unix.empty() && Unix("mkfifo '" + unix + "/Navelo.INI'", path); },
       false, "not a regular file"},
      {"link to a device",
       [&] { return !unix.empty() && Unix("ln -s /dev/zero '" + unix + "/Navelo.INI'", path); },
       false, "not a regular file"},
      {"larger than 64 MiB",
       [&] {
         std::ofstream(path) << "[General]\r\n";
         std::filesystem::resize_file(path, (64u << 20) + 1);
         return true;
       },
       false, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Clear();
    std::filesystem::create_directories(dir);
    if (!c.make()) {
      ADD_FAILURE() << "could not be made";
      continue;
    }
    const FileRead read = store.Read(path);
    EXPECT_EQ(read.status, c.readable ? FileRead::Status::kOk : FileRead::Status::kError)
        << read.error;
    if (!*c.reason) continue;
    const std::string before = c.readable ? read.bytes : "";
    const auto error = store.Replace(path, "[General]\r\nZenmen=2\r\n");
    ASSERT_TRUE(error);
    EXPECT_NE(error->find(c.reason), std::string::npos) << *error;
    if (c.readable) {
      EXPECT_EQ(Slurp(path), before);
    }
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir)) ++files;
    EXPECT_EQ(files, 1u);  // nothing left beside it
  }
}

// A settings file reached through a symbolic link stays reached that way: the file the link
// names is replaced, in its own folder, and the link stays.
TEST_F(Win32Files, ALinkedFileIsReplacedAtItsTargetAndStaysALink) {
  if (unix.empty()) GTEST_SKIP() << "no Unix side to make a link on";
  std::filesystem::create_directories(dir / "real");
  const struct Case {
    const char* what;
    std::string link;  // what Navelo.INI points to
  } cases[] = {
      {"absolute link", unix + "/real/Target.INI"},
      {"relative link", "real/Target.INI"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    if (Exists(dir / "Navelo.INI"))
      Unix("rm -f '" + unix + "/Navelo.INI'", dir / "Navelo.INI", false);
    std::ofstream(dir / "real" / "Target.INI") << "stale";
    ASSERT_TRUE(Unix("ln -s '" + c.link + "' '" + unix + "/Navelo.INI'", dir / "Navelo.INI"));
    std::ofstream(dir / "real" / "Target.INI.navelo-save-a1B2c3") << "left by a killed save";
    EXPECT_EQ(RemoveStrayTemporaries(Path("Navelo.INI")).size(), 1u);
    ASSERT_FALSE(store.Replace(Path("Navelo.INI"), "fresh"));
    // Had the link itself been replaced, its target would still hold the old text.
    EXPECT_EQ(Slurp(Path("real/Target.INI")), "fresh");
    EXPECT_EQ(store.Read(Path("Navelo.INI")).bytes, "fresh");
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir / "real")) {
      ++files;
    }
    EXPECT_EQ(files, 1u);
  }
}

// One Navelo per settings folder, whichever path leads there: another drive letter's path (here
// Wine's Z: drive onto the same folder) or a link into it meets the same lock, which names its
// holder; another folder has a lock of its own.
TEST_F(Win32Files, OneLockPerSettingsFolderWhicheverPathLeadsThere) {
  const auto held = std::make_unique<InstanceLock>(Path("Navelo.INI"));
  ASSERT_EQ(held->state(), platform::InstanceLock::State::kHeld) << held->error();
  std::vector<std::string> sameFolder = {Path("Navelo.INI")};
  if (!unix.empty()) {
    std::string viaZ = "Z:" + unix + "/Navelo.INI";
    std::replace(viaZ.begin(), viaZ.end(), '/', '\\');
    sameFolder.push_back(viaZ);
    std::filesystem::create_directories(dir / "elsewhere");
    std::ofstream(dir / "Navelo.INI") << "[General]\r\n";
    ASSERT_TRUE(Unix("ln -s '" + unix + "/Navelo.INI' '" + unix + "/elsewhere/Navelo.INI'",
                     dir / "elsewhere" / "Navelo.INI"));
    sameFolder.push_back(Path("elsewhere/Navelo.INI"));
  }
  // Taken as another Navelo would take it: from another thread (a mutex is its owner's again).
  auto stateFor = [](const std::string& path, long* holder = nullptr) {
    platform::InstanceLock::State state{};
    std::thread([&] {
      InstanceLock lock(path);
      state = lock.state();
      if (holder) *holder = lock.holder();
    }).join();
    return state;
  };
  for (const std::string& path : sameFolder) {
    long holder = 0;
    EXPECT_EQ(stateFor(path, &holder), platform::InstanceLock::State::kTaken) << path;
    EXPECT_EQ(holder, static_cast<long>(GetCurrentProcessId())) << path;
  }
  std::filesystem::create_directories(dir / "other");
  EXPECT_EQ(stateFor(Path("other/Navelo.INI")), platform::InstanceLock::State::kHeld);
  EXPECT_EQ(stateFor(Path("missing/Navelo.INI")), platform::InstanceLock::State::kUnavailable);
}

// Where an installed copy finds its settings: the VirtualStore copy an older copy left, before
// the file beside the program; the user's folder is made, and one that cannot be made is said.
TEST_F(Win32Files, AnInstalledCopyReadsTheVirtualStoreCopyAndSavesToTheUsersFolder) {
  // Wine lets every folder be written: a program folder that does not exist stands for one this
  // user may not write.
  const std::string program = Path("Program Files\\Navelo");
  const std::string roaming = Path("Roaming");
  const std::string local = Path("Local");
  const std::string copy = VirtualStoreFile(local, program + "\\Navelo.INI");
  const std::string user = roaming + "\\Navelo\\Navelo.INI";
  struct Case {
    const char* what;
    std::function<void()> make;
    SettingsLocation expected;
    bool folderError;
  };
  const Case cases[] = {
      {"older copy's settings in the VirtualStore",
       [&] {
         std::filesystem::create_directories(roaming);
         std::filesystem::create_directories(std::filesystem::path(copy).parent_path());
         std::ofstream(copy) << "[General]\r\n";
       },
       {copy, user},
       false},
      {"user file already there",
       [&] {
         std::filesystem::create_directories(std::filesystem::path(copy).parent_path());
         std::ofstream(copy) << "[General]\r\n";
         std::filesystem::create_directories(roaming + "\\Navelo");
         std::ofstream(user) << "[General]\r\n";
       },
       {user, user},
       false},
      {"user folder cannot be made",
       [&] { std::ofstream(roaming) << "a file"; },
       {user, user},
       true},
  };
  wchar_t savedRoaming[MAX_PATH] = {}, savedLocal[MAX_PATH] = {};
  GetEnvironmentVariableW(L"APPDATA", savedRoaming, MAX_PATH);
  GetEnvironmentVariableW(L"LOCALAPPDATA", savedLocal, MAX_PATH);
  SetEnvironmentVariableW(L"APPDATA", Wide(roaming).c_str());
  SetEnvironmentVariableW(L"LOCALAPPDATA", Wide(local).c_str());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Clear();
    std::filesystem::create_directories(dir);
    c.make();
    std::string folderError;
    EXPECT_EQ(Win32SettingsHome().Locate(program, &folderError), c.expected);
    EXPECT_EQ(!folderError.empty(), c.folderError) << folderError;
    EXPECT_EQ(std::filesystem::is_directory(roaming + "\\Navelo"), !c.folderError);
  }
  SetEnvironmentVariableW(L"APPDATA", savedRoaming);
  SetEnvironmentVariableW(L"LOCALAPPDATA", savedLocal);
}

// The tool's path is read wide: a folder named in characters the ANSI code page lacks still
// leads to it.
TEST(Win32Backend, SystemInformationToolIsFoundThroughTheRegistry) {
  namespace fs = std::filesystem;
  const fs::path folder = fs::temp_directory_path() / L"navelo-sysinfo Outils é 工具";
  fs::create_directories(folder);
  const fs::path tool = folder / L"msinfo32.exe";
  fs::copy_file(L"C:\\windows\\system32\\hostname.exe", tool, fs::copy_options::overwrite_existing);
  const wchar_t* key = L"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
  HKEY created = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                            &created, nullptr),
            ERROR_SUCCESS);
  const std::wstring path = tool.wstring();
  RegSetValueExW(created, L"PATH", 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                 static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(created);
  Win32Registry registry;
  std::u16string value;
  EXPECT_TRUE(GetKeyValue(registry, Registry::kLocalMachine,
                          u"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", u"PATH", value));
  EXPECT_EQ(value, FromWide(path));
  EXPECT_FALSE(GetKeyValue(registry, Registry::kLocalMachine, u"SOFTWARE\\NoSuchKeyOfNavelo",
                           u"PATH", value));
  Win32Launcher launcher;
  EXPECT_TRUE(StartSysInfo(registry, launcher));
  RegDeleteKeyW(HKEY_LOCAL_MACHINE, key);
  Sleep(500);  // the tool ends at once; then its folder can go
  fs::remove_all(folder);
}

}  // namespace
}  // namespace navelo::platform::win32
