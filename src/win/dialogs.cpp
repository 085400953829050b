#include "win/dialogs.h"

#include "dialogs/logic/about.h"
#include "forms/layouts.h"
#include "settings/version.h"

namespace navelo::win {
namespace {

std::u16string VersionText() {
  return Text(std::to_wstring(kVersionMajor) + L"." + std::to_wstring(kVersionMinor) + L"." +
              std::to_wstring(kVersionRevision));
}

int CheckState(HWND box) {
  const LRESULT state = SendMessageW(box, BM_GETCHECK, 0, 0);
  return state == BST_CHECKED ? 1 : state == BST_UNCHECKED ? 0 : 2;
}

}  // namespace

PasswordDialog::PasswordDialog(platform::MessageBoxService& messages)
    : FormWindow(forms::kFrmPswd), messages_(messages) {}

std::optional<std::u16string> PasswordDialog::Ask(
    HWND owner, PasswordMode mode, std::function<bool(const std::u16string&)> accepts) {
  if (!hwnd()) Create(owner);
  flgSyori = static_cast<std::int16_t>(mode);
  accepts_ = std::move(accepts);
  outcome_.reset();
  SetWindowText(Find("txtPswd"), u"");
  PlaceClientAt(form().left, form().top);
  Focus(Find("txtPswd"));
  RunModal(owner);
  accepts_ = nullptr;
  return outcome_;
}

void PasswordDialog::OnCommand(const forms::Control& control, HWND, int code) {
  if (code != BN_CLICKED) return;
  if (control.name == "Command1") {
    const std::u16string entry = PasswordEntry(WindowText(Find("txtPswd")));
    if (!accepts_ || !accepts_(entry)) {
      messages_.Show(u"パスワードが違います");
      return;
    }
    outcome_ = entry;
    EndModal(1);
  } else if (control.name == "Command2") {
    OnClose();
  }
}

void PasswordDialog::OnClose() {
  outcome_.reset();
  EndModal(0);
}

SettingsDialog::SettingsDialog(Context context)
    : FormWindow(forms::kFrmSet), ctx_(std::move(context)) {}

bool SettingsDialog::ShowModal(HWND owner) {
  if (!hwnd()) Create(owner);
  Load();
  PlaceClientAt(form().left, form().top);
  Focus(Find("cmdOk"));
  return RunModal(owner) == 1;
}

void SettingsDialog::Load() {
  loaded_ = LoadSettingsForm(ctx_.record, ctx_.targets, ctx_.addresses);
  for (const auto& [name, text] : loaded_.texts) {
    if (HWND control = Find(std::string(name.begin(), name.end()))) SetWindowText(control, text);
  }
  for (const auto& [name, option] : loaded_.options) {
    HWND box = Find(std::string(name.begin(), name.end()));
    if (!box) continue;
    // A stored value outside 0 and 1 shows as the undecided state.
    SendMessageW(box, BM_SETSTYLE, option.state == 2 ? BS_AUTO3STATE : BS_AUTOCHECKBOX, TRUE);
    SendMessageW(box, BM_SETCHECK,
                 option.state == 0   ? BST_UNCHECKED
                 : option.state == 1 ? BST_CHECKED
                                     : BST_INDETERMINATE,
                 0);
  }
  SetWindowText(Find("lblAct"), loaded_.lblAct);
  for (int i = 0; i < 3; ++i) {
    SetWindowText(Find("txtIpatURL", i), loaded_.txtIpatURL[static_cast<std::size_t>(i)]);
  }
  SetWindowText(Find("txtNavelo_Pswd"), loaded_.txtNavelo_Pswd);
  EnableWindow(Find("txtChienTime"), CheckState(Find("optChien")) != 0);
  SetWindowText(Find("lblVersion"), u"Version " + VersionText());
}

SettingsForm SettingsDialog::Read() const {
  SettingsForm form = loaded_;
  for (auto& [name, text] : form.texts) {
    if (HWND control = Find(std::string(name.begin(), name.end()))) text = WindowText(control);
  }
  for (auto& [name, option] : form.options) {
    if (HWND box = Find(std::string(name.begin(), name.end()))) {
      const int state = CheckState(box);
      option.changed = state != option.state;
      option.state = state;
    }
  }
  form.lblAct = WindowText(Find("lblAct"));
  for (int i = 0; i < 3; ++i) {
    form.txtIpatURL[static_cast<std::size_t>(i)] = WindowText(Find("txtIpatURL", i));
  }
  form.txtNavelo_Pswd = WindowText(Find("txtNavelo_Pswd"));
  return form;
}

void SettingsDialog::OnCommand(const forms::Control& control, HWND, int code) {
  if (code != BN_CLICKED) return;
  if (control.name == "cmdOk") {
    if (AcceptSettingsForm(Read(), ctx_)) {
      EndModal(1);
    }
  } else if (control.name == "cmdCan") {
    EndModal(0);
  } else if (control.name == "cmdTouHen" || control.name == "cmdShoHen") {
    const bool vote = control.name == "cmdTouHen";
    const std::u16string title = WindowText(Find("lblAct"));
    ctx_.messages.Show(CaptureMessage(vote ? TitleTarget::kVote : TitleTarget::kInquiry, title));
    SetWindowText(Find(vote ? "lblTouTitle" : "lblShoTitle"), title);
  } else if (control.name == "optChien") {
    EnableWindow(Find("txtChienTime"), CheckState(Find("optChien")) != 0);
  }
}

AboutDialog::AboutDialog(Context context)
    : FormWindow(forms::kFrmAbout), ctx_(std::move(context)) {}

AboutDialog::~AboutDialog() {
  for (HFONT font : italic_) DeleteObject(font);
  for (HFONT font : upright_) DeleteObject(font);
}

void AboutDialog::ShowModal(HWND owner) {
  if (!hwnd()) {
    Create(owner);
    SetWindowText(hwnd(), std::u16string(kProgramTitle) + u"のﾊﾞｰｼﾞｮﾝ情報");
    SetWindowText(Find("lblTitle"), kProgramTitle);
    SetWindowText(Find("lblVersion"), u"ﾊﾞｰｼﾞｮﾝ " + VersionText());
    std::u16string folder = ctx_.settingsFile.substr(0, ctx_.settingsFile.find_last_of(u"\\/"));
    // Until the settings file has been saved once, its link leads to the folder it will be in.
    const std::u16string addresses[] = {ctx_.programDirectory + u"\\Readme.txt",
                                        ctx_.programDirectory,
                                        ctx_.settingsFileExists ? ctx_.settingsFile : folder};
    for (int i = 0; i < 3; ++i) {
      SetWindowText(Find("lblUrl", i), addresses[i]);
      isItalic_[i] = false;
    }
    MakeLinkFonts();
  }
  PlaceClientAt(form().left, form().top);
  Focus(Find("cmdOK"));
  RunModal(owner);
}

void AboutDialog::MakeLinkFonts() {
  for (int i = 0; i < 3; ++i) {
    HWND link = Find("lblUrl", i);
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(link, WM_GETFONT, 0, 0)), sizeof font, &font);
    font.lfItalic = FALSE;
    HFONT upright = CreateFontIndirectW(&font);
    font.lfItalic = TRUE;
    HFONT italic = CreateFontIndirectW(&font);
    SendMessageW(link, WM_SETFONT, reinterpret_cast<WPARAM>(isItalic_[i] ? italic : upright), TRUE);
    DeleteObject(upright_[i]);
    DeleteObject(italic_[i]);
    upright_[i] = upright;
    italic_[i] = italic;
  }
}

