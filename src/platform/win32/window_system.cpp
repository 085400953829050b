#include "platform/win32/window_system.h"

#include <windows.h>

namespace navelo::platform::win32 {
namespace {

HWND H(WindowHandle window) {
  return reinterpret_cast<HWND>(window);
}

INPUT Key(WORD vk, WORD scan, DWORD flags) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = vk;
  input.ki.wScan = scan;
  input.ki.dwFlags = flags;
  return input;
}

void Append(std::vector<INPUT>& out, const INPUT& input) {
  out.push_back(input);
}

}  // namespace

std::u16string WindowTitle(WindowHandle window) {
  const HWND hwnd = H(window);
  if (hwnd == nullptr || !IsWindow(hwnd)) return {};
  const int length = GetWindowTextLengthW(hwnd);
  if (length <= 0) return {};
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int n = GetWindowTextW(hwnd, text.data(), length + 1);
  text.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
  return std::u16string(text.begin(), text.end());
}

std::optional<unsigned long> IntegrityLevel(unsigned long processId) {
  HANDLE process = processId == 0
                       ? GetCurrentProcess()
                       : OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
  if (process == nullptr) return std::nullopt;
  std::optional<unsigned long> level;
  HANDLE token = nullptr;
  if (OpenProcessToken(process, TOKEN_QUERY, &token)) {
    DWORD size = 0;
    GetTokenInformation(token, TokenIntegrityLevel, nullptr, 0, &size);
    std::vector<unsigned char> buffer(size);
    if (size > 0 && GetTokenInformation(token, TokenIntegrityLevel, buffer.data(), size, &size)) {
      const auto* label = reinterpret_cast<const TOKEN_MANDATORY_LABEL*>(buffer.data());
      const DWORD count = *GetSidSubAuthorityCount(label->Label.Sid);
      if (count > 0) level = *GetSidSubAuthority(label->Label.Sid, count - 1);
    }
    CloseHandle(token);
  }
  if (processId != 0) CloseHandle(process);
  return level;
}

WindowInfo Win32Foreground::Foreground() {
  WindowInfo info;
  info.handle = reinterpret_cast<WindowHandle>(GetForegroundWindow());
  if (info.handle != 0) info.title = WindowTitle(info.handle);
  return info;
}

WindowHandle Win32WindowSystem::ActiveWindow() {
  return reinterpret_cast<WindowHandle>(GetForegroundWindow());
}

std::u16string Win32WindowSystem::Title(WindowHandle window) {
  return WindowTitle(window);
}

bool Win32WindowSystem::RunsAboveUs(WindowHandle window) {
  DWORD processId = 0;
  GetWindowThreadProcessId(H(window), &processId);
  // A level that cannot be read (the process has just ended, say) stops nothing.
  const auto theirs = IntegrityLevel(processId);
  const auto ours = IntegrityLevel(0);
  return theirs && ours && *theirs > *ours;
}

bool Win32WindowSystem::Activate(WindowHandle window) {
  const HWND hwnd = H(window);
  // A window not shown is no page the user sees (a program's hidden dialog, say): it is as good
  // as gone, and nothing is typed into it.
  if (hwnd == nullptr || !IsWindow(hwnd) || !IsWindowVisible(hwnd)) return false;
  // Asynchronously: a program that does not answer must not hold Navelo up.
  if (IsIconic(hwnd)) ShowWindowAsync(hwnd, SW_RESTORE);
  SetForegroundWindow(hwnd);
  return true;
}

WindowSystem::Typing Win32WindowSystem::PrepareTyping(std::u16string_view text) {
  keys_.clear();
  for (std::size_t i = 0; i < text.size(); ++i) {
    std::vector<INPUT> events;
    if (text[i] == u'\t') {
      Append(events, Key(VK_TAB, 0, 0));
      Append(events, Key(VK_TAB, 0, KEYEVENTF_KEYUP));
    } else {
      // A surrogate pair goes as two Unicode presses, then two releases.
      const bool pair = text[i] >= 0xD800 && text[i] <= 0xDBFF && i + 1 < text.size() &&
                        text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF;
      const std::size_t count = pair ? 2 : 1;
      for (std::size_t k = 0; k < count; ++k) {
        Append(events, Key(0, static_cast<WORD>(text[i + k]), KEYEVENTF_UNICODE));
      }
      for (std::size_t k = 0; k < count; ++k) {
        Append(events, Key(0, static_cast<WORD>(text[i + k]), KEYEVENTF_UNICODE | KEYEVENTF_KEYUP));
      }
      i += count - 1;
    }
    keys_.push_back(std::move(events));
  }
  return {};
}

bool Win32WindowSystem::TypePrepared(const std::function<bool()>& mayType) {
  for (std::vector<INPUT>& events : keys_) {
    if (!mayType()) return false;
    const UINT count = static_cast<UINT>(events.size());
    if (SendInput(count, events.data(), sizeof(INPUT)) != count) return false;
  }
  keys_.clear();
  return true;
}

void Win32WindowSystem::Beep() {
  MessageBeep(MB_OK);
}

}  // namespace navelo::platform::win32
