#include "dialogs/ui.h"

#include "panel/logic/placement.h"

namespace navelo::ui {

void PlaceTwips(QWidget* widget, int left, int top, int width, int height) {
  widget->setGeometry(TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width),
                      TwipsToPixels(height));
}

QFont GothicFont(bool proportional) {
  QFont font;
  if (proportional) {
    font.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"),
                      QStringLiteral("Noto Sans CJK JP"), QStringLiteral("IPAPGothic"),
                      QStringLiteral("VL PGothic")});
  } else {
    font.setFamilies({QStringLiteral("ＭＳ ゴシック"), QStringLiteral("MS Gothic"),
                      QStringLiteral("Noto Sans Mono CJK JP"), QStringLiteral("Noto Sans CJK JP"),
                      QStringLiteral("IPAGothic"), QStringLiteral("VL Gothic")});
  }
  font.setPixelSize(12);
  font.setWeight(QFont::Normal);
  return font;
}

}  // namespace navelo::ui
