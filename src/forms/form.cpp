#include "forms/form.h"

#include <algorithm>

namespace navelo::forms {

const Control* FindControl(const Form& form, std::string_view name, int index) {
  for (const Control& c : form.controls) {
    if (c.name == name && (index < 0 || c.index == index)) return &c;
  }
  return nullptr;
}

const Menu* FindMenu(const Form& form, std::string_view name, int index) {
  for (const Menu& m : form.menus) {
    if (m.name == name && (index < 0 || m.index == index)) return &m;
  }
  return nullptr;
}

Font EffectiveFont(const Form& form, const Control& control) {
  Font font = control.font;
  if (font.face == Face::kForm) font.face = form.defaultFace;
  return font;
}

std::vector<const Control*> TabOrder(const Form& form) {
  std::vector<const Control*> order;
  for (const Control& c : form.controls) {
    if (c.Focusable() && c.tabIndex != kNoTab) order.push_back(&c);
  }
  std::stable_sort(order.begin(), order.end(),
                   [](const Control* a, const Control* b) { return a->tabIndex < b->tabIndex; });
  return order;
}

}  // namespace navelo::forms
