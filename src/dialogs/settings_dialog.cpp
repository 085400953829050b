#include "dialogs/settings_dialog.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "forms/geometry.h"
#include "settings/version.h"
#include "ui/ui.h"

namespace navelo {
namespace {

using ui::MakeControl;
using ui::ToQString;

void Red(QLabel* label) {
  label->setStyleSheet(QStringLiteral("color: rgb(255, 0, 0);"));
}

// A title shown in a coloured, bordered box.
QLabel* TitleBox(QWidget* parent, const char* name, int l, int t, int w, int h, const char* rgb) {
  auto* label = MakeControl<QLabel>(parent, name, l, t, w, h);
  label->setStyleSheet(QStringLiteral("background-color: rgb(%1); border: 1px solid black;")
                           .arg(QString::fromLatin1(rgb)));
  return label;
}

QLineEdit* TextBox(QWidget* parent, const char* name, int l, int t, int w, int h, bool masked,
                   bool inputMethod = false) {
  auto* box = MakeControl<QLineEdit>(parent, name, l, t, w, h);
  if (masked) box->setEchoMode(QLineEdit::Password);
  box->setAttribute(Qt::WA_InputMethodEnabled, inputMethod);
  return box;
}

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
  setObjectName(QStringLiteral("frmSet"));
  setWindowTitle(QStringLiteral("Navelo"));
  // Single-line border with a caption only: no window menu, close, minimise or maximise box.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  setFixedSize(TwipsToPixels(4875), TwipsToPixels(7905));
  const QFont gothic = ui::GothicFont();
  setFont(ui::GothicFont(true));  // the dialog's default font for everything not named below

  auto* cmdOk = MakeControl<QPushButton>(this, "cmdOk", 3060, 540, 1575, 495, QStringLiteral("OK"));
  auto* cmdCan =
      MakeControl<QPushButton>(this, "cmdCan", 3060, 1170, 1575, 495, ToQString(u"キャンセル"));
  for (QPushButton* b : {cmdOk, cmdCan}) {
    b->setFont(gothic);
    b->setAutoDefault(false);  // neither button answers Enter or Escape
    b->setDefault(false);
  }
  lblVersion_ = MakeControl<QLabel>(this, "lblVersion", 2730, 60, 2145, 225);

  auto* frame1 =
      MakeControl<QGroupBox>(this, "Frame1", 30, 30, 2595, 2145, ToQString(u"ユーザー情報"));
  frame1->setFont(gothic);
  struct Field {
    const char* label;
    const char16_t* caption;
    int labelLeft, labelTop;
    const char* box;
    int boxTop;
    bool masked;
  };
  const Field fields[] = {{"Label1", u"INET-ID", 120, 270, "txtNetId", 180, false},
                          {"Label2", u"加入者番号", 90, 570, "txtId", 480, false},
                          {"Label3", u"パスワード", 90, 870, "txtPswd", 780, true},
                          {"Label4", u"P-ARS番号", 90, 1170, "txtPars", 1080, false},
                          {"Label18", u"APATﾊﾟｽﾜｰﾄﾞ", 90, 1470, "txtApatPswd", 1380, true}};
  QLineEdit** boxes[] = {&txtNetId_, &txtId_, &txtPswd_, &txtPars_, &txtApatPswd_};
  for (std::size_t i = 0; i < std::size(fields); ++i) {
    const Field& f = fields[i];
    MakeControl<QLabel>(frame1, f.label, f.labelLeft, f.labelTop, 915, 195, ToQString(f.caption))
        ->setFont(gothic);
    *boxes[i] = TextBox(frame1, f.box, 1230, f.boxTop, 1215, 285, f.masked);
  }
  auto* label6 = MakeControl<QLabel>(frame1, "Label6", 90, 1800, 2415, 285,
                                     ToQString(u"※各自のID等を登録します"));
  Red(label6);

