#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Navelo's windows as data: every control's name, kind, container, caption, twips geometry, tab
// order, font, colours and input flags, and the menus. A front end draws a window by walking its
// description and attaches behaviour by control name; nothing here knows a toolkit.
namespace navelo::forms {

enum class Kind : std::uint8_t {
  kLabel,
  kTextBox,
  kButton,
  kCheckBox,
  kFrame,    // a captioned group; its children are placed relative to it
  kPicture,  // an image, layout only
  kLine,     // from (left, top) to (left + width, top + height)
  kTimer,    // no geometry; `interval` in milliseconds
};

// Font faces by role. Normal weight unless `bold`.
enum class Face : std::uint8_t {
  kForm,     // the form's default font
  kSystem,   // the toolkit's default font (a form default only)
  kGothic,   // the fixed-pitch Japanese gothic of captions
  kPGothic,  // the proportional Japanese gothic, the dialogs' default font
};

struct Font {
  Face face = Face::kForm;
  bool bold = false;
  bool italic = false;
  bool underline = false;
  double points = 9;

  friend constexpr bool operator==(const Font&, const Font&) = default;
};

enum class Align : std::uint8_t { kLeft, kCenter, kRight };
enum class Border : std::uint8_t { kNone, kSingle };
enum class Picture : std::uint8_t { kNone, kProgramIcon, kBrowserIcon };

// Colours as 0xRRGGBB; kNoColour keeps the toolkit's own.
using Colour = std::int32_t;
inline constexpr Colour kNoColour = -1;
constexpr Colour Rgb(int r, int g, int b) {
  return (r << 16) | (g << 8) | b;
}
inline constexpr Colour kBlack = Rgb(0, 0, 0);
inline constexpr Colour kWhite = Rgb(255, 255, 255);
inline constexpr Colour kGrey = Rgb(128, 128, 128);
inline constexpr Colour kRed = Rgb(255, 0, 0);
inline constexpr Colour kBlue = Rgb(0, 0, 255);

inline constexpr int kNoTab = -1;

// One control. Positions are twips relative to the container (the form's client area when
// `container` is empty). Built in tables with the kind functions below and the modifiers.
struct Control {
  // A copy with one field changed; the modifiers below are made of it. (Defined before them: clang
  // 14 cannot evaluate a member template defined later in the class in a constant expression.)
  template <typename T, typename V>
  constexpr Control With(T Control::*field, V value) const {
    Control c = *this;
    c.*field = value;
    return c;
  }

  std::string_view name;
  int index = -1;  // member of a control array when >= 0
  Kind kind = Kind::kLabel;
  std::string_view container;
  std::u16string_view caption;
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  int tabIndex = kNoTab;
  bool visible = true;
  bool tabStop = true;  // buttons, text boxes and check boxes take the focus unless cleared
  Font font;
  Colour foreColour = kNoColour;
  Colour backColour = kNoColour;
  Border border = Border::kNone;
  char16_t passwordChar = 0;  // every character shown as this one when set
  bool imeOff = false;        // the input method is switched off
  Align align = Align::kLeft;
  bool wordWrap = false;
  bool isDefault = false;  // Enter anywhere in the form presses it
  bool isCancel = false;   // Escape presses it
  // A label that opens what it shows: the pointer turns into a hand, and a text too long for it is
  // cut in the middle (keeping the file name at its end) rather than at the end.
  bool link = false;
  Picture picture = Picture::kNone;
  int lineWidth = 1;  // pixels, lines only
  int interval = 0;   // milliseconds, timers only

  constexpr bool Focusable() const {
    return tabStop && (kind == Kind::kButton || kind == Kind::kTextBox || kind == Kind::kCheckBox);
  }

