#include "gui/batch/rename_batch_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace vocanta {

RenameBatchDialog::RenameBatchDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
  setObjectName("TForm8");
  setWindowTitle("Rename batch");
  setModal(true);
  nameedit = new QLineEdit(this);
  nameedit->setObjectName("nameedit");
  nameedit->setToolTip("New name for the batch");
  nameedit->setMinimumWidth(220);
  okbutton = new QPushButton("&Ok", this);
  okbutton->setObjectName("okbutton");
  okbutton->setDefault(true);
  cancelbutton = new QPushButton("&Cancel", this);
  cancelbutton->setObjectName("cancelbutton");
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(okbutton);
  buttons->addWidget(cancelbutton);
  auto* all = new QVBoxLayout(this);
  all->addWidget(new QLabel("New name", this));
  all->addWidget(nameedit);
  all->addLayout(buttons);
  all->setSizeConstraint(QLayout::SetFixedSize);
  connect(okbutton, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancelbutton, &QPushButton::clicked, this, &QDialog::reject);
}

}  // namespace vocanta