  auto* frame2 =
      MakeControl<QGroupBox>(this, "Frame2", 30, 2220, 4785, 3225, ToQString(u"IPAT画面情報"));
  frame2->setFont(gothic);
  optAct_ = MakeControl<QCheckBox>(frame2, "optAct", 360, 210, 3585, 285,
                                   ToQString(u"常に直前にアクティブだった画面に送る"));
  optAct_->setFont(font());
  auto* label20 = MakeControl<QLabel>(
      frame2, "Label20", 90, 480, 4575, 375,
      ToQString(u"※IE以外のブラウザーでうまく動作しない場合にはチェックして下さい"));
  label20->setWordWrap(true);
  Red(label20);
  MakeControl<QLabel>(frame2, "Label5", 90, 990, 3435, 195,
                      ToQString(u"IPAT合計金額入力画面のタイトル"));
  lblTouTitle_ = TitleBox(frame2, "lblTouTitle", 60, 1260, 4605, 285, "192, 255, 192");
  auto* cmdTouHen =
      MakeControl<QPushButton>(frame2, "cmdTouHen", 3480, 1590, 945, 315, ToQString(u"↑変更"));
  MakeControl<QLabel>(frame2, "Label7", 90, 1620, 3405, 285,
                      ToQString(u"直前にアクティブだった画面のタイトル"));
  lblAct_ = TitleBox(frame2, "lblAct", 90, 1890, 4545, 285, "255, 192, 255");
  auto* cmdShoHen =
      MakeControl<QPushButton>(frame2, "cmdShoHen", 3480, 2220, 945, 315, ToQString(u"↓変更"));
  MakeControl<QLabel>(frame2, "Label8", 90, 2250, 3315, 195,
                      ToQString(u"IPAT照会ログイン画面のタイトル"));
  lblShoTitle_ = TitleBox(frame2, "lblShoTitle", 90, 2520, 4605, 285, "192, 255, 192");
  Red(MakeControl<QLabel>(frame2, "Label9", 60, 2880, 4575, 285,
                          ToQString(u"※情報を送り込むIPAT画面のタイトルを設定します")));
  for (QPushButton* b : {cmdTouHen, cmdShoHen}) b->setAutoDefault(false);
  cmdTouHen->raise();
  cmdShoHen->raise();

  auto* frame3 =
      MakeControl<QGroupBox>(this, "Frame3", 30, 5520, 4785, 1275, ToQString(u"オプション"));
  frame3->setFont(gothic);
  optZen_ = MakeControl<QCheckBox>(frame3, "optZen", 60, 180, 1455, 285, ToQString(u"常時前面"));
  Red(MakeControl<QLabel>(frame3, "Label10", 60, 480, 1965, 285,
                          ToQString(u"※常に前面に表示します")));
  optMin_ = MakeControl<QCheckBox>(frame3, "optMin", 60, 690, 1455, 285, ToQString(u"自動で隠す"));
  Red(MakeControl<QLabel>(frame3, "Label11", 60, 990, 3435, 225,
                          ToQString(u"※非アクティブ時に小さくなります")));
  // Below the frame's height: part of the dialog, never seen.
  optChien_ =
      MakeControl<QCheckBox>(frame3, "optChien", 60, 1380, 1455, 285, ToQString(u"遅延する"));
  optChien_->setFocusPolicy(Qt::NoFocus);
  MakeControl<QLabel>(frame3, "Label14", 1740, 1440, 855, 225, ToQString(u"遅延時間"));
  txtChienTime_ = TextBox(frame3, "txtChienTime", 2670, 1380, 855, 270, false);
  txtChienTime_->setFocusPolicy(Qt::NoFocus);
  Red(MakeControl<QLabel>(frame3, "Label12", 60, 1680, 3435, 225,
                          ToQString(u"※キーを送信するタイミングを遅らせます")));
  Red(MakeControl<QLabel>(frame3, "Label13", 60, 1860, 4665, 225,
                          ToQString(u"☆加入者番号が入力されない場合にチェックします")));
  connect(optChien_, &QCheckBox::stateChanged, this,
          [this](int state) { txtChienTime_->setEnabled(state != Qt::Unchecked); });

