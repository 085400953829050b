#include "platform/win32/program.h"

#include <windows.h>

#include <cstdio>
#include <vector>

#include "platform/win32/text.h"

namespace navelo::platform::win32 {

std::string Win32Program::ProgramDirectory() const {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return ".";
    if (n < buffer.size()) {
      std::wstring path(buffer.data(), n);
      const auto slash = path.find_last_of(L"\\/");
      if (slash == std::wstring::npos) return ".";
      // A drive's root keeps its separator ("C:\").
      if (slash == 2 && path[1] == L':') return Utf8(path.substr(0, 3));
      return Utf8(path.substr(0, slash));
    }
    buffer.resize(buffer.size() * 2);
  }
}

std::string Win32Program::JoinPath(const std::string& dir, const std::string& name) const {
  if (!dir.empty() && (dir.back() == '\\' || dir.back() == '/')) return dir + name;
  return dir + "\\" + name;
}

void Win32Program::EndNow(int code) {
  std::fflush(nullptr);
  ExitProcess(static_cast<UINT>(code));
}

void Win32Program::OnTerminationRequest(std::function<void()> handler) {
  handler_ = std::move(handler);
}

void Win32Program::SessionEnding() {
  if (fired_ || !handler_) return;
  fired_ = true;
  handler_();
}

}  // namespace navelo::platform::win32
