#pragma once

#include <span>

#include "forms/form.h"

// Navelo's four windows: the start-up password dialog, the panel, the settings dialog and the
// about box.
namespace navelo::forms {

extern const Form kFrmPswd;
extern const Form kFrmNavelo;
extern const Form kFrmSet;
extern const Form kFrmAbout;

// All four, for checks that walk every form.
std::span<const Form* const> AllForms();

}  // namespace navelo::forms
