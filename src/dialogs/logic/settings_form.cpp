#include "dialogs/logic/settings_form.h"

#include <limits>

#include "settings/cipher.h"
#include "settings/numbers.h"

namespace navelo {

OptionBox OptionBox::From(std::int16_t value) {
  OptionBox box;
  box.stored = value;
  box.state = value == 0 ? 0 : value == 1 ? 1 : 2;
  return box;
}

std::int16_t OptionBox::Value() const {
  if (!changed) return stored;
  return static_cast<std::int16_t>(state == 0 ? 0 : state == 1 ? 1 : stored);
}

SettingsForm LoadSettingsForm(const SettingsRecord& record, const TargetSlots& slots,
                              const BrowserAddresses& addresses) {
  SettingsForm form;
  form.txtNetId = record.NetID;
  form.txtId = record.PatID;
  form.txtPswd = record.Password;
  form.txtPars = record.Pars;
  form.txtApatPswd = record.ApatPassword;
  form.lblAct = slots.lastActiveTitle;
  form.lblTouTitle = record.TouhyouTitle;
  form.lblShoTitle = record.ShoukaiTitle;
  form.optZen = OptionBox::From(record.Zenmen);
  form.optMin = OptionBox::From(record.Kakusu);
  form.optAct = OptionBox::From(record.Chokuzen);
  form.optChien = OptionBox::From(record.Chien);
  form.txtChienTime = FormatInteger(record.ChienTime);
  for (std::size_t i = 0; i < 3; ++i) form.txtIpatURL[i] = addresses[i];
  if (record.startupPassword != kNoPassword) form.txtNavelo_Pswd = record.startupPassword;
  return form;
}

bool AcceptSettingsForm(const SettingsForm& form, SettingsRecord& record, TargetSlots& slots,
                        BrowserAddresses& addresses, const AcceptServices& services) {
  const std::u16string password =
      form.txtNavelo_Pswd.empty() ? std::u16string(kNoPassword) : form.txtNavelo_Pswd;
  if (password != record.startupPassword) {
    services.message(std::u16string(kPasswordChangedMessage));
    const std::u16string previous = record.startupPassword;
    record.startupPassword = password;
    services.confirmPassword();
    if (record.startupPassword.empty()) {
      record.startupPassword = previous;
      return false;
    }
  }
  record.NetID = form.txtNetId;
  record.PatID = form.txtId;
  record.Password = form.txtPswd;
  record.Pars = form.txtPars;
  record.ApatPassword = form.txtApatPswd;
  slots.lastActiveTitle = form.lblAct;
  record.TouhyouTitle = form.lblTouTitle;
  record.ShoukaiTitle = form.lblShoTitle;
  record.Zenmen = form.optZen.Value();
  record.Kakusu = form.optMin.Value();
  record.Chokuzen = form.optAct.Value();
  record.Chien = form.optChien.Value();
  if (auto time = ParseWholeNumber(form.txtChienTime, std::numeric_limits<std::int32_t>::min(),
                                   std::numeric_limits<std::int32_t>::max())) {
    record.ChienTime = static_cast<std::int32_t>(*time);
  }
  for (std::size_t i = 0; i < 3; ++i) addresses[i] = form.txtIpatURL[i];
  return true;
}

std::u16string CaptureMessage(TitleTarget target, std::u16string_view lastActiveTitle) {
  // 紹介 (introduction) rather than 照会 (inquiry) is deliberate: it is the message users know.
  const std::u16string prefix = target == TitleTarget::kVote
                                    ? u"投票時は画面のタイトルが「"
                                    : u"紹介ログイン時は画面のタイトルが「";
  return prefix + std::u16string(lastActiveTitle) + u"」の画面に情報を送信するようになります";
}

}  // namespace navelo
