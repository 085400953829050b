#include "settings/settings.h"

#include <gtest/gtest.h>

#include "base/utf8.h"
#include "platform/testing/doubles.h"
#include "platform/testing/native_codec.h"
#include "settings/cipher.h"

namespace navelo {
namespace {

std::u16string FromUtf16(std::string_view bytes) {
  std::u16string out;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    out.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                        static_cast<unsigned char>(bytes[i + 1]) << 8));
  }
  return out;
}

class SettingsTest : public ::testing::Test {
 protected:
  const std::string kPath = "/opt/navelo/Navelo.INI";
  platform::testing::NativeCodec codec;
  platform::testing::MemoryFileStore store;
  SettingsFile file{kPath, store, codec};

  void Write(const std::u16string& text) { store.files[kPath] = codec.ToAnsi(text); }
  std::u16string Stored() { return codec.FromAnsi(store.files[kPath]); }

  SettingsRecord Load(std::u16string password = u"ZelvOR", PanelPosition* position = nullptr) {
    SettingsRecord record;
    record.startupPassword = password;
    LoadResult result = LoadSettings(record, file, codec);
    if (position) *position = result.position;
    return record;
  }
};

TEST_F(SettingsTest, NoFileGivesEveryDefault) {
  PanelPosition position{99, 99};
  SettingsRecord r = Load(u"ZelvOR", &position);
  EXPECT_EQ(r.version, u"1.0");
  EXPECT_EQ(r.NetID, u"");
  EXPECT_EQ(r.PatID, u"");
  EXPECT_EQ(r.Password, u"");
  EXPECT_EQ(r.Pars, u"");
  EXPECT_EQ(r.ApatPassword, u"");
  EXPECT_EQ(r.Zenmen, 0);
  EXPECT_EQ(r.Kakusu, 0);
  EXPECT_EQ(r.Chokuzen, 0);
  EXPECT_EQ(r.Chien, 0);
  EXPECT_EQ(r.ChienTime, 300);
  EXPECT_EQ(r.KingakuNomi, 0);  // a file of an older version lacks it: off
  EXPECT_EQ(r.TouhyouTitle, u"IPAT合計金額入力");
  EXPECT_EQ(r.ShoukaiTitle, u"IPAT照会ログイン");
  EXPECT_EQ(position.left, 0);
  EXPECT_EQ(position.top, 0);
}

TEST_F(SettingsTest, VersionDecidesPlainOrEnciphered) {
  const std::u16string cipher = EncipherText(u"INET", u"pw", codec);
  Write(u"[General]\nVERSION=1.2\n[Data]\nNetID=" + cipher + u"\n");
  EXPECT_EQ(Load(u"pw").NetID, u"INET");
  Write(u"[General]\nVERSION=1.1\n[Data]\nNetID=" + cipher + u"\n");
  EXPECT_EQ(Load(u"pw").NetID, cipher);
  Write(u"[Data]\nNetID=plain\n");
  EXPECT_EQ(Load(u"pw").NetID, u"plain");
  Write(u"[General]\nVERSION=abc\n[Data]\nNetID=plain\n");
  EXPECT_EQ(Load(u"pw").NetID, u"plain");  // not a number: the default 1.0
  EXPECT_TRUE(VersionStoresEnciphered(u"1.2"));
  EXPECT_TRUE(VersionStoresEnciphered(u"2"));
  EXPECT_FALSE(VersionStoresEnciphered(u"1.19999"));
}

