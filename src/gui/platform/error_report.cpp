#include "gui/platform/error_report.h"

#include <QApplication>
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

void report_error(const QString& message) {
  error_handler()(message);
}

void set_error_handler(std::function<void(const QString&)> handler) {
  error_handler() = std::move(handler);
}

std::function<void(const QString&)> current_error_handler() {
  return error_handler();
}

void run_reported(const std::function<void()>& command) {
  try {
    command();
  } catch (const std::exception& e) {
    report_error(QString::fromStdString(e.what()));
  } catch (...) {
    report_error("An unexpected error occurred");
  }
}

}  // namespace vocanta