void AboutDialog::SetItalic(int index, bool italic) {
  isItalic_[index] = italic;
  HWND link = Find("lblUrl", index);
  HFONT wanted = italic ? italic_[index] : upright_[index];
  if (reinterpret_cast<HFONT>(SendMessageW(link, WM_GETFONT, 0, 0)) != wanted) {
    SendMessageW(link, WM_SETFONT, reinterpret_cast<WPARAM>(wanted), TRUE);
  }
}

void AboutDialog::OnCommand(const forms::Control& control, HWND hwnd, int code) {
  if (control.name == "lblUrl" && code == STN_CLICKED) {
    ctx_.shell.Open(WindowText(hwnd));
  } else if (control.name == "cmdOK" && code == BN_CLICKED) {
    EndModal(1);
  } else if (control.name == "cmdSysInfo" && code == BN_CLICKED) {
    RunSystemInfo(ctx_.sysInfo, ctx_.messages);
  }
}

LRESULT AboutDialog::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SETCURSOR) {
    // Over a link it turns italic and shows a hand; over the dialog's own surface every link
    // turns upright again; over other controls nothing changes.
    const HWND under = reinterpret_cast<HWND>(wParam);
    for (int i = 0; i < 3; ++i) {
      if (under == Find("lblUrl", i)) {
        SetItalic(i, true);
        SetCursor(LoadCursorW(nullptr, IDC_HAND));
        return TRUE;
      }
    }
    if (under == hwnd()) {
      for (int i = 0; i < 3; ++i) SetItalic(i, false);
    }
  }
  return FormWindow::Handle(message, wParam, lParam);
}

}  // namespace navelo::win