TEST_F(SettingsTest, PositionsRoundToEvenAndEitherSpellingOfTop) {
  PanelPosition p;
  Write(u"[General]\nFormLeft=120.5\nFormTop=121.5\n");
  Load(u"ZelvOR", &p);
  EXPECT_EQ(p.left, 120);
  EXPECT_EQ(p.top, 122);
  Write(u"[General]\nFormLeft=abc\nFormtop=-150\n");
  Load(u"ZelvOR", &p);
  EXPECT_EQ(p.left, 0);
  EXPECT_EQ(p.top, -150);

  // A save updates the entry the file already has, in its own spelling.
  SettingsRecord r = Load();
  ASSERT_FALSE(SaveSettings(r, {4410, 300}, file, codec));
  EXPECT_NE(Stored().find(u"[General]\r\nFormLeft=4410\r\nFormtop=300\r\n"), std::u16string::npos);
  Write(u"[General]\r\nFormTop=5\r\n");
  ASSERT_FALSE(SaveSettings(r, {0, 300}, file, codec));
  EXPECT_NE(Stored().find(u"FormTop=300"), std::u16string::npos);
  EXPECT_EQ(Stored().find(u"Formtop"), std::u16string::npos);
}

TEST_F(SettingsTest, NumbersOutsideTheirRangeTakeTheDefault) {
  Write(u"[General]\nZenmen=70000\nKakusu=-1\nChienTime=99999999999\nChokuzen=1e400\n");
  SettingsRecord r = Load();
  EXPECT_EQ(r.Zenmen, 0);
  EXPECT_EQ(r.Kakusu, -1);
  EXPECT_EQ(r.ChienTime, 300);
  EXPECT_EQ(r.Chokuzen, 0);
  Write(u"[General]\nChienTime=\n");
  EXPECT_EQ(Load().ChienTime, 0);  // present but empty reads as 0, not the default
}

TEST_F(SettingsTest, SaveWritesEveryEntryInOneReplacementAndLoadsBack) {
  SettingsRecord r;
  r.startupPassword = u"鍵pass";
  r.NetID = u"inet01";
  r.PatID = u"12345678";
  r.Password = u"9876";
  r.Pars = u"4321";
  r.ApatPassword = u"+^%~(){}[]";
  r.Zenmen = 1;
  r.Kakusu = 2;
  r.Chokuzen = 1;
  r.Chien = 1;
  r.ChienTime = -42;
  r.KingakuNomi = 1;
  r.TouhyouTitle = u"IPAT合計金額入力 - Chromium";
  r.ShoukaiTitle = u"  spaced title  ";
  ASSERT_FALSE(SaveSettings(r, {4410, -150}, file, codec));
  EXPECT_EQ(store.replaceCount, 1);  // one replacement of the file for the whole record

  const std::u16string text = Stored();
  EXPECT_NE(text.find(u"VERSION=1.2\r\n"), std::u16string::npos);
  EXPECT_NE(text.find(u"Password=" + EncipherText(u"鍵pass", u"鍵pass", codec)),
            std::u16string::npos);
  EXPECT_NE(text.find(u"FormLeft=4410\r\nFormtop=-150\r\n"), std::u16string::npos);
  EXPECT_NE(text.find(u"NetID=" + EncipherText(u"inet01", u"鍵pass", codec)), std::u16string::npos);

  PanelPosition p;
  SettingsRecord back = Load(u"鍵pass", &p);
  EXPECT_EQ(back.NetID, r.NetID);
  EXPECT_EQ(back.PatID, r.PatID);
  EXPECT_EQ(back.Password, r.Password);
  EXPECT_EQ(back.Pars, r.Pars);
  EXPECT_EQ(back.ApatPassword, r.ApatPassword);
  EXPECT_EQ(back.Zenmen, 1);
  EXPECT_EQ(back.Kakusu, 2);
  EXPECT_EQ(back.Chokuzen, 1);
  EXPECT_EQ(back.Chien, 1);
  EXPECT_EQ(back.ChienTime, -42);
  EXPECT_EQ(back.KingakuNomi, 1);
  EXPECT_EQ(back.TouhyouTitle, r.TouhyouTitle);
  EXPECT_EQ(back.ShoukaiTitle, r.ShoukaiTitle);
  EXPECT_EQ(p.left, 4410);
  EXPECT_EQ(p.top, -150);
}

