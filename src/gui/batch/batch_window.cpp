#include "gui/batch/batch_window.h"

namespace vocanta {

TForm3::TForm3(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName("TForm3");
  setWindowTitle("Batch");
  resize(420, 300);
}

}  // namespace vocanta
