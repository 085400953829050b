// The Debian package made from this build tree (the package_deb test makes it first with
// scripts/make-deb.sh): what it installs and depends on, and the program run from the unpacked
// package by an ordinary user, who cannot write to the program's folder.
#include <grp.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>

#include "x11_testkit.h"

namespace navelo::testkit {
namespace {

namespace fs = std::filesystem;

// Standard output of a shell command.
std::string Output(const std::string& command) {
  std::string out;
  if (FILE* pipe = ::popen(command.c_str(), "r")) {
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
      out.append(buffer, n);
    ::pclose(pipe);
  }
  return out;
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

fs::path Package() {
  std::string arch = Output("dpkg --print-architecture");
  while (!arch.empty() && arch.back() == '\n') arch.pop_back();
  return fs::path(NAVELO_DEB_DIR) / ("navelo_" NAVELO_VERSION "_" + arch + ".deb");
}

TEST(DebianPackage, InstallsProgramLauncherAndIconsUnderUsrAndNamesWhatItNeeds) {
  const fs::path deb = Package();
  ASSERT_TRUE(fs::exists(deb)) << deb;

  // `dpkg-deb -c` lists one entry a line: mode, owner, size, date, time, path [-> link target].
  std::set<std::string> files;
  std::istringstream listing(Output("dpkg-deb -c '" + deb.string() + "'"));
  for (std::string line; std::getline(listing, line);) {
    EXPECT_NE(line.find(" root/root "), std::string::npos) << line;
    const auto path = line.find(" ./");
    ASSERT_NE(path, std::string::npos) << line;
    if (line.back() != '/') files.insert(line.substr(path + 1));
  }
  const std::set<std::string> expected = {
      "./usr/bin/navelo -> ../lib/navelo/navelo",
      "./usr/lib/navelo/Readme.txt",
      "./usr/lib/navelo/navelo",
      "./usr/lib/navelo/navelo.png",
      "./usr/share/applications/navelo.desktop",
      "./usr/share/doc/navelo/changelog.gz",
      "./usr/share/doc/navelo/copyright",
      "./usr/share/icons/hicolor/256x256/apps/navelo.png",
      "./usr/share/icons/hicolor/32x32/apps/navelo.png",
      "./usr/share/lintian/overrides/navelo",
      "./usr/share/man/man1/navelo.1.gz",
      "./usr/share/metainfo/localhost.navelo.Navelo.metainfo.xml",
  };
  EXPECT_EQ(files, expected);

  const std::string launcher = Output("dpkg-deb --fsys-tarfile '" + deb.string() +
                                      "' | tar -xOf - ./usr/share/applications/navelo.desktop");
  EXPECT_NE(launcher.find("\nExec=/usr/lib/navelo/navelo\n"), std::string::npos) << launcher;
  // KDE Plasma grants window management and typing to the program this launcher names.
  EXPECT_NE(launcher.find("\nX-KDE-Wayland-Interfaces=org_kde_plasma_window_management,"
                          "org_kde_kwin_fake_input\n"),
            std::string::npos)
      << launcher;
  EXPECT_NE(launcher.find("\nIcon=navelo\n"), std::string::npos) << launcher;

  const std::string depends = Output("dpkg-deb -f '" + deb.string() + "' Depends");
  for (const char* package : {"libc6", "libqt6core6", "libqt6gui6", "libqt6widgets6", "libx11-6",
                              "libxtst6", "fonts-noto-cjk", "xdg-utils"}) {
    EXPECT_NE(depends.find(package), std::string::npos) << package << " missing in " << depends;
  }
}

// The unpacked package run by an ordinary user: `nobody` when the test runs as root, otherwise the
// user running it. The program's folder is not writable for that user, so the settings go to
// $HOME/.config/navelo/Navelo.INI, are saved there on SIGTERM and read back at the next start.
TEST(DebianPackage, OrdinaryUserKeepsSettingsInTheUserFolder) {
  Desktop desktop;
  if (!desktop.ok()) GTEST_SKIP() << "no X display (the test command provides one)";

  const fs::path dir = fs::temp_directory_path() / ("navelo-deb-" + std::to_string(::getpid()));
  fs::remove_all(dir);
  const std::shared_ptr<void> removeDir(nullptr, [&](void*) {
    std::error_code ignored;
    fs::remove_all(dir, ignored);
  });
  fs::create_directories(dir / "home");
  fs::permissions(dir, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                           fs::perms::others_read | fs::perms::others_exec);
  ASSERT_EQ(
      std::system(
          ("dpkg-deb -x '" + Package().string() + "' '" + (dir / "root").string() + "'").c_str()),
      0);
  const fs::path programDir = dir / "root/usr/lib/navelo";
  // As unpacked by a non-root user the folder would be that user's own; take the write right away.
  fs::permissions(programDir,
                  fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);

  std::vector<std::string> argv;
  if (::getuid() == 0) {
    const passwd* nobody = ::getpwnam("nobody");
    ASSERT_NE(nobody, nullptr);
    ASSERT_EQ(::chown((dir / "home").c_str(), nobody->pw_uid, nobody->pw_gid), 0);
    argv = {"setpriv", "--reuid=" + std::to_string(nobody->pw_uid),
            "--regid=" + std::to_string(nobody->pw_gid), "--clear-groups"};
  }
  for (const std::string& arg :
       {std::string("env"), std::string("-u"), std::string("XDG_CONFIG_HOME"),
        "HOME=" + (dir / "home").string(), (programDir / "navelo").string()}) {
    argv.push_back(arg);
  }
  const fs::path settings = dir / "home/.config/navelo/Navelo.INI";

  // First start, with no settings anywhere: the panel opens and SIGTERM saves to the user folder.
  {
    Child navelo(argv);
    navelo.Start();
    ASSERT_TRUE(WaitFor([&] { return navelo.FindWindow(desktop, "Navelo").has_value(); }));
    const int status = navelo.Stop(SIGTERM);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "wait status " << status;
  }
  ASSERT_TRUE(fs::exists(settings)) << "nothing saved in " << settings.parent_path();
  EXPECT_EQ(fs::status(settings).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_NE(ReadFile(settings).find("VERSION=1.2\r\n"), std::string::npos);
  EXPECT_FALSE(fs::exists(programDir / "Navelo.INI"));

  // Second start: the panel stands where the user folder's file says (1500, 3000 twips are 100,
  // 200 pixels), and the place is saved again.
  std::ofstream(settings, std::ios::binary | std::ios::trunc)
      << "[General]\r\nFormLeft=1500\r\nFormTop=3000\r\n";
  {
    Child navelo(argv);
    navelo.Start();
    std::optional<Window> panel;
    ASSERT_TRUE(
        WaitFor([&] { return (panel = navelo.FindWindow(desktop, "Navelo")).has_value(); }));
    EXPECT_TRUE(WaitFor([&] { return desktop.FramePosition(*panel) == std::make_pair(100, 200); }));
    navelo.Stop(SIGTERM);
  }
  const std::string saved = ReadFile(settings);
  EXPECT_NE(saved.find("FormLeft=1500\r\n"), std::string::npos) << saved;
  EXPECT_NE(saved.find("FormTop=3000\r\n"), std::string::npos) << saved;
}

}  // namespace
}  // namespace navelo::testkit
