#include "settings/profile.h"

#include "base/text.h"
#include "base/utf8.h"

namespace navelo {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeBom = "\xFF\xFE";
constexpr std::string_view kUtf16BeBom = "\xFE\xFF";

// UTF-16 little-endian bytes as wide text; nothing when the byte count is odd.
std::optional<std::u16string> FromUtf16Le(std::string_view bytes) {
  if (bytes.size() % 2 != 0) return std::nullopt;
  std::u16string text(bytes.size() / 2, u'\0');
  for (std::size_t i = 0; i < text.size(); ++i) {
    text[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                    static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
  }
  return text;
}

std::string ToUtf16Le(std::u16string_view text) {
  std::string bytes;
  bytes.reserve(text.size() * 2);
  for (char16_t c : text) {
    bytes.push_back(static_cast<char>(c & 0xFF));
    bytes.push_back(static_cast<char>(c >> 8));
  }
  return bytes;
}

// Whether UTF-16 text carries a part written in a byte encoding (the code page, UTF-8) after or
// inside it. Read as UTF-16, that part's CR LF line ends (bytes 0D 0A) come out as the character
// U+0A0D, which no text holds (it is unassigned), or split over a U+0Dxx and a U+xx0A.
bool HoldsByteEncodedLines(std::u16string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == 0x0A0D) return true;
    if (text[i] >> 8 == 0x0D && i + 1 < text.size() && (text[i + 1] & 0xFF) == 0x0A) return true;
  }
  return false;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

char AsciiLower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
}

// The section a header line names, or nothing when the line is no header.
std::optional<std::string_view> SectionName(std::string_view line) {
  std::string_view t = Trim(line);
  if (t.empty() || t.front() != '[') return std::nullopt;
  t.remove_prefix(1);
  std::size_t close = t.find(']');
  if (close != std::string_view::npos) t = t.substr(0, close);
  return Trim(t);
}

struct KeyLine {
  std::string_view key;
  std::string_view value;
};

std::optional<KeyLine> ParseKeyLine(std::string_view line) {
  std::string_view t = Trim(line);
  if (t.empty() || t.front() == ';' || t.front() == '[') return std::nullopt;
  std::size_t eq = t.find('=');
  if (eq == std::string_view::npos) return std::nullopt;
  std::string_view key = Trim(t.substr(0, eq));
  if (key.empty()) return std::nullopt;
  std::string_view value = Trim(t.substr(eq + 1));
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  return KeyLine{key, value};
}

}  // namespace

ProfileDocument ProfileDocument::Parse(std::string_view bytes) {
  auto unreadable = [](std::string reason) {
    ProfileDocument doc;
    doc.unreadable_ = std::move(reason);
    return doc;
  };
  if (bytes.substr(0, kUtf16LeBom.size()) == kUtf16LeBom) {
    // Held as UTF-8 only when that gives back exactly the same UTF-16 text.
    auto wide = FromUtf16Le(bytes.substr(kUtf16LeBom.size()));
    if (!wide) return unreadable("its UTF-16 text has an odd number of bytes");
    std::string utf8 = ToUtf8(*wide);
    if (FromUtf8(utf8) != *wide) return unreadable("its UTF-16 text is damaged (a lone surrogate)");
    if (HoldsByteEncodedLines(*wide)) {
      return unreadable("it mixes UTF-16 with text in another encoding");
    }
    ProfileDocument doc = ParseLines(utf8);
    doc.utf8_ = doc.utf16_ = true;
    return doc;
  }
  if (bytes.substr(0, kUtf16BeBom.size()) == kUtf16BeBom) {
    return unreadable("it is big-endian UTF-16 text, which Navelo does not read");
  }
  if (bytes.find('\0') != std::string_view::npos) {
    return unreadable("it holds NUL bytes, so it is no text in the ANSI code page or UTF-8");
  }
  if (bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom) {
    const std::string_view text = bytes.substr(kUtf8Bom.size());
    if (ToUtf8(FromUtf8(text)) != text) {
      return unreadable("it mixes UTF-8 with text in another encoding");
    }
  }
  return ParseLines(bytes);
}

ProfileDocument ProfileDocument::ParseLines(std::string_view bytes) {
  ProfileDocument doc;
  if (bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom) {
    doc.utf8_ = true;
    bytes.remove_prefix(kUtf8Bom.size());
  }
  std::size_t start = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    char c = bytes[i];
    if (c != '\r' && c != '\n') continue;
    doc.lines_.emplace_back(bytes.substr(start, i - start));
    if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < bytes.size()) doc.lines_.emplace_back(bytes.substr(start));
  return doc;
}

std::optional<ProfileDocument::Located> ProfileDocument::FindSection(
    std::string_view section) const {
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    auto name = SectionName(lines_[i]);
    if (!name || !SameName(*name, section)) continue;
    std::size_t end = i + 1;
    while (end < lines_.size() && !SectionName(lines_[end])) ++end;
    return Located{i, end};
  }
  return std::nullopt;
}

std::optional<std::string> ProfileDocument::Get(std::string_view section,
                                                std::string_view key) const {
  auto located = FindSection(section);
  if (!located) return std::nullopt;
  for (std::size_t i = located->sectionLine + 1; i < located->end; ++i) {
    auto entry = ParseKeyLine(lines_[i]);
    if (entry && SameName(entry->key, key)) return std::string(entry->value);
  }
  return std::nullopt;
}

std::string ProfileDocument::EncodeValue(std::string_view value) {
  std::string out(value);
  for (char& c : out) {
    if (c == '\r' || c == '\n' || c == '\0') c = ' ';
  }
  bool needsQuotes = !out.empty() && (IsBlank(out.front()) || IsBlank(out.back()));
  if (out.size() >= 2 && (out.front() == '"' || out.front() == '\'') && out.back() == out.front()) {
    needsQuotes = true;
  }
  if (needsQuotes) out = '"' + out + '"';
  return out;
}

void ProfileDocument::Set(std::string_view section, std::string_view key, std::string_view value) {
  const std::string encoded = EncodeValue(value);
  auto located = FindSection(section);
  if (!located) {
    lines_.push_back("[" + std::string(section) + "]");
    lines_.push_back(std::string(key) + "=" + encoded);
    return;
  }
  std::size_t insertAt = located->sectionLine + 1;
  for (std::size_t i = located->sectionLine + 1; i < located->end; ++i) {
    auto entry = ParseKeyLine(lines_[i]);
    if (!entry) continue;
    if (SameName(entry->key, key)) {
      lines_[i] = std::string(entry->key) + "=" + encoded;
      return;
    }
    insertAt = i + 1;
  }
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt),
                std::string(key) + "=" + encoded);
}

std::string ProfileDocument::Serialize() const {
  std::string out;
  if (utf8_ && !utf16_) out += kUtf8Bom;
  for (const auto& line : lines_) {
    out += line;
    out += "\r\n";
  }
  if (utf16_) return std::string(kUtf16LeBom) + ToUtf16Le(FromUtf8(out));
  return out;
}

}  // namespace navelo
