#include "dialogs/about_dialog.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QUrl>

#include "dialogs/logic/about.h"
#include "forms/geometry.h"
#include "settings/version.h"
#include "ui/ui.h"

namespace navelo {
namespace {

using ui::MakeControl;
using ui::ToQString;

QFont FontA() {
  QFont font = ui::GothicFont(true);
  font.setWeight(QFont::Bold);
  return font;
}

void Colour(QLabel* label, const char* rgb) {
  label->setStyleSheet(QStringLiteral("color: rgb(%1);").arg(QString::fromLatin1(rgb)));
}

}  // namespace

QString FileAddress(const std::string& path) {
  return QUrl::fromLocalFile(QString::fromStdString(path)).toString();
}

LinkLabel::LinkLabel(int index, QWidget* parent) : QLabel(parent), index_(index) {
  setMouseTracking(true);
  setCursor(Qt::PointingHandCursor);
}

void LinkLabel::mouseMoveEvent(QMouseEvent* event) {
  Q_EMIT hovered(index_);
  event->accept();  // the dialog's surface must not see it
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
    Q_EMIT clicked(index_);
  }
  QLabel::mouseReleaseEvent(event);
}

AboutDialog::AboutDialog(Context context, QWidget* parent)
    : QDialog(parent), ctx_(std::move(context)) {
  setObjectName(QStringLiteral("frmAbout"));
  ui::LoadResources();
  setFont(ui::GothicFont(true));
  // Fixed dialog border with window menu and close box, no minimise or maximise box.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  setFixedSize(TwipsToPixels(5730), TwipsToPixels(4890));
  setMouseTracking(true);
  setWindowTitle(ToQString(kProgramTitle) + ToQString(u"のﾊﾞｰｼﾞｮﾝ情報"));

  auto* icon = MakeControl<QLabel>(this, "picIcon", 240, 240, 540, 540);
  icon->setPixmap(QPixmap(QStringLiteral(":/navelo/navelo.png")));
  icon->setFrameShape(QFrame::Box);
  icon->setAlignment(Qt::AlignCenter);
  auto* title =
      MakeControl<QLabel>(this, "lblTitle", 1050, 240, 3885, 240, ToQString(kProgramTitle));
  Colour(title, "0, 0, 0");
  MakeControl<QLabel>(
      this, "lblVersion", 1050, 540, 3885, 225,
      ToQString(u"ﾊﾞｰｼﾞｮﾝ ") +
          QStringLiteral("%1.%2.%3").arg(kVersionMajor).arg(kVersionMinor).arg(kVersionRevision));
  auto* description =
      MakeControl<QLabel>(this, "lblDescription", 1020, 810, 3885, 480,
                          ToQString(u"このプログラムは、ＩＰＡＴで加入者番号等を入力する手間を省く"
                                    u"ためのＩＰＡＴ入力支援ソフトです。"));
  description->setWordWrap(true);
  Colour(description, "0, 0, 0");

  // Three local addresses that certainly exist for every installation.
  struct Link {
    const char* nameLabel;
    const char16_t* name;
    int nameRect[4];
    int linkRect[4];
    QString address;
    const char* noteLabel;
    const char16_t* note;
    int noteRect[4];
  };
  const Link links[] = {
      {"Label1",
       u"説明書",
       {90, 1410, 1815, 225},
       {1980, 1410, 3525, 255},
       FileAddress(ctx_.programDirectory + "/Readme.txt"),
       "Label2",
       u"使い方、ボタンと設定の説明です。",
       {660, 1650, 4845, 405}},
      {"Label3",
       u"プログラムの場所",
       {60, 2160, 1845, 225},
       {2010, 2160, 2775, 255},
       FileAddress(ctx_.programDirectory),
       "Label4",
       u"Navelo と設定ファイルのあるフォルダーです。",
       {630, 2400, 4845, 405}},
      {"Label5",
       u"設定ファイル",
       {90, 2910, 1785, 225},
       {1980, 2940, 2775, 255},
       FileAddress(ctx_.settingsFile),
       "Label6",
       u"登録した情報は暗号化して保存されます。編集はNaveloを閉じてから。",
       {630, 3210, 4845, 405}},
  };
  for (int i = 0; i < 3; ++i) {
    const Link& l = links[i];
    auto* name = MakeControl<QLabel>(this, l.nameLabel, l.nameRect[0], l.nameRect[1], l.nameRect[2],
                                     l.nameRect[3], ToQString(l.name));
    QFont italic = FontA();
    italic.setItalic(true);
    name->setFont(italic);
    name->setAlignment(Qt::AlignCenter);
    auto* link = new LinkLabel(i, this);
    link->setObjectName(QStringLiteral("lblUrl"));
    link->setProperty("index", i);
    ui::PlaceTwips(link, l.linkRect[0], l.linkRect[1], l.linkRect[2], l.linkRect[3]);
    link->setText(l.address);
    QFont underlined = FontA();
    underlined.setUnderline(true);
    link->setFont(underlined);
    Colour(link, "0, 0, 255");
    connect(link, &LinkLabel::hovered, this, [this](int index) { SetItalic(index, true); });
    connect(link, &LinkLabel::clicked, this, [this](int index) {
      ctx_.shell.Open(ui::FromQString(links_[static_cast<std::size_t>(index)]->text()));
    });
    links_[static_cast<std::size_t>(i)] = link;
    auto* note = MakeControl<QLabel>(this, l.noteLabel, l.noteRect[0], l.noteRect[1], l.noteRect[2],
                                     l.noteRect[3], ToQString(l.note));
    note->setWordWrap(true);
    Colour(note, "255, 0, 0");
  }

  auto* disclaimer =
      MakeControl<QLabel>(this, "lblDisclaimer", 255, 3975, 3870, 825,
                          ToQString(u"無保証です。IPAT・CLUB A-PATの運営者とは無関係です。"
                                    u"利用による損害に作者は責任を負いません。"));
  disclaimer->setWordWrap(true);
  Colour(disclaimer, "0, 0, 0");

  auto* ok = MakeControl<QPushButton>(this, "cmdOK", 4245, 3975, 1380, 345, QStringLiteral("OK"));
  ok->setDefault(true);  // Enter presses it; Esc closes the dialog as well
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  auto* sysInfo = MakeControl<QPushButton>(this, "cmdSysInfo", 4260, 4425, 1380, 345,
                                           ToQString(u"ｼｽﾃﾑ情報(&S)..."));
  connect(sysInfo, &QPushButton::clicked, this,
          [this] { RunSystemInfo(ctx_.sysInfo, ctx_.messages); });
  setTabOrder(ok, sysInfo);
  setGeometry(TwipsToPixels(4230), TwipsToPixels(2430), width(), height());
}

void AboutDialog::SetItalic(int index, bool italic) {
  LinkLabel* link = links_[static_cast<std::size_t>(index)];
  QFont font = link->font();
  font.setItalic(italic);
  link->setFont(font);
}

void AboutDialog::mouseMoveEvent(QMouseEvent* event) {
  // Over the dialog's own surface every link turns upright again; a move over another label or a
  // button that reaches here changes nothing.
  if (childAt(event->position().toPoint()) == nullptr) {
    for (int i = 0; i < 3; ++i) SetItalic(i, false);
  }
  QDialog::mouseMoveEvent(event);
}

void AboutDialog::paintEvent(QPaintEvent* event) {
  QDialog::paintEvent(event);
  // An etched rule: a grey line with a white one below it.
  QPainter painter(this);
  painter.setPen(QPen(QColor(128, 128, 128), 1));
  painter.drawLine(TwipsToPixels(90), TwipsToPixels(3795), TwipsToPixels(5654),
                   TwipsToPixels(3795));
  painter.setPen(QPen(QColor(255, 255, 255), 2));
  painter.drawLine(TwipsToPixels(105), TwipsToPixels(3810), TwipsToPixels(5654),
                   TwipsToPixels(3810));
}

}  // namespace navelo
