#pragma once

#include <QDialog>
#include <QLabel>
#include <array>

#include "platform/sysinfo.h"
#include "platform/system.h"

namespace navelo {

// frmAbout: title, version, description, three links, a legal notice and a starter for the
// system-information tool. A link opens the address it shows and turns italic while the pointer
// is over it; over the dialog's own surface all links turn upright again.
class AboutDialog : public QDialog {
  Q_OBJECT

 public:
  struct Context {
    platform::ShellService& shell;
    platform::MessageBoxService& messages;
    platform::SystemInfoService& sysInfo;
    std::string programDirectory;
    std::string settingsFile;
  };

  explicit AboutDialog(Context context, QWidget* parent = nullptr);

  std::array<QLabel*, 3> links() const { return links_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  void SetItalic(int index, bool italic);

  Context ctx_;
  std::array<QLabel*, 3> links_{};
};

// The address a file path is opened by.
QString FileAddress(const std::string& path);

}  // namespace navelo
