// The settings-file reader on arbitrary bytes: reading never fails, and writing a value then
// reading it back gives the value (after CR, LF and NUL became spaces).
#include <cstdint>
#include <cstdlib>
#include <string>

#include "base/utf8.h"
#include "platform/testing/doubles.h"
#include "platform/testing/native_codec.h"
#include "settings/profile.h"
#include "settings/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const navelo::platform::testing::NativeCodec codec;
  const std::string bytes(reinterpret_cast<const char*>(data), size);

  navelo::platform::testing::MemoryFileStore store;
  store.files["/f"] = bytes;
  navelo::SettingsFile file("/f", store, codec);
  navelo::SettingsRecord record;
  record.startupPassword = u"ZelvOR";
  navelo::LoadSettings(record, file, codec);

  auto doc = navelo::ProfileDocument::Parse(bytes);
  std::string value = bytes.substr(0, size / 3);
  // A Unicode file's value comes as text, and never as what reads as a line of another encoding:
  // the settings file refuses to write that.
  if (doc.utf8()) value = navelo::ToUtf8(navelo::FromUtf8(value));
  doc.Set("General", "Probe", value);
  const auto reread = navelo::ProfileDocument::Parse(doc.Serialize());
  if (doc.utf16() && !reread.unreadable().empty()) return 0;
  auto back = reread.Get("General", "Probe");
  std::string expected = value;
  for (char& c : expected) {
    if (c == '\r' || c == '\n' || c == '\0') c = ' ';
  }
  // A value that starts with the UTF-8 mark only matters at the file's start; the key is never
  // first in the file, so the value must come back exactly.
  if (!back || *back != expected) std::abort();
  return 0;
}
