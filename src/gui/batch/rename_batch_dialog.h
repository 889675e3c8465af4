#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace vocanta {

// Asks for a batch's new name; the caller fills the field and reads it after an OK.
class RenameBatchDialog : public QDialog {
  Q_OBJECT

 public:
  explicit RenameBatchDialog(QWidget* parent = nullptr);

  QLineEdit* nameedit = nullptr;
  QPushButton* okbutton = nullptr;
  QPushButton* cancelbutton = nullptr;
};

}  // namespace vocanta
