// Stand-ins for the betting pages, for tests and the benchmark driving the real Navelo.exe:
// an inquiry page (three fields), a vote page (four) and a bystander window (one), each a
// top-level window of edit boxes. Every change of a field is written at once to
// FOLDER\<page>.txt: the time of the change (microseconds since 1970) on the first line, then
// one line per field, in UTF-8. A page's "Clear" button empties its fields and focuses the first,
// as loading the page afresh would.
//
// Usage: ipat_pages.exe FOLDER
#include <windows.h>
// (the headers below need windows.h first)
#include <shellapi.h>

#include <string>
#include <vector>

namespace {

struct Page {
  const wchar_t* name;
  const wchar_t* title;
  int fields;
  int x, y;
  HWND window = nullptr;
  std::vector<HWND> edits;
  HWND lastFocus = nullptr;
};

std::wstring folder;
Page pages[] = {
    {L"inquiry", L"IPAT照会ログイン - Test Page", 3, 300, 40, nullptr, {}, nullptr},
    {L"vote", L"IPAT合計金額入力 - Test Page", 4, 300, 260, nullptr, {}, nullptr},
    {L"bystander", L"Notes - Test Page", 1, 300, 510, nullptr, {}, nullptr},
};
constexpr int kClearId = 100;
constexpr int kEditId = 200;

Page* PageOf(HWND window) {
  for (Page& page : pages) {
    if (page.window == window) return &page;
  }
  return nullptr;
}

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size,
                      nullptr, nullptr);
  return out;
}

long long MicrosecondsSince1970() {
  FILETIME now{};
  GetSystemTimePreciseAsFileTime(&now);
  const long long ticks = (static_cast<long long>(now.dwHighDateTime) << 32) |
                          static_cast<long long>(now.dwLowDateTime);
  return (ticks - 116444736000000000LL) / 10;
}

// Written beside and moved into place, so a reader never sees half a report.
void Report(const Page& page) {
  std::string text = std::to_string(MicrosecondsSince1970()) + "\n";
  for (HWND edit : page.edits) {
    std::wstring value(static_cast<std::size_t>(GetWindowTextLengthW(edit)) + 1, L'\0');
    value.resize(static_cast<std::size_t>(
        GetWindowTextW(edit, value.data(), static_cast<int>(value.size()))));
    text += Utf8(value) + "\n";
  }
  const std::wstring path = folder + L"\\" + page.name + L".txt";
  const std::wstring temporary = path + L".tmp";
  HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  const BOOL ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(file);
  if (ok && written == text.size())
    MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
}

LRESULT CALLBACK PageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Page* page = PageOf(window);
  switch (message) {
    case WM_ACTIVATE:
      // Like a browser, the page gives the focus back to the field that had it.
      if (page && LOWORD(wParam) != WA_INACTIVE) {
        SetFocus(page->lastFocus ? page->lastFocus : page->edits.front());
        return 0;
      }
      break;
    case WM_COMMAND:
      if (!page) break;
      if (LOWORD(wParam) == kClearId && HIWORD(wParam) == BN_CLICKED) {
        for (HWND edit : page->edits) SetWindowTextW(edit, L"");
        page->lastFocus = page->edits.front();
        SetFocus(page->lastFocus);
        Report(*page);
        return 0;
      }
      if (LOWORD(wParam) >= kEditId && HIWORD(wParam) == EN_SETFOCUS) {
        page->lastFocus = reinterpret_cast<HWND>(lParam);
      }
      if (LOWORD(wParam) >= kEditId && HIWORD(wParam) == EN_CHANGE) Report(*page);
      return 0;
    case WM_CLOSE:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argc < 2) return 2;
  folder = argv[1];
  LocalFree(argv);

  WNDCLASSW wc{};
  wc.lpfnWndProc = PageProc;
  wc.hInstance = instance;
  wc.lpszClassName = L"IpatTestPage";
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
  RegisterClassW(&wc);
  for (Page& page : pages) {
    page.window =
        CreateWindowExW(0, L"IpatTestPage", page.title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, page.x,
                        page.y, 420, 90 + 30 * page.fields, nullptr, nullptr, instance, nullptr);
    CreateWindowExW(0, L"BUTTON", L"Clear", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 10, 10, 100, 26,
                    page.window, reinterpret_cast<HMENU>(kClearId), instance, nullptr);
    for (int i = 0; i < page.fields; ++i) {
      HWND edit = CreateWindowExW(
          WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, 10,
          46 + 30 * i, 380, 24, page.window,
          reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEditId + i)), instance, nullptr);
      page.edits.push_back(edit);
    }
    Report(page);
  }
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    // Tab moves between the fields, as in a page's form.
    HWND active = GetActiveWindow();
    if (PageOf(active) && IsDialogMessageW(active, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}