  constexpr Control At(int i) const { return With(&Control::index, i); }
  constexpr Control In(std::string_view frame) const { return With(&Control::container, frame); }
  constexpr Control Tab(int i) const { return With(&Control::tabIndex, i); }
  constexpr Control NoFocus() const { return With(&Control::tabStop, false); }
  constexpr Control DrawnIn(Face face) const {
    Control c = *this;
    c.font.face = face;
    return c;
  }
  constexpr Control Gothic() const { return DrawnIn(Face::kGothic); }
  constexpr Control Bold(bool italic, bool underline) const {
    Control c = *this;
    c.font = {Face::kPGothic, true, italic, underline};
    return c;
  }
  constexpr Control Points(double points) const {
    Control c = *this;
    c.font.points = points;
    return c;
  }
  constexpr Control Fore(Colour colour) const { return With(&Control::foreColour, colour); }
  constexpr Control Back(Colour colour) const { return With(&Control::backColour, colour); }
  constexpr Control Bordered() const { return With(&Control::border, Border::kSingle); }
  constexpr Control Masked() const { return With(&Control::passwordChar, u'*'); }
  constexpr Control ImeOff() const { return With(&Control::imeOff, true); }
  constexpr Control Aligned(Align a) const { return With(&Control::align, a); }
  constexpr Control Wrapped() const { return With(&Control::wordWrap, true); }
  constexpr Control Default() const { return With(&Control::isDefault, true); }
  constexpr Control Cancel() const { return With(&Control::isCancel, true); }
  constexpr Control Link() const { return With(&Control::link, true); }
  constexpr Control Shows(Picture p) const { return With(&Control::picture, p); }
  constexpr Control Pen(Colour colour, int pixels) const {
    return Fore(colour).With(&Control::lineWidth, pixels);
  }
};

constexpr Control Make(Kind kind, std::string_view name, std::u16string_view caption, int left,
                       int top, int width, int height) {
  Control c;
  c.name = name;
  c.kind = kind;
  c.caption = caption;
  c.left = left;
  c.top = top;
  c.width = width;
  c.height = height;
  return c;
}
constexpr Control Label(std::string_view name, std::u16string_view caption, int l, int t, int w,
                        int h) {
  return Make(Kind::kLabel, name, caption, l, t, w, h);
}
constexpr Control TextBox(std::string_view name, int l, int t, int w, int h) {
  return Make(Kind::kTextBox, name, {}, l, t, w, h);
}
constexpr Control Button(std::string_view name, std::u16string_view caption, int l, int t, int w,
                         int h) {
  return Make(Kind::kButton, name, caption, l, t, w, h);
}
constexpr Control CheckBox(std::string_view name, std::u16string_view caption, int l, int t, int w,
                           int h) {
  return Make(Kind::kCheckBox, name, caption, l, t, w, h);
}
constexpr Control Frame(std::string_view name, std::u16string_view caption, int l, int t, int w,
                        int h) {
  return Make(Kind::kFrame, name, caption, l, t, w, h);
}
constexpr Control PictureBox(std::string_view name, int l, int t, int w, int h) {
  return Make(Kind::kPicture, name, {}, l, t, w, h);
}
constexpr Control Line(std::string_view name, int x1, int y1, int x2, int y2) {
  return Make(Kind::kLine, name, {}, x1, y1, x2 - x1, y2 - y1);
}
constexpr Control Timer(std::string_view name, int interval) {
  Control c = Make(Kind::kTimer, name, {}, 0, 0, 0, 0);
  c.interval = interval;
  return c;
}

// A menu item. Items with an empty `parent` sit in the menu bar unless not `visible` (then the
// menu is used only as a popup menu).
struct Menu {
  std::string_view name;
  int index = -1;
  std::u16string_view caption;
  std::string_view parent;
  bool visible = true;
};

enum class FormBorder : std::uint8_t {
  kFixedSingle,  // fixed single border
  kFixedDialog,  // fixed dialog border
};

inline constexpr int kNotPlaced = -1;

struct Form {
  std::string_view name;
  std::u16string_view caption;  // the layout's caption; a load handler may replace it
  int clientWidth = 0;          // twips
  int clientHeight = 0;
  int left = kNotPlaced;  // where the client area opens on the screen, in twips
  int top = kNotPlaced;
  FormBorder border = FormBorder::kFixedSingle;
  bool windowMenu = false;
  bool closeBox = false;
  bool minimizeBox = false;
  bool maximizeBox = false;
  Face defaultFace = Face::kSystem;
  std::span<const Control> controls;
  std::span<const Menu> menus;
};

// The control of that name (and index, for control arrays), or nullptr.
const Control* FindControl(const Form& form, std::string_view name, int index = -1);
const Menu* FindMenu(const Form& form, std::string_view name, int index = -1);

// The font a control is drawn in: its own face, or the form's default for Face::kForm.
Font EffectiveFont(const Form& form, const Control& control);

// The controls that take the focus, in the order the Tab key visits them.
std::vector<const Control*> TabOrder(const Form& form);

}  // namespace navelo::forms
