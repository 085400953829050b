#pragma once

#include <QDialog>
#include <QLabel>
#include <array>

#include "platform/sysinfo.h"
#include "platform/system.h"

namespace navelo {

// A label that opens the address it shows and turns italic while the pointer is over it.
class LinkLabel : public QLabel {
  Q_OBJECT

 public:
  LinkLabel(int index, QWidget* parent);
  int index() const { return index_; }

 Q_SIGNALS:
  void hovered(int index);
  void clicked(int index);

 protected:
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  int index_;
};

// frmAbout: title, version, description, three links, a legal notice and a starter for the
// system-information tool.
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

  std::array<LinkLabel*, 3> links() const { return links_; }

 protected:
  void mouseMoveEvent(QMouseEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void SetItalic(int index, bool italic);

  Context ctx_;
  std::array<LinkLabel*, 3> links_{};
};

// The address a file path is opened by.
QString FileAddress(const std::string& path);

}  // namespace navelo
