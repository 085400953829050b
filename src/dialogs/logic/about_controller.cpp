#include "dialogs/logic/about_controller.h"

#include "base/utf8.h"
#include "dialogs/logic/about.h"
#include "settings/version.h"

namespace navelo {

AboutController::AboutController(FormView& view, Context context)
    : view_(view), ctx_(std::move(context)) {
  view_.SetEvents(this);
}

void AboutController::ShowModal() {
  view_.SetCaption(std::u16string(kProgramTitle) + u"のﾊﾞｰｼﾞｮﾝ情報");
  view_.SetText("lblVersion", u"ﾊﾞｰｼﾞｮﾝ " + VersionText());
  view_.SetText("lblTitle", kProgramTitle);
  // Three local addresses that certainly exist for every installation: until the settings file
  // has been saved for the first time, its link leads to the folder it will be saved in.
  const std::string& file = ctx_.settingsFile;
  const std::string folder = file.substr(0, file.find_last_of("/\\"));
  const std::string& directory = ctx_.program.ProgramDirectory();
  const std::string paths[] = {ctx_.program.JoinPath(directory, "Readme.txt"), directory,
                               ctx_.settingsFileExists ? file : folder};
  for (int i = 0; i < 3; ++i) {
    const std::u16string address = ctx_.shell.AddressOf(paths[i]);
    view_.SetText("lblUrl", address, i);
    // Cut to fit, a link still tells whole what a click opens.
    view_.SetToolTip("lblUrl", i, address);
    italic_[static_cast<std::size_t>(i)] = true;
    SetItalic(i, false);
  }
  view_.Focus("cmdOK");
  view_.RunModal(Owner::kNone);
}

void AboutController::SetItalic(int index, bool italic) {
  bool& state = italic_[static_cast<std::size_t>(index)];
  if (state == italic) return;
  state = italic;
  view_.SetItalic("lblUrl", index, italic);
}

void AboutController::OnClick(std::string_view control, int index) {
  if (control == "lblUrl") {
    ctx_.shell.Open(view_.Text("lblUrl", index));
  } else if (control == "cmdOK") {
    view_.EndModal(1);
  } else if (control == "cmdSysInfo") {
    RunSystemInfo(ctx_.sysInfo, ctx_.messages);
  }
}

void AboutController::OnPointer(std::string_view control, int index) {
  // Over a link it turns italic; over the dialog's own surface every link turns upright again;
  // over other controls nothing changes.
  if (control == "lblUrl" && index >= 0 && index < 3) {
    SetItalic(index, true);
  } else if (control.empty()) {
    for (int i = 0; i < 3; ++i) SetItalic(i, false);
  }
}

}  // namespace navelo
