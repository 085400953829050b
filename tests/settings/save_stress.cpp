// Saves the settings file in an endless loop, alternating two records, until it is killed.
#include <string>

#include "platform/posix/codec_cp932.h"
#include "platform/posix/file_store.h"
#include "settings/settings.h"

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  navelo::platform::posix::Cp932Codec codec;
  navelo::platform::posix::PosixFileStore store;
  navelo::SettingsFile file(argv[1], store, codec);
  navelo::SettingsRecord records[2];
  for (int i = 0; i < 2; ++i) {
    records[i].startupPassword = u"stress";
    records[i].NetID = std::u16string(300, i == 0 ? u'a' : u'b');
    records[i].TouhyouTitle = std::u16string(2000, i == 0 ? u'票' : u'券');
  }
  for (unsigned n = 0;; ++n) {
    if (navelo::SaveSettings(records[n % 2], {15, 30}, file, codec)) return 1;
  }
}