  auto* frame5 =
      MakeControl<QGroupBox>(this, "Frame5", 30, 6840, 4815, 1035, ToQString(u"起動パスワード"));
  txtNavelo_Pswd_ = TextBox(frame5, "txtNavelo_Pswd", 120, 210, 2625, 285, true);
  auto* label19 = MakeControl<QLabel>(
      frame5, "Label19", 60, 540, 4575, 435,
      ToQString(u"※起動パスワードを設定すると、パスワードを入力しないと起動できなくできます。"));
  label19->setFont(gothic);
  label19->setWordWrap(true);
  Red(label19);

  // Starts below the client area: never seen, yet its boxes take the focus with Tab.
  auto* frame4 =
      MakeControl<QGroupBox>(this, "Frame4", 60, 8160, 4755, 1065, QStringLiteral("URL"));
  const char16_t* urlLabels[] = {u"IPAT投票", u"IPAT情報", u"CLUB　A-PAT"};
  const int urlLabelLeft[] = {210, 210, 60};
  const int urlLabelWidth[] = {795, 855, 1215};
  const char* urlLabelNames[] = {"Label15", "Label16", "Label17"};
  for (int i = 0; i < 3; ++i) {
    MakeControl<QLabel>(frame4, urlLabelNames[i], urlLabelLeft[i], 210 + 270 * i, urlLabelWidth[i],
                        225, ToQString(urlLabels[i]));
    auto* box = TextBox(frame4, "txtIpatURL", 1260, 150 + 270 * i, 3435, 270, false, true);
    box->setProperty("index", i);
    txtIpatURL_[static_cast<std::size_t>(i)] = box;
  }
  // The gothic face for the captions inside the frames, except those named above.
  for (QLabel* label : frame2->findChildren<QLabel*>()) {
    if (label != lblAct_ && label != lblTouTitle_ && label != lblShoTitle_) label->setFont(gothic);
  }
  for (QWidget* w : std::initializer_list<QWidget*>{label6, cmdTouHen, cmdShoHen, optZen_, optMin_,
                                                    optChien_, txtChienTime_}) {
    w->setFont(gothic);
  }
  for (QLabel* label : frame3->findChildren<QLabel*>()) label->setFont(gothic);

  QWidget* order[] = {cmdOk,          cmdCan,       txtNetId_,       txtId_,
                      txtPswd_,       txtPars_,     cmdShoHen,       cmdTouHen,
                      optZen_,        optMin_,      txtIpatURL_[0],  txtIpatURL_[1],
                      txtIpatURL_[2], txtApatPswd_, txtNavelo_Pswd_, optAct_};
  for (std::size_t i = 0; i + 1 < std::size(order); ++i) setTabOrder(order[i], order[i + 1]);

  connect(cmdOk, &QPushButton::clicked, this, &SettingsDialog::OnOk);
  connect(cmdCan, &QPushButton::clicked, this, &QDialog::reject);
  connect(cmdTouHen, &QPushButton::clicked, this, [this] { Capture(TitleTarget::kVote); });
  connect(cmdShoHen, &QPushButton::clicked, this, [this] { Capture(TitleTarget::kInquiry); });
}

void SettingsDialog::ShowModal() {
  Load();
  // Not centred: the client area opens at a fixed place on the screen.
  setGeometry(TwipsToPixels(4755), TwipsToPixels(510), width(), height());
  findChild<QPushButton*>(QStringLiteral("cmdOk"))->setFocus();
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
  AcceptServices services{[this](const std::u16string& text) { ctx_.messages.Show(text); },
                          ctx_.confirmPassword};
  if (AcceptSettingsForm(Read(), ctx_.record, ctx_.targets, ctx_.addresses, services)) accept();
}

void SettingsDialog::Capture(TitleTarget target) {
  const std::u16string title = ui::FromQString(lblAct_->text());
  ctx_.messages.Show(CaptureMessage(target, title));
  (target == TitleTarget::kVote ? lblTouTitle_ : lblShoTitle_)->setText(ToQString(title));
}

void SettingsDialog::keyPressEvent(QKeyEvent* event) {
  // Neither Enter nor Escape closes the dialog.
  if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_Return ||
      event->key() == Qt::Key_Enter) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

}  // namespace navelo
