#pragma once

#include <QFont>
#include <QString>
#include <QWidget>
#include <string>

namespace navelo::ui {

inline QString ToQString(std::u16string_view text) {
  return QString(reinterpret_cast<const QChar*>(text.data()), static_cast<qsizetype>(text.size()));
}

inline std::u16string FromQString(const QString& text) {
  return std::u16string(reinterpret_cast<const char16_t*>(text.utf16()),
                        static_cast<std::size_t>(text.size()));
}

// The program's icons (":/navelo/navelo.png", ":/navelo/browser.png"). Safe to call often.
void LoadResources();

// Places a child widget by its layout position in twips.
void PlaceTwips(QWidget* widget, int left, int top, int width, int height);

// The Japanese gothic font of the captions, 9 points (12 pixels at 96 dpi), falling back to an
// installed Japanese gothic face. The proportional face is also the dialogs' default font.
QFont GothicFont(bool proportional = false);

}  // namespace navelo::ui
