#include "dialogs/settings_dialog.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "forms/layouts.h"
#include "settings/version.h"
#include "ui/form_builder.h"
#include "ui/ui.h"

namespace navelo {
namespace {

using ui::Built;
using ui::ToQString;

void SetBox(QCheckBox* box, const OptionBox& option) {
  box->setTristate(option.state == 2);
  box->setCheckState(option.state == 0   ? Qt::Unchecked
                     : option.state == 1 ? Qt::Checked
                                         : Qt::PartiallyChecked);
}

OptionBox ReadBox(const QCheckBox* box, const OptionBox& loaded) {
  OptionBox option = loaded;
  const int state = box->checkState() == Qt::Unchecked ? 0
                    : box->checkState() == Qt::Checked ? 1
                                                       : 2;
  option.changed = state != loaded.state;
  option.state = state;
  return option;
}

}  // namespace

SettingsDialog::SettingsDialog(Context context, QWidget* parent)
    : QDialog(parent), ctx_(std::move(context)) {
  ui::BuildWindow(forms::kFrmSet, this, Qt::Dialog);
  ui::BuildControls(forms::kFrmSet, this);
  txtNetId_ = Built<QLineEdit>(this, "txtNetId");
  txtId_ = Built<QLineEdit>(this, "txtId");
  txtPswd_ = Built<QLineEdit>(this, "txtPswd");
  txtPars_ = Built<QLineEdit>(this, "txtPars");
  txtApatPswd_ = Built<QLineEdit>(this, "txtApatPswd");
  txtChienTime_ = Built<QLineEdit>(this, "txtChienTime");
  txtNavelo_Pswd_ = Built<QLineEdit>(this, "txtNavelo_Pswd");
  for (int i = 0; i < 3; ++i) {
    txtIpatURL_[static_cast<std::size_t>(i)] = Built<QLineEdit>(this, "txtIpatURL", i);
  }
  lblAct_ = Built<QLabel>(this, "lblAct");
  lblTouTitle_ = Built<QLabel>(this, "lblTouTitle");
  lblShoTitle_ = Built<QLabel>(this, "lblShoTitle");
  lblVersion_ = Built<QLabel>(this, "lblVersion");
  optZen_ = Built<QCheckBox>(this, "optZen");
  optMin_ = Built<QCheckBox>(this, "optMin");
  optAct_ = Built<QCheckBox>(this, "optAct");
  optChien_ = Built<QCheckBox>(this, "optChien");

  connect(optChien_, &QCheckBox::stateChanged, this,
          [this](int state) { txtChienTime_->setEnabled(state != Qt::Unchecked); });
  connect(Built<QPushButton>(this, "cmdOk"), &QPushButton::clicked, this, &SettingsDialog::OnOk);
  connect(Built<QPushButton>(this, "cmdCan"), &QPushButton::clicked, this, &QDialog::reject);
  connect(Built<QPushButton>(this, "cmdTouHen"), &QPushButton::clicked, this,
          [this] { Capture(TitleTarget::kVote); });
  connect(Built<QPushButton>(this, "cmdShoHen"), &QPushButton::clicked, this,
          [this] { Capture(TitleTarget::kInquiry); });
}

void SettingsDialog::ShowModal() {
  Load();
  // Not centred: the client area opens at a fixed place on the screen.
  ui::PlaceAtOpening(forms::kFrmSet, this);
  Built<QPushButton>(this, "cmdOk")->setFocus();
  exec();
}

void SettingsDialog::Load() {
  loaded_ = LoadSettingsForm(ctx_.record, ctx_.targets, ctx_.addresses);
  for (const auto& [name, text] : loaded_.texts) {
    QWidget* control = findChild<QWidget*>(ui::ToQString(name));
    if (auto* box = qobject_cast<QLineEdit*>(control)) box->setText(ToQString(text));
    if (auto* label = qobject_cast<QLabel*>(control)) label->setText(ToQString(text));
  }
  for (const auto& [name, option] : loaded_.options) {
    if (auto* box = findChild<QCheckBox*>(ui::ToQString(name))) SetBox(box, option);
  }
  lblAct_->setText(ToQString(loaded_.lblAct));
  for (std::size_t i = 0; i < 3; ++i) txtIpatURL_[i]->setText(ToQString(loaded_.txtIpatURL[i]));
  txtNavelo_Pswd_->setText(ToQString(loaded_.txtNavelo_Pswd));
  txtChienTime_->setEnabled(optChien_->checkState() != Qt::Unchecked);
  lblVersion_->setText(QStringLiteral("Version %1.%2.%3")
                           .arg(kVersionMajor)
                           .arg(kVersionMinor)
                           .arg(kVersionRevision));
}

SettingsForm SettingsDialog::Read() const {
  SettingsForm form = loaded_;
  for (auto& [name, text] : form.texts) {
    const QWidget* control = findChild<QWidget*>(ui::ToQString(name));
    if (auto* box = qobject_cast<const QLineEdit*>(control)) text = ui::FromQString(box->text());
    if (auto* label = qobject_cast<const QLabel*>(control)) text = ui::FromQString(label->text());
  }
  for (auto& [name, option] : form.options) {
    if (auto* box = findChild<QCheckBox*>(ui::ToQString(name))) option = ReadBox(box, option);
  }
  form.lblAct = ui::FromQString(lblAct_->text());
  for (std::size_t i = 0; i < 3; ++i) form.txtIpatURL[i] = ui::FromQString(txtIpatURL_[i]->text());
  form.txtNavelo_Pswd = ui::FromQString(txtNavelo_Pswd_->text());
  return form;
}

void SettingsDialog::OnOk() {
  if (AcceptSettingsForm(Read(), ctx_)) accept();
}

void SettingsDialog::Capture(TitleTarget target) {
  const std::u16string title = ui::FromQString(lblAct_->text());
  ctx_.messages.Show(CaptureMessage(target, title));
  (target == TitleTarget::kVote ? lblTouTitle_ : lblShoTitle_)->setText(ToQString(title));
}

void SettingsDialog::keyPressEvent(QKeyEvent* event) {
  // Neither Enter nor Escape closes the dialog; Enter on a focused button has pressed it already.
  if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_Return ||
      event->key() == Qt::Key_Enter) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

}  // namespace navelo