TEST_F(SettingsTest, EmptyIdentifierIsWrittenEmptyAndNoPasswordIsStillStored) {
  SettingsRecord r = Load();
  ASSERT_FALSE(SaveSettings(r, {}, file, codec));
  EXPECT_NE(Stored().find(u"[Data]\r\nNetID=\r\n"), std::u16string::npos);
  EXPECT_NE(Stored().find(u"Password=" + EncipherText(u"ZelvOR", u"ZelvOR", codec)),
            std::u16string::npos);
}

TEST_F(SettingsTest, LongIdentifiersSurvive) {
  for (std::size_t length : {63u, 64u, 200u}) {
    SettingsRecord r = Load();
    r.startupPassword = std::u16string(length, u'p');
    r.NetID = std::u16string(length, u'n');
    r.Password = std::u16string(length / 2, u'暗');  // two bytes each in the code page
    ASSERT_FALSE(SaveSettings(r, {}, file, codec));
    SettingsRecord back = Load(r.startupPassword);
    EXPECT_EQ(back.NetID, r.NetID) << length;
    EXPECT_EQ(back.Password, r.Password) << length;
    // And the stored start-up password is still confirmed by itself.
    const std::u16string stored = file.ReadProfileText(u"General", u"Password", u"");
    EXPECT_EQ(DecipherText(stored, r.startupPassword, codec), r.startupPassword) << length;
  }
}

TEST_F(SettingsTest, TitleWithLineBreaksCannotInjectEntries) {
  SettingsRecord r = Load();
  r.startupPassword = u"secret";
  r.TouhyouTitle = u"IPAT\r\n[General]\r\nPassword=0065C3769352";
  ASSERT_FALSE(SaveSettings(r, {}, file, codec));
  const std::u16string text = Stored();
  std::size_t lines = 0;
  for (std::size_t pos = text.find(u"\r\nPassword="); pos != std::u16string::npos;
       pos = text.find(u"\r\nPassword=", pos + 1)) {
    ++lines;
  }
  EXPECT_EQ(lines, 2u);  // [General] Password and [Data] Password, nothing else
  EXPECT_EQ(file.ReadProfileText(u"General", u"Password", u""),
            EncipherText(u"secret", u"secret", codec));
}

TEST_F(SettingsTest, CommentsAndUnknownEntriesSurviveASave) {
  Write(u"; written by hand\r\n[General]\r\nMine=1\r\n[Other]\r\nx=y\r\n");
  ASSERT_FALSE(SaveSettings(Load(), {}, file, codec));
  const std::u16string text = Stored();
  EXPECT_EQ(text.find(u"; written by hand\r\n[General]\r\nMine=1\r\n"), 0u);
  EXPECT_NE(text.find(u"[Other]\r\nx=y\r\n"), std::u16string::npos);
}

TEST_F(SettingsTest, FailuresLeaveTheStoredFileAlone) {
  Write(u"[General]\r\nZenmen=1\r\n");
  const std::string before = store.files[kPath];
  store.failWrites = "No space left on device";
  auto error = SaveSettings(Load(), {}, file, codec);
  ASSERT_TRUE(error);
  EXPECT_EQ(*error, "No space left on device");
  EXPECT_EQ(store.files[kPath], before);

  store.failWrites.reset();
  store.unreadable[kPath] = "Permission denied";
  SettingsRecord record;
  record.startupPassword = u"ZelvOR";
  LoadResult result = LoadSettings(record, file, codec);
  ASSERT_TRUE(result.readError);
  EXPECT_TRUE(SaveSettings(record, {}, file, codec));  // never overwrites what it could not read
  EXPECT_EQ(store.files[kPath], before);
}

// UTF-16 little-endian bytes, with or without the byte order mark.
std::string Utf16(std::u16string_view text, bool bom = true) {
  std::string out = bom ? "\xFF\xFE" : "";
  for (char16_t c : text) {
    out.push_back(static_cast<char>(c & 0xFF));
    out.push_back(static_cast<char>(c >> 8));
  }
  return out;
}

