#include "forms/layouts.h"

namespace navelo::forms {
namespace {

constexpr Colour kLightGreen = Rgb(192, 255, 192);
constexpr Colour kPink = Rgb(255, 192, 255);

// The start-up password dialog.
constexpr Control kPswdControls[] = {
    Label("Label1", u"パスワード＝", 90, 120, 1125, 255).Tab(0).Gothic(),
    TextBox("txtPswd", 1260, 90, 1845, 315).Tab(1).Masked().ImeOff(),
    Button("Command1", u"OK", 150, 570, 1215, 375).Tab(2).Gothic().Default(),
    Button("Command2", u"キャンセル", 1830, 570, 1215, 375).Tab(3).Gothic(),
};

// The panel: the ten-key pad, the amount, the send buttons and the unseen browser button.
constexpr Control kNaveloControls[] = {
    Button("NumKey", u"７", 60, 30, 375, 375).At(7).Tab(10).Gothic(),
    Button("NumKey", u"８", 420, 30, 375, 375).At(8).Tab(9).Gothic(),
    Button("NumKey", u"９", 780, 30, 375, 375).At(9).Tab(8).Gothic(),
    Button("NumKey", u"４", 60, 390, 375, 375).At(4).Tab(7).Gothic(),
    Button("NumKey", u"５", 420, 390, 375, 375).At(5).Tab(6).Gothic(),
    Button("NumKey", u"６", 780, 390, 375, 375).At(6).Tab(5).Gothic(),
    Button("NumKey", u"１", 60, 750, 375, 375).At(1).Tab(4).Gothic(),
    Button("NumKey", u"２", 420, 750, 375, 375).At(2).Tab(3).Gothic(),
    Button("NumKey", u"３", 780, 750, 375, 375).At(3).Tab(2).Gothic(),
    Button("NumKey", u"0", 60, 1110, 375, 375).At(0).Tab(1).Gothic(),
    Button("Enter", u"ｸﾘｱｰ", 420, 1110, 735, 375).Tab(0).Gothic(),
    Label("Label5", u"金額", 90, 1500, 915, 195).Tab(11).Gothic(),
    TextBox("txtKin", 90, 1740, 1035, 285).Tab(12).Aligned(Align::kRight).ImeOff(),
    Button("cmdTou", u"投票", 90, 2130, 1065, 345).Tab(13).Gothic(),
    Button("cmdSho", u"照会", 90, 2490, 1065, 345).Tab(14).Gothic(),
    Button("cmdLogIn", u"ログイン", 90, 2850, 1065, 345).Tab(15).Gothic(),
    Button("Command2", u"Club Apat", 90, 3210, 1065, 345).Tab(17).Gothic(),
    // Just below the client area: unseen, yet it takes the focus with Tab.
    Button("Command1", u"", 330, 3630, 585, 555).Tab(16).Shows(Picture::kBrowserIcon),
    Timer("Timer1", 100),
};

constexpr Menu kNaveloMenus[] = {
    {"mnuSet", -1, u"設定", "", true},
    {"mnu_Ta", -1, u"他", "", true},
    {"mnu_About", -1, u"バージョン情報", "mnu_Ta", true},
    // "Reame" is the caption users have always seen; it stays as it is, misspelt.
    {"mnu_Readme", -1, u"Reameの表示", "mnu_Ta", true},
    {"mnu_brow", -1, u"ブラウザー", "", false},
    {"mnu_url", 0, u"IPAT投票", "mnu_brow", true},
    {"mnu_url", 1, u"IPAT情報", "mnu_brow", true},
    {"mnu_url", 2, u"CLUB　A-PAT", "mnu_brow", true},
};

// The settings dialog. Captions are in the gothic face except the frames 起動パスワード and URL,
// the labels inside URL, optAct, lblVersion and the text boxes (txtChienTime aside).
constexpr Control kSetControls[] = {
    Button("cmdOk", u"OK", 3060, 540, 1575, 495).Tab(0).Gothic(),
    Button("cmdCan", u"キャンセル", 3060, 1170, 1575, 495).Tab(1).Gothic(),
    Label("lblVersion", u"", 2730, 60, 2145, 225),

    Frame("Frame1", u"ユーザー情報", 30, 30, 2595, 2145).Gothic(),
    Label("Label1", u"INET-ID", 120, 270, 915, 195).In("Frame1").Gothic(),
    TextBox("txtNetId", 1230, 180, 1215, 285).In("Frame1").Tab(2).ImeOff(),
    Label("Label2", u"加入者番号", 90, 570, 915, 195).In("Frame1").Gothic(),
    TextBox("txtId", 1230, 480, 1215, 285).In("Frame1").Tab(3).ImeOff(),
    Label("Label3", u"パスワード", 90, 870, 915, 195).In("Frame1").Gothic(),
    TextBox("txtPswd", 1230, 780, 1215, 285).In("Frame1").Tab(4).Masked().ImeOff(),
    Label("Label4", u"P-ARS番号", 90, 1170, 915, 195).In("Frame1").Gothic(),
    TextBox("txtPars", 1230, 1080, 1215, 285).In("Frame1").Tab(5).ImeOff(),
    Label("Label18", u"APATﾊﾟｽﾜｰﾄﾞ", 90, 1470, 915, 195).In("Frame1").Gothic(),
    TextBox("txtApatPswd", 1230, 1380, 1215, 285).In("Frame1").Tab(13).Masked().ImeOff(),
    Label("Label6", u"※各自のID等を登録します", 90, 1800, 2415, 285)
        .In("Frame1")
        .Gothic()
        .Fore(kRed),

    Frame("Frame2", u"IPAT画面情報", 30, 2220, 4785, 3225).Gothic(),
    CheckBox("optAct", u"常に直前にアクティブだった画面に送る", 360, 210, 3585, 285)
        .In("Frame2")
        .Tab(15),
    Label("Label20", u"※IE以外のブラウザーでうまく動作しない場合にはチェックして下さい", 90, 480,
          4575, 375)
        .In("Frame2")
        .Gothic()
        .Fore(kRed)
        .Wrapped(),
    Label("Label5", u"IPAT合計金額入力画面のタイトル", 90, 990, 3435, 195).In("Frame2").Gothic(),
    Label("lblTouTitle", u"", 60, 1260, 4605, 285)
        .In("Frame2")
        .Gothic()
        .Back(kLightGreen)
        .Bordered(),
    Button("cmdTouHen", u"↑変更", 3480, 1590, 945, 315).In("Frame2").Tab(7).Gothic(),
    Label("Label7", u"直前にアクティブだった画面のタイトル", 90, 1620, 3405, 285)
        .In("Frame2")
        .Gothic(),
    Label("lblAct", u"", 90, 1890, 4545, 285).In("Frame2").Gothic().Back(kPink).Bordered(),
    Button("cmdShoHen", u"↓変更", 3480, 2220, 945, 315).In("Frame2").Tab(6).Gothic(),
    Label("Label8", u"IPAT照会ログイン画面のタイトル", 90, 2250, 3315, 195).In("Frame2").Gothic(),
    Label("lblShoTitle", u"", 90, 2520, 4605, 285)
        .In("Frame2")
        .Gothic()
        .Back(kLightGreen)
        .Bordered(),
    Label("Label9", u"※情報を送り込むIPAT画面のタイトルを設定します", 60, 2880, 4575, 285)
        .In("Frame2")
        .Gothic()
        .Fore(kRed),

    Frame("Frame3", u"オプション", 30, 5520, 4785, 1275).Gothic(),
    CheckBox("optZen", u"常時前面", 60, 180, 1455, 285).In("Frame3").Tab(8).Gothic(),
    Label("Label10", u"※常に前面に表示します", 60, 480, 1965, 285).In("Frame3").Gothic().Fore(kRed),
    CheckBox("optMin", u"自動で隠す", 60, 690, 1455, 285).In("Frame3").Tab(9).Gothic(),
    // Right of the first two, where the frame had room: nothing else moved.
    CheckBox("optKin", u"投票は金額だけ送る", 2100, 180, 2625, 285).In("Frame3").Tab(16).Gothic(),
    Label("Label21", u"※合計金額だけを入力する確認画面に使います", 2100, 480, 2625, 435)
        .In("Frame3")
        .Gothic()
        .Fore(kRed)
        .Wrapped(),
    Label("Label11", u"※非アクティブ時に小さくなります", 60, 990, 3435, 225)
        .In("Frame3")
        .Gothic()
        .Fore(kRed),
    // Below the frame's height: part of the dialog, never seen, never focused.
    CheckBox("optChien", u"遅延する", 60, 1380, 1455, 285).In("Frame3").NoFocus().Gothic(),
    Label("Label14", u"遅延時間", 1740, 1440, 855, 225).In("Frame3").Gothic(),
    TextBox("txtChienTime", 2670, 1380, 855, 270).In("Frame3").NoFocus().Gothic().ImeOff(),
    Label("Label12", u"※キーを送信するタイミングを遅らせます", 60, 1680, 3435, 225)
        .In("Frame3")
        .Gothic()
        .Fore(kRed),
    Label("Label13", u"☆加入者番号が入力されない場合にチェックします", 60, 1860, 4665, 225)
        .In("Frame3")
        .Gothic()
        .Fore(kRed),

    Frame("Frame5", u"起動パスワード", 30, 6840, 4815, 1035),
    TextBox("txtNavelo_Pswd", 120, 210, 2625, 285).In("Frame5").Tab(14).Masked().ImeOff(),
    Label("Label19", u"※起動パスワードを設定すると、パスワードを入力しないと起動できなくできます。",
          60, 540, 4575, 435)
        .In("Frame5")
        .Gothic()
        .Fore(kRed)
        .Wrapped(),

    // Starts below the client area: never seen, yet its boxes take the focus with Tab.
    Frame("Frame4", u"URL", 60, 8160, 4755, 1065),
    Label("Label15", u"IPAT投票", 210, 210, 795, 225).In("Frame4"),
    TextBox("txtIpatURL", 1260, 150, 3435, 270).At(0).In("Frame4").Tab(10),
    Label("Label16", u"IPAT情報", 210, 480, 855, 225).In("Frame4"),
    TextBox("txtIpatURL", 1260, 420, 3435, 270).At(1).In("Frame4").Tab(11),
    Label("Label17", u"CLUB　A-PAT", 60, 750, 1215, 225).In("Frame4"),
    TextBox("txtIpatURL", 1260, 690, 3435, 270).At(2).In("Frame4").Tab(12),
};

// The about box. The link addresses, the title and the version are set when it loads.
constexpr Control kAboutControls[] = {
    PictureBox("picIcon", 240, 240, 540, 540).Tab(1).Bordered().Shows(Picture::kProgramIcon),
    Label("lblTitle", u"", 1050, 240, 3885, 240).Tab(5).Fore(kBlack),
    Label("lblVersion", u"", 1050, 540, 3885, 225).Tab(6),
    Label(
        "lblDescription",
        u"このプログラムは、ＩＰＡＴで加入者番号等を入力する手間を省くためのＩＰＡＴ入力支援ソフト"
        u"です。",
        1020, 810, 3885, 480)
        .Tab(3)
        .Fore(kBlack)
        .Wrapped()
        // Smaller than the 9 points of the other texts: at 9 points it needs three lines, which
        // its rectangle cannot hold.
        .Points(7.5),
    Label("Label1", u"説明書", 90, 1410, 1815, 225)
        .Tab(7)
        .Bold(true, false)
        .Aligned(Align::kCenter),
    Label("lblUrl", u"", 1980, 1410, 3525, 255).At(0).Tab(8).Bold(false, true).Fore(kBlue).Link(),
    Label("Label2", u"使い方、ボタンと設定の説明です。", 660, 1650, 4845, 405)
        .Tab(13)
        .Fore(kRed)
        .Wrapped(),
    Label("Label3", u"プログラムの場所", 60, 2160, 1845, 225)
        .Tab(9)
        .Bold(true, false)
        .Aligned(Align::kCenter),
    Label("lblUrl", u"", 2010, 2160, 2775, 255).At(1).Tab(10).Bold(false, true).Fore(kBlue).Link(),
    Label("Label4", u"Navelo と設定ファイルのあるフォルダーです。", 630, 2400, 4845, 405)
        .Tab(14)
        .Fore(kRed)
        .Wrapped(),
    Label("Label5", u"設定ファイル", 90, 2910, 1785, 225)
        .Tab(11)
        .Bold(true, false)
        .Aligned(Align::kCenter),
    Label("lblUrl", u"", 1980, 2940, 2775, 255).At(2).Tab(12).Bold(false, true).Fore(kBlue).Link(),
    Label("Label6", u"登録した情報は暗号化して保存されます。編集はNaveloを閉じてから。", 630, 3210,
          4845, 405)
        .Tab(15)
        .Fore(kRed)
        .Wrapped(),
    // An etched rule: a grey line with a white one below it.
    Line("Line1", 90, 3795, 5654, 3795).At(1).Pen(kGrey, 1),
    Line("Line1", 105, 3810, 5654, 3810).At(0).Pen(kWhite, 2),
    Label("lblDisclaimer",
          u"無保証です。IPAT・CLUB A-PATの運営者とは無関係です。利用による損害に作者は責任を負いま"
          u"せん。",
          255, 3975, 3870, 825)
        .Tab(4)
        .Fore(kBlack)
        .Wrapped(),
    Button("cmdOK", u"OK", 4245, 3975, 1380, 345).Tab(0).Default().Cancel(),
    Button("cmdSysInfo", u"ｼｽﾃﾑ情報(&S)...", 4260, 4425, 1380, 345).Tab(2),
};

}  // namespace

const Form kFrmPswd{"frmPswd",
                    u"【Navelo】パスワード入力",
                    3315,
                    1140,
                    4410,
                    2955,
                    FormBorder::kFixedSingle,
                    false,
                    false,
                    false,
                    false,
                    Face::kPGothic,
                    kPswdControls,
                    {}};

const Form kFrmNavelo{
    "frmNavelo", u"Navelo", 1200,  3615,  kNotPlaced,    kNotPlaced,      FormBorder::kFixedSingle,
    true,        true,      false, false, Face::kSystem, kNaveloControls, kNaveloMenus};

const Form kFrmSet{
    "frmSet", u"Navelo", 4875,  7905,  4755,           510,          FormBorder::kFixedSingle,
    false,    false,     false, false, Face::kPGothic, kSetControls, {}};

// The layout's caption never shows: the about box sets its own when it loads.
const Form kFrmAbout{"frmAbout", u"ﾊﾞｰｼﾞｮﾝ情報",           5730,           4890, 4230,
                     2430,       FormBorder::kFixedDialog, true,           true, false,
                     false,      Face::kPGothic,           kAboutControls, {}};

std::span<const Form* const> AllForms() {
  static const Form* const all[] = {&kFrmPswd, &kFrmNavelo, &kFrmSet, &kFrmAbout};
  return all;
}

}  // namespace navelo::forms
