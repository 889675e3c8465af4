#include <QApplication>

#include "gui/main/about_box.h"
#include "gui/main/gui_build_host.h"
#include "gui/main/main_window.h"
#include "gui/platform/dbus_link_transport.h"

namespace vocanta {

void MainWindow::create_link() {
  linkTransport_ = std::make_unique<DBusLinkTransport>();
  link_ = std::make_unique<Link>(*linkTransport_, static_cast<LinkWindows&>(*this));
  link_->set_about_box(this);
  linkTransport_->onMessage = [this](const LinkEndpoint& sender, uint32_t value) {
    link_->receive(sender, value);
  };
}

void MainWindow::stop_link() {
  link_->stop();
  linkTransport_->flush();
}

void MainWindow::close_main_window() {
  close();
}

void MainWindow::bring_to_front() {
  if (isMinimized()) setWindowState(windowState() & ~Qt::WindowMinimized);
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w != this && w->isVisible()) w->raise();
  raise();
  activateWindow();
}

std::string MainWindow::version_text() const {
  return aboutBox_->version().toStdString();
}

void MainWindow::show_modal() {
  // A second request while it is open only brings it forward: exec does not nest.
  if (aboutBox_->isVisible()) {
    aboutBox_->raise();
    return;
  }
  aboutBox_->exec();
}

}  // namespace vocanta
