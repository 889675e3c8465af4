#include "gui/main/vocanta_application.h"

#include <QMessageBox>
#include <exception>

#include "gui/platform/message_box.h"

namespace vocanta {
namespace {

std::function<void(const QString&)>& error_handler() {
  static std::function<void(const QString&)> handler = [](const QString& message) {
    show_message(QApplication::activeWindow(), QMessageBox::Critical, message);
  };
  return handler;
}

}  // namespace

VocantaApplication::VocantaApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool VocantaApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& e) {
    handle_error(QString::fromStdString(e.what()));
  } catch (...) {
    handle_error("An unexpected error occurred");
  }
  return false;
}

void VocantaApplication::set_error_handler(std::function<void(const QString&)> handler) {
  error_handler() = std::move(handler);
}

std::function<void(const QString&)> VocantaApplication::current_error_handler() {
  return error_handler();
}

void VocantaApplication::handle_error(const QString& message) {
  error_handler()(message);
}

}  // namespace vocanta
