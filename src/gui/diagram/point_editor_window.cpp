#include "gui/diagram/point_editor_window.h"

namespace vocanta {

TForm5::TForm5(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
  setObjectName("TForm5");
  setWindowTitle("Vocanta");
  setFixedSize(300, 160);
}

}  // namespace vocanta
