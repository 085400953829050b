#include "dialogs/logic/settings_form.h"

#include <limits>

#include "settings/cipher.h"
#include "settings/fields.h"
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

std::u16string& SettingsForm::Text(std::u16string_view control) {
  auto it = texts.find(control);
  if (it == texts.end()) it = texts.emplace(std::u16string(control), std::u16string()).first;
  return it->second;
}

OptionBox& SettingsForm::Option(std::u16string_view control) {
  auto it = options.find(control);
  if (it == options.end()) it = options.emplace(std::u16string(control), OptionBox()).first;
  return it->second;
}

SettingsForm LoadSettingsForm(const SettingsRecord& record, const TargetSlots& slots,
                              const BrowserAddresses& addresses) {
  SettingsForm form;
  for (const SettingsField& field : kSettingsFields) {
    switch (field.kind) {
      case FieldKind::kIdentifier:
      case FieldKind::kTitle:
        form.Text(field.control) = record.*field.text;
        break;
      case FieldKind::kFlag:
        form.Option(field.control) = OptionBox::From(record.*field.flag);
        break;
      case FieldKind::kNumber:
        form.Text(field.control) = FormatInteger(record.*field.number);
        break;
    }
  }
  form.lblAct = slots.lastActiveTitle;
  for (std::size_t i = 0; i < 3; ++i) form.txtIpatURL[i] = addresses[i];
  if (record.startupPassword != kNoPassword) form.txtNavelo_Pswd = record.startupPassword;
  return form;
}

std::u16string IdentifierNotStorableMessage(std::u16string_view caption) {
  return u"「" + std::u16string(caption) +
         u"」に、設定ファイルに保存できない文字が含まれています。入力し直して下さい";
}

bool AcceptSettingsForm(const SettingsForm& form, SettingsRecord& record, TargetSlots& slots,
                        BrowserAddresses& addresses, const AcceptServices& services) {
  auto storable = [&services](const std::u16string& text) {
    return services.codec == nullptr ||
           services.codec->FromAnsi(services.codec->ToAnsi(text)) == text;
  };
  // The caption beside each identifier's box.
  static constexpr std::pair<std::u16string_view, std::u16string_view> kCaptions[] = {
      {u"txtNetId", u"INET-ID"},
      {u"txtId", u"加入者番号"},
      {u"txtPswd", u"パスワード"},
      {u"txtPars", u"P-ARS番号"},
      {u"txtApatPswd", u"APATﾊﾟｽﾜｰﾄﾞ"}};
  for (const auto& [control, caption] : kCaptions) {
    const auto text = form.texts.find(control);
    for (const SettingsField& field : kSettingsFields) {
      if (field.control != control || text == form.texts.end() ||
          text->second == record.*field.text || storable(text->second)) {
        continue;
      }
      services.message(IdentifierNotStorableMessage(caption));
      return false;
    }
  }
  const std::u16string password =
      form.txtNavelo_Pswd.empty() ? std::u16string(kNoPassword) : form.txtNavelo_Pswd;
  if (password != record.startupPassword) {
    if (!storable(password)) {
      services.message(std::u16string(kPasswordNotStorableMessage));
      return false;
    }
    services.message(std::u16string(kPasswordChangedMessage));
    if (!services.confirmPassword(password)) return false;
    record.startupPassword = password;
  }
  for (const SettingsField& field : kSettingsFields) {
    const auto text = form.texts.find(field.control);
    const auto option = form.options.find(field.control);
    switch (field.kind) {
      case FieldKind::kIdentifier:
      case FieldKind::kTitle:
        if (text != form.texts.end()) record.*field.text = text->second;
        break;
      case FieldKind::kFlag:
        if (option != form.options.end()) record.*field.flag = option->second.Value();
        break;
      case FieldKind::kNumber:
        if (text == form.texts.end()) break;
        if (auto number = ParseWholeNumber(text->second, std::numeric_limits<std::int32_t>::min(),
                                           std::numeric_limits<std::int32_t>::max())) {
          record.*field.number = static_cast<std::int32_t>(*number);
        }
        break;
    }
  }
  slots.lastActiveTitle = form.lblAct;
  for (std::size_t i = 0; i < 3; ++i) addresses[i] = form.txtIpatURL[i];
  return true;
}

bool AcceptSettingsForm(const SettingsForm& form, const SettingsDialogContext& context) {
  const AcceptServices services{
      [&context](const std::u16string& text) { context.messages.Show(text); },
      context.confirmPassword, context.codec};
  return AcceptSettingsForm(form, context.record, context.targets, context.addresses, services);
}

std::u16string CaptureMessage(TitleTarget target, std::u16string_view lastActiveTitle) {
  // 紹介 (introduction) rather than 照会 (inquiry) is deliberate: it is the message users know.
  const std::u16string prefix = target == TitleTarget::kVote
                                    ? u"投票時は画面のタイトルが「"
                                    : u"紹介ログイン時は画面のタイトルが「";
  return prefix + std::u16string(lastActiveTitle) + u"」の画面に情報を送信するようになります";
}

}  // namespace navelo
