#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>

namespace navelo::platform::wayland {

// Keys are evdev key codes, as Wayland's keyboards send them (the XKB keycode less 8).
inline constexpr std::uint32_t kEvdevTab = 15;
inline constexpr std::uint32_t kEvdevLeftShift = 42;

// A keymap of Navelo's own, for a virtual keyboard: Tab on the Tab key, and one key for each other
// character it is to type, typing that character with no modifier, whatever the user's layout.
struct VirtualKeymap {
  std::string text;                        // the XKB keymap, in its text form
  std::map<char32_t, std::uint32_t> keys;  // character -> evdev key code
};
// Nothing when a character has no key symbol or there are more than the keymap can hold.
std::optional<VirtualKeymap> MakeVirtualKeymap(const std::set<char32_t>& characters);

// The user's own keyboard layout, for a keyboard that types through it: which key, with or without
// Shift, gives a character in the current group.
class LayoutKeys {
 public:
  struct Key {
    std::uint32_t code = 0;  // evdev
    bool shift = false;
  };
  // `keymap`: an XKB keymap in its text form, as the compositor hands it to its clients.
  LayoutKeys(const std::string& keymap, std::uint32_t group);
  ~LayoutKeys();
  bool ok() const { return !keys_.empty(); }
  // The key for a character: without Shift where there is one, else with it; none when the
  // layout has no such key.
  std::optional<Key> For(char32_t character) const;

 private:
  std::map<std::uint32_t, Key> keys_;  // key symbol -> key
};

}  // namespace navelo::platform::wayland
