#include "panel/logic/keypad.h"

namespace navelo {

std::u16string Keypad::Press(int digit) {
  if (digit >= 0 && digit <= 9) digits_.push_back(static_cast<char16_t>(u'0' + digit));
  return digits_ + u"00";
}

}  // namespace navelo
