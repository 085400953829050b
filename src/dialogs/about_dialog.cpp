#include "dialogs/about_dialog.h"

#include <QFileInfo>
#include <QMouseEvent>
#include <QPushButton>
#include <QUrl>

#include "dialogs/logic/about.h"
#include "forms/layouts.h"
#include "settings/version.h"
#include "ui/form_builder.h"
#include "ui/ui.h"

namespace navelo {

QString FileAddress(const std::string& path) {
  return QUrl::fromLocalFile(QString::fromStdString(path)).toString();
}

AboutDialog::AboutDialog(Context context, QWidget* parent)
    : QDialog(parent), ctx_(std::move(context)) {
  ui::BuildWindow(forms::kFrmAbout, this, Qt::Dialog);
  ui::BuildControls(forms::kFrmAbout, this);
  setMouseTracking(true);
  setWindowTitle(ui::ToQString(kProgramTitle) + ui::ToQString(u"のﾊﾞｰｼﾞｮﾝ情報"));
  ui::Built<QLabel>(this, "lblTitle")->setText(ui::ToQString(kProgramTitle));
  ui::Built<QLabel>(this, "lblVersion")
      ->setText(
          ui::ToQString(u"ﾊﾞｰｼﾞｮﾝ ") +
          QStringLiteral("%1.%2.%3").arg(kVersionMajor).arg(kVersionMinor).arg(kVersionRevision));

  // Three local addresses that certainly exist for every installation: until the settings file
  // has been saved for the first time, its link leads to the folder it will be saved in.
  const QFileInfo settingsFile(QString::fromStdString(ctx_.settingsFile));
  const QString addresses[] = {
      FileAddress(ctx_.programDirectory + "/Readme.txt"), FileAddress(ctx_.programDirectory),
      FileAddress(settingsFile.exists() ? ctx_.settingsFile
                                        : settingsFile.absolutePath().toStdString())};
  for (int i = 0; i < 3; ++i) {
    QLabel* link = ui::Built<QLabel>(this, "lblUrl", i);
    link->setText(addresses[i]);
    link->setMouseTracking(true);
    link->setCursor(Qt::PointingHandCursor);
    link->installEventFilter(this);
    links_[static_cast<std::size_t>(i)] = link;
  }
  connect(ui::Built<QPushButton>(this, "cmdOK"), &QPushButton::clicked, this, &QDialog::accept);
  connect(ui::Built<QPushButton>(this, "cmdSysInfo"), &QPushButton::clicked, this,
          [this] { RunSystemInfo(ctx_.sysInfo, ctx_.messages); });
  ui::PlaceAtOpening(forms::kFrmAbout, this);
}

bool AboutDialog::eventFilter(QObject* watched, QEvent* event) {
  for (std::size_t i = 0; i < links_.size(); ++i) {
    if (watched != links_[i]) continue;
    if (event->type() == QEvent::MouseMove) {
      SetItalic(static_cast<int>(i), true);
      return true;  // the dialog's surface must not see it
    }
    if (event->type() == QEvent::MouseButtonRelease) {
      auto* release = static_cast<QMouseEvent*>(event);
      if (release->button() == Qt::LeftButton &&
          links_[i]->rect().contains(release->position().toPoint())) {
        ctx_.shell.Open(ui::FromQString(links_[i]->text()));
      }
    }
  }
  return QDialog::eventFilter(watched, event);
}

void AboutDialog::SetItalic(int index, bool italic) {
  QLabel* link = links_[static_cast<std::size_t>(index)];
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

}  // namespace navelo
