#pragma once

#include <QWidget>
#include <array>
#include <cstdint>

class QPlainTextEdit;
class QPushButton;

namespace vocanta {

// The timing log: a ring buffer of characters and a table of counters that
// instrumented code may fill. Shown by a double-click on the overload lamp.
class DiagnosticsWindow : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kBufferSize = 2048;
  static constexpr int kCounters = 257;

  explicit DiagnosticsWindow(QWidget* parent = nullptr);

  void log(const QString& text);
  void count(int counter);

  void show_log();
  void reset_log();
  void show_times();

  QPlainTextEdit* memo = nullptr;
  QPushButton* showlogbutton = nullptr;
  QPushButton* resetlogbutton = nullptr;
  QPushButton* showtimesbutton = nullptr;

 private:
  std::array<QChar, kBufferSize> buffer_{};
  int head_ = 0;    // next position to write
  int length_ = 0;  // characters held, at most the buffer size
  std::array<uint32_t, kCounters> counters_{};
};

}  // namespace vocanta
