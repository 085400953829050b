#pragma once

#include <string>

namespace navelo {

// The amount keypad: digits pressed since the last clear, shown with "00" appended (the keys
// enter hundreds).
class Keypad {
 public:
  // Appends a digit and returns the amount box's new text.
  std::u16string Press(int digit);
  // The clear button: the amount box empties and so does the accumulator.
  void Clear() { digits_.clear(); }
  // After a vote the next digit starts a new amount; the box keeps what was sent.
  void AfterVote() { digits_.clear(); }
  const std::u16string& digits() const { return digits_; }

 private:
  std::u16string digits_;
};

}  // namespace navelo
