#include "ui/ui.h"

#include "forms/geometry.h"

// Resources compiled into a static library must be registered by name, outside any namespace.
static void RegisterNaveloResources() {
  Q_INIT_RESOURCE(resources);
}

namespace navelo::ui {

void LoadResources() {
  static const bool registered = [] {
    RegisterNaveloResources();
    return true;
  }();
  (void)registered;
}

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
