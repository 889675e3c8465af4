#include "gui/platform/message_box.h"

namespace vocanta {
namespace {

bool running = false;

}  // namespace

void set_build_running(bool on) {
  running = on;
}

bool build_running() {
  return running;
}

void show_message(QWidget* parent, QMessageBox::Icon icon, const QString& text) {
  if (!running) {
    QMessageBox box(icon, "Vocanta", text, QMessageBox::Ok, parent);
    box.exec();
    return;
  }
  auto* box = new QMessageBox(icon, "Vocanta", text, QMessageBox::Ok, parent);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setModal(false);
  box->show();
}

}  // namespace vocanta
