#include "platform/wayland/keymap.h"

#include <xkbcommon/xkbcommon.h>

#include <iterator>
#include <memory>

namespace navelo::platform::wayland {
namespace {

// XKB keycodes are evdev codes plus 8.
constexpr std::uint32_t kXkbOffset = 8;
constexpr std::uint32_t kXkbTab = kEvdevTab + kXkbOffset;

// The keys that carry the characters: the evdev codes of a keyboard's ordinary character keys
// (digits, letters, punctuation). Programs read more than the symbol from a key's code: a browser
// takes the code of a modifier, Enter, an arrow or an input-method key for that key whatever
// symbol it types, so those codes are never used.
constexpr std::uint32_t kCharacterKeys[] = {
    2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13,  // 1 to 0, minus, equal
    16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27,  // Q to P, brackets
    30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40, 41,  // A to L, semicolon, apostrophe, grave
    43, 44, 45, 46, 47, 48, 49, 50, 51, 52, 53, 86,  // backslash, Z to M, comma, dot, slash, 102nd
};

std::uint32_t KeysymOf(char32_t c) {
  return c == U'\t' ? XKB_KEY_Tab : xkb_utf32_to_keysym(c);
}

struct XkbFree {
  void operator()(xkb_context* c) const { xkb_context_unref(c); }
  void operator()(xkb_keymap* k) const { xkb_keymap_unref(k); }
};

bool IsKeypad(xkb_keysym_t sym) {
  return sym >= XKB_KEY_KP_Space && sym <= XKB_KEY_KP_Equal;
}

}  // namespace

std::optional<VirtualKeymap> MakeVirtualKeymap(const std::set<char32_t>& characters) {
  VirtualKeymap map;
  std::string codes = "  <TAB> = " + std::to_string(kXkbTab) + ";\n";
  std::string symbols = "  key <TAB> { [ Tab ] };\n";
  std::size_t next = 0;
  for (char32_t c : characters) {
    if (c == U'\t') {
      map.keys[c] = kEvdevTab;
      continue;
    }
    const xkb_keysym_t sym = KeysymOf(c);
    char name[64];
    if (sym == XKB_KEY_NoSymbol || next == std::size(kCharacterKeys) ||
        xkb_keysym_get_name(sym, name, sizeof name) <= 0) {
      return std::nullopt;
    }
    const std::uint32_t evdev = kCharacterKeys[next++];
    const std::string key = "<N" + std::to_string(evdev) + ">";
    codes += "  " + key + " = " + std::to_string(evdev + kXkbOffset) + ";\n";
    symbols += "  key " + key + " { [ " + name + " ] };\n";
    map.keys[c] = evdev;
  }
  // The types and the compatibility map are the standard ones: a keymap without them would not
  // declare the virtual modifiers XWayland expects, and it would be replaced by a default one.
  map.text = "xkb_keymap {\nxkb_keycodes \"navelo\" {\n  minimum = 8;\n  maximum = 255;\n" + codes +
             "};\nxkb_types \"navelo\" { include \"complete\" };\n"
             "xkb_compatibility \"navelo\" { include \"complete\" };\n"
             "xkb_symbols \"navelo\" {\n" +
             symbols + "};\n};\n";
  return map;
}

LayoutKeys::LayoutKeys(const std::string& keymap, std::uint32_t group) {
  std::unique_ptr<xkb_context, XkbFree> context(xkb_context_new(XKB_CONTEXT_NO_FLAGS));
  if (!context) return;
  std::unique_ptr<xkb_keymap, XkbFree> map(xkb_keymap_new_from_string(
      context.get(), keymap.c_str(), XKB_KEYMAP_FORMAT_TEXT_V1, XKB_KEYMAP_COMPILE_NO_FLAGS));
  if (!map) return;
  const xkb_mod_mask_t shift = 1u << xkb_keymap_mod_get_index(map.get(), XKB_MOD_NAME_SHIFT);
  const xkb_keycode_t min = xkb_keymap_min_keycode(map.get());
  const xkb_keycode_t max = xkb_keymap_max_keycode(map.get());
  for (xkb_keycode_t code = min; code <= max && code >= kXkbOffset; ++code) {
    const xkb_layout_index_t layouts = xkb_keymap_num_layouts_for_key(map.get(), code);
    if (layouts == 0) continue;
    const xkb_layout_index_t layout = group < layouts ? group : 0;
    const xkb_level_index_t levels = xkb_keymap_num_levels_for_key(map.get(), code, layout);
    for (xkb_level_index_t level = 0; level < levels; ++level) {
      // How the level is reached: with no modifier, or with Shift alone.
      xkb_mod_mask_t masks[16];
      const std::size_t n =
          xkb_keymap_key_get_mods_for_level(map.get(), code, layout, level, masks, 16);
      bool plain = false, shifted = false;
      for (std::size_t i = 0; i < n; ++i) {
        plain = plain || masks[i] == 0;
        shifted = shifted || masks[i] == shift;
      }
      if (!plain && !shifted) continue;
      const xkb_keysym_t* syms = nullptr;
      if (xkb_keymap_key_get_syms_by_level(map.get(), code, layout, level, &syms) != 1) continue;
      if (IsKeypad(syms[0])) continue;
      auto it = keys_.find(syms[0]);
      if (it == keys_.end() || (it->second.shift && plain)) {
        keys_[syms[0]] = Key{code - kXkbOffset, !plain};
      }
    }
  }
}

LayoutKeys::~LayoutKeys() = default;

std::optional<LayoutKeys::Key> LayoutKeys::For(char32_t character) const {
  auto it = keys_.find(KeysymOf(character));
  if (it == keys_.end()) return std::nullopt;
  return it->second;
}

}  // namespace navelo::platform::wayland
