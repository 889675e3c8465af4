#include "gui/main/statistics_window.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace vocanta {

StatisticsWindow::StatisticsWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName("TForm9");
  setWindowTitle("Build statistics");
  memo = new QPlainTextEdit(this);
  memo->setObjectName("memo");
  memo->setReadOnly(true);
  memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  closebutton = new QPushButton("&Close", this);
  clearbutton = new QPushButton("Clea&r", this);
  connect(closebutton, &QPushButton::clicked, this, &QWidget::close);
  connect(clearbutton, &QPushButton::clicked, memo, &QPlainTextEdit::clear);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(clearbutton);
  buttons->addWidget(closebutton);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(memo);
  layout->addLayout(buttons);
  resize(420, 300);
}

void StatisticsWindow::add_line(const QString& line) {
  memo->appendPlainText(line);
}

QStringList StatisticsWindow::lines() const {
  const QString text = memo->toPlainText();
  return text.isEmpty() ? QStringList() : text.split('\n');
}

}  // namespace vocanta
