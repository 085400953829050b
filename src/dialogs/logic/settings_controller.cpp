#include "dialogs/logic/settings_controller.h"

#include <string>

#include "settings/version.h"

namespace navelo {
namespace {

// Control names are ASCII.
std::string Name(std::u16string_view control) {
  return std::string(control.begin(), control.end());
}

}  // namespace

int NextCheckState(int state) {
  return state == 1 ? 0 : 1;
}

SettingsController::SettingsController(FormView& view, SettingsDialogContext context)
    : view_(view), ctx_(std::move(context)) {
  view_.SetEvents(this);
}

bool SettingsController::ShowModal() {
  Load();
  view_.Focus("cmdOk");
  return view_.RunModal(Owner::kAsker) == 1;
}

void SettingsController::Load() {
  loaded_ = LoadSettingsForm(ctx_.record, ctx_.targets, ctx_.addresses);
  shown_ = loaded_;
  for (const auto& [name, text] : loaded_.texts) view_.SetText(Name(name), text);
  for (const auto& [name, option] : loaded_.options) view_.SetCheck(Name(name), option.state);
  view_.SetText("lblAct", loaded_.lblAct);
  for (int i = 0; i < 3; ++i) {
    view_.SetText("txtIpatURL", loaded_.txtIpatURL[static_cast<std::size_t>(i)], i);
  }
  view_.SetText("txtNavelo_Pswd", loaded_.txtNavelo_Pswd);
  view_.SetText("lblVersion", u"Version " + VersionText());
  EnableDelayTime();
}

void SettingsController::EnableDelayTime() {
  view_.SetEnabled("txtChienTime", shown_.Option(u"optChien").state != 0);
}

SettingsForm SettingsController::Read() const {
  SettingsForm form = shown_;
  for (auto& [name, text] : form.texts) text = view_.Text(Name(name));
  form.lblAct = view_.Text("lblAct");
  for (int i = 0; i < 3; ++i) {
    form.txtIpatURL[static_cast<std::size_t>(i)] = view_.Text("txtIpatURL", i);
  }
  form.txtNavelo_Pswd = view_.Text("txtNavelo_Pswd");
  return form;
}

void SettingsController::OnClick(std::string_view control, int) {
  const std::u16string name(control.begin(), control.end());
  if (auto option = shown_.options.find(name); option != shown_.options.end()) {
    OptionBox& box = option->second;
    box.state = NextCheckState(box.state);
    box.changed = box.state != loaded_.options.at(name).state;
    view_.SetCheck(control, box.state);
    if (control == "optChien") EnableDelayTime();
  } else if (control == "cmdOk") {
    if (AcceptSettingsForm(Read(), ctx_)) view_.EndModal(1);
  } else if (control == "cmdCan") {
    view_.EndModal(0);
  } else if (control == "cmdTouHen" || control == "cmdShoHen") {
    const bool vote = control == "cmdTouHen";
    const std::u16string title = view_.Text("lblAct");
    ctx_.messages.Show(CaptureMessage(vote ? TitleTarget::kVote : TitleTarget::kInquiry, title));
    view_.SetText(vote ? "lblTouTitle" : "lblShoTitle", title);
  }
}

}  // namespace navelo
