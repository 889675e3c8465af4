#include "gui/main/diagnostics_window.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/platform/error_report.h"

namespace vocanta {

DiagnosticsWindow::DiagnosticsWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName("Tform6");
  setWindowTitle("Timing log");
  memo = new QPlainTextEdit(this);
  memo->setReadOnly(true);
  showlogbutton = new QPushButton("Show log", this);
  resetlogbutton = new QPushButton("Reset log", this);
  showtimesbutton = new QPushButton("Show times", this);
  connect(showlogbutton, &QPushButton::clicked, this, reported(this, &DiagnosticsWindow::show_log));
  connect(resetlogbutton, &QPushButton::clicked, this,
          reported(this, &DiagnosticsWindow::reset_log));
  connect(showtimesbutton, &QPushButton::clicked, this,
          reported(this, &DiagnosticsWindow::show_times));
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(showlogbutton);
  buttons->addWidget(resetlogbutton);
  buttons->addWidget(showtimesbutton);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(memo);
  layout->addLayout(buttons);
  resize(360, 280);
}

void DiagnosticsWindow::log(const QString& text) {
  for (const QChar c : text) {
    buffer_[static_cast<size_t>(head_)] = c;
    head_ = (head_ + 1) % kBufferSize;
    length_ = std::min(length_ + 1, kBufferSize);
  }
}

void DiagnosticsWindow::count(int counter) {
  if (counter >= 0 && counter < kCounters) ++counters_[static_cast<size_t>(counter)];
}

void DiagnosticsWindow::show_log() {
  QString text;
  const int start = (head_ - length_ + kBufferSize) % kBufferSize;
  for (int i = 0; i < length_; ++i) text += buffer_[static_cast<size_t>((start + i) % kBufferSize)];
  memo->setPlainText(text.split('\r').join('\n'));
}

void DiagnosticsWindow::reset_log() {
  memo->clear();
  head_ = 0;
  length_ = 0;
}

void DiagnosticsWindow::show_times() {
  QStringList rows;
  for (int i = 0; i < kCounters; ++i)
    if (counters_[static_cast<size_t>(i)] != 0)
      rows
          << QString("%1  :   %2").arg(i, 3, 10, QChar('0')).arg(counters_[static_cast<size_t>(i)]);
  memo->setPlainText(rows.join('\n'));
}

}  // namespace vocanta
