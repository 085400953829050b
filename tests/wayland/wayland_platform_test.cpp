// What the Wayland desktops decide without a compositor: the keymaps they type with, and which
// notice a Wayland session served through X11 gets.
#include <gtest/gtest.h>
#include <xkbcommon/xkbcommon.h>

#include <memory>
#include <set>

#include "platform/wayland/keymap.h"
#include "platform/x11/x11_desktop.h"

namespace navelo::platform {
namespace {

struct Xkb {
  xkb_context* context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
  ~Xkb() { xkb_context_unref(context); }
};

TEST(VirtualKeymap, EveryCharacterHasAnOrdinaryKeyOfItsOwnThatTypesItWithNoModifier) {
  const std::set<char32_t> characters{U'\t', U'A', U'z', U'1', U'+', U'^',  U'%', U'~',  U'(',
                                      U')',  U'{', U'}', U'[', U']', U'競', U'ｱ', U'Ｉ', U'😀'};
  const auto keymap = wayland::MakeVirtualKeymap(characters);
  ASSERT_TRUE(keymap);
  Xkb xkb;
  std::unique_ptr<xkb_keymap, void (*)(xkb_keymap*)> compiled(
      xkb_keymap_new_from_string(xkb.context, keymap->text.c_str(), XKB_KEYMAP_FORMAT_TEXT_V1,
                                 XKB_KEYMAP_COMPILE_NO_FLAGS),
      &xkb_keymap_unref);
  ASSERT_TRUE(compiled) << keymap->text;
  std::set<std::uint32_t> used;
  for (char32_t c : characters) {
    const std::uint32_t key = keymap->keys.at(c);
    EXPECT_TRUE(used.insert(key).second) << "a key of its own";
    // No modifier, Return, arrow, function or input-method key: a browser would take those for
    // the key whatever symbol the keymap gives it.
    EXPECT_TRUE(key == wayland::kEvdevTab || (key >= 2 && key <= 13) || (key >= 16 && key <= 27) ||
                (key >= 30 && key <= 41) || (key >= 43 && key <= 53) || key == 86)
        << key;
    const xkb_keysym_t* syms = nullptr;
    ASSERT_EQ(xkb_keymap_key_get_syms_by_level(compiled.get(), key + 8, 0, 0, &syms), 1);
    EXPECT_EQ(xkb_keysym_to_utf32(syms[0]), c);
  }
  // More characters than ordinary keys: refused, never typed in part.
  std::set<char32_t> many;
  for (char32_t c = U'一'; many.size() < 60; ++c) many.insert(c);
  EXPECT_FALSE(wayland::MakeVirtualKeymap(many));
}

TEST(LayoutKeys, CharactersAreTypedWithTheLayoutsKeysOrNotAtAll) {
  struct Case {
    const char* layout;
    char32_t character;
    std::optional<wayland::LayoutKeys::Key> key;
  } cases[] = {
      {"us", U'a', wayland::LayoutKeys::Key{30, false}},
      {"us", U'A', wayland::LayoutKeys::Key{30, true}},
      {"us", U'!', wayland::LayoutKeys::Key{2, true}},
      {"us", U'1', wayland::LayoutKeys::Key{2, false}},  // the main row, not the keypad
      {"us", U'\t', wayland::LayoutKeys::Key{15, false}},
      {"us", U'@', wayland::LayoutKeys::Key{3, true}},
      {"jp", U'@', wayland::LayoutKeys::Key{26, false}},
      {"us", U'競', std::nullopt},
      {"us", U'ü', std::nullopt},
  };
  Xkb xkb;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.layout) + " " + std::to_string(c.character));
    const xkb_rule_names names{"evdev", "pc105", c.layout, "", ""};
    xkb_keymap* compiled =
        xkb_keymap_new_from_names(xkb.context, &names, XKB_KEYMAP_COMPILE_NO_FLAGS);
    ASSERT_TRUE(compiled);
    char* text = xkb_keymap_get_as_string(compiled, XKB_KEYMAP_FORMAT_TEXT_V1);
    const wayland::LayoutKeys keys(text, 0);
    std::free(text);
    xkb_keymap_unref(compiled);
    ASSERT_TRUE(keys.ok());
    const auto key = keys.For(c.character);
    ASSERT_EQ(key.has_value(), c.key.has_value());
    if (key) {
      EXPECT_EQ(key->code, c.key->code);
      EXPECT_EQ(key->shift, c.key->shift);
    }
  }
}

TEST(DesktopChoice, AWaylandSessionServedThroughX11SaysWhatTheUserCanDo) {
  struct Case {
    const char* wayland;
    const char* desktop;
    DesktopNotice notice;
  } cases[] = {
      {"", "", DesktopNotice::kNone},
      {"", "KDE", DesktopNotice::kNone},
      {"wayland-0", "GNOME", DesktopNotice::kX11WindowsOnly},
      {"wayland-0", "KDE", DesktopNotice::kPlasmaNotGranted},
  };
  for (const Case& c : cases) {
    DesktopSession session;
    session.display = ":no-such-display";
    session.waylandDisplay = c.wayland;
    session.currentDesktop = c.desktop;
    const auto desktop = x11::MakeDesktop(session);
    ASSERT_TRUE(desktop);
    EXPECT_EQ(desktop->notice(), c.notice) << c.wayland << " " << c.desktop;
  }
}

}  // namespace
}  // namespace navelo::platform
