// The desktop's side of the link with the other programs of the tool family.
#include <QApplication>
#include <QWidget>

#include "gui/main/about_box.h"
#include "gui/main/desktop_session.h"
#include "gui/platform/dbus_link_transport.h"

namespace vocanta {

void DesktopSession::create_link() {
  linkTransport_ = std::make_unique<DBusLinkTransport>();
  link_ = std::make_unique<Link>(*linkTransport_, static_cast<LinkWindows&>(*this));
  link_->set_about_box(this);
  linkTransport_->onMessage = [this](const LinkEndpoint& sender, uint32_t value) {
    link_->receive(sender, value);
  };
}

void DesktopSession::close_main_window() {
  emit closeRequested();
}

void DesktopSession::bring_to_front() {
  if (main_.isMinimized()) main_.setWindowState(main_.windowState() & ~Qt::WindowMinimized);
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w != &main_ && w->isVisible()) w->raise();
  main_.raise();
  main_.activateWindow();
}

std::string DesktopSession::version_text() const {
  return aboutBox_->version().toStdString();
}

void DesktopSession::show_modal() {
  show_about_box();
}

void DesktopSession::show_about_box() {
  // A second request while it is open only brings it forward: exec does not nest.
  if (aboutBox_->isVisible()) {
    aboutBox_->raise();
    return;
  }
  // exec would hold the build beneath it until somebody clicks OK.
  if (building_) {
    aboutBox_->setWindowModality(Qt::NonModal);
    aboutBox_->show();
    aboutBox_->raise();
    return;
  }
  aboutBox_->setWindowModality(Qt::ApplicationModal);
  aboutBox_->exec();
}

}  // namespace vocanta