// A Unicode file is read in its encoding and saved in it again, as UTF-8 or as UTF-16.
TEST_F(SettingsTest, UnicodeFilesKeepTheirEncoding) {
  const std::u16string text = u"[General]\r\nShoukaiTitle=照会\r\nMine=𠮷\r\n";
  struct Case {
    const char* what;
    std::string bytes;
    std::string bom;
  };
  const Case cases[] = {
      {"UTF-8", "\xEF\xBB\xBF" + ToUtf8(text), "\xEF\xBB\xBF"},
      {"UTF-16", Utf16(text), "\xFF\xFE"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    store.files[kPath] = c.bytes;
    SettingsRecord r = Load();
    EXPECT_EQ(r.ShoukaiTitle, u"照会");
    r.NetID = u"競馬";
    ASSERT_FALSE(SaveSettings(r, {}, file, codec));
    const std::string& saved = store.files[kPath];
    EXPECT_EQ(saved.substr(0, c.bom.size()), c.bom);
    // The whole file is in the one encoding: the text before the new entries is unchanged.
    const std::string body = saved.substr(c.bom.size());
    const std::u16string wide = c.bom.size() == 2 ? FromUtf16(body) : FromUtf8(body);
    EXPECT_EQ(wide.find(text), 0u);
    EXPECT_EQ(wide.find(u'\uFFFD'), std::u16string::npos);
    EXPECT_EQ(Load().ShoukaiTitle, u"照会");
    EXPECT_EQ(Load().NetID, u"競馬");
  }
  // A title that, in UTF-16, would read as a line of another encoding is not written.
  store.files[kPath] = Utf16(text);
  SettingsRecord r = Load();
  r.TouhyouTitle = u"IPAT\u0A0D";
  EXPECT_TRUE(SaveSettings(r, {}, file, codec));
  EXPECT_EQ(store.files[kPath], Utf16(text));
}

// A file whose text would not come back exactly is reported at load and never written over.
TEST_F(SettingsTest, FilesThatCannotBeReadBackFaithfullyAreLeftAlone) {
  const std::u16string text = u"[General]\r\nZenmen=1\r\n";
  struct Case {
    const char* what;
    std::string bytes;
  };
  const Case cases[] = {
      {"UTF-16 with an odd byte count", Utf16(text) + "x"},
      {"UTF-16 with a lone surrogate", Utf16(u"[General]\r\nT=\xD800x\r\n")},
      {"big-endian UTF-16", "\xFE\xFF" + Utf16(text, false)},
      {"UTF-16 without byte order mark", Utf16(text, false)},
      // Text in the code page added to a Unicode file (競馬 is 8B A3 94 6E there).
      {"UTF-16 with a code-page tail", Utf16(text) + "[Data]\r\nT=\x8B\xA3\x94\x6E\r\n"},
      {"UTF-16 with a code-page tail at an odd offset", Utf16(text) + "[Dat]\r\nT=\x8B\xA3\x94\x6E"
                                                                      "1\r\n"},
      {"UTF-8 with a code-page part", "\xEF\xBB\xBF" + ToUtf8(text) + "T=\x8B\xA3\x94\x6E\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    store.files[kPath] = c.bytes;
    SettingsRecord record;
    record.startupPassword = u"ZelvOR";
    LoadResult result = LoadSettings(record, file, codec);
    ASSERT_TRUE(result.readError);
    EXPECT_EQ(record.Zenmen, 0);  // defaults, not guesses
    auto error = SaveSettings(record, {}, file, codec);
    ASSERT_TRUE(error);
    EXPECT_NE(error->find("left untouched"), std::string::npos) << *error;
    EXPECT_EQ(store.files[kPath], c.bytes);
  }
}

}  // namespace
}  // namespace navelo
