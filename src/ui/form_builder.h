#pragma once

#include <QAction>
#include <QFont>
#include <QLabel>
#include <QWidget>
#include <string_view>

#include "forms/form.h"

class QMainWindow;

// Draws Navelo's forms with Qt Widgets from their descriptions. Every control becomes a child
// named as in its description (a control array's members carry an "index" property), so the
// windows attach behaviour by name.
namespace navelo::ui {

// The window itself: object name, caption, title-bar buttons, default font and, for a dialog,
// the fixed size of its client area.
void BuildWindow(const forms::Form& form, QWidget* window, Qt::WindowType type);

// Every control of `form`, placed in twips inside `client` (the window, or the panel's central
// widget), with its fonts, colours, masks and tab order.
void BuildControls(const forms::Form& form, QWidget* client);

// The menu bar and the popup menus.
void BuildMenus(const forms::Form& form, QMainWindow* window);

// Moves the window so that its client area opens where the form says.
void PlaceAtOpening(const forms::Form& form, QWidget* window);

// The Qt font of a description's font.
QFont FontOf(const forms::Font& font);

// A link's label: shows its whole text when it fits, otherwise cut in the middle so the file name
// at its end stays readable; text() is what it shows, wholeText() what it was given.
class LinkLabel final : public QLabel {
 public:
  explicit LinkLabel(QWidget* parent) : QLabel(parent) {}
  void SetWholeText(const QString& text);
  const QString& wholeText() const { return whole_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void Fit();
  QString whole_;
};

// The child of `root` built for a control or menu item, or nullptr.
QObject* FindBuilt(const QObject* root, std::string_view name, int index = -1);
template <typename T>
T* Built(const QObject* root, std::string_view name, int index = -1) {
  return qobject_cast<T*>(FindBuilt(root, name, index));
}

}  // namespace navelo::ui
