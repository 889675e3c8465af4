#pragma once

#include <QWidget>

class QPlainTextEdit;
class QPushButton;

namespace vocanta {

// The running log of builds: lines are only ever appended, until the user clears them.
class StatisticsWindow : public QWidget {
  Q_OBJECT

 public:
  explicit StatisticsWindow(QWidget* parent = nullptr);
  void add_line(const QString& line);
  QStringList lines() const;

  QPlainTextEdit* memo = nullptr;
  QPushButton* closebutton = nullptr;
  QPushButton* clearbutton = nullptr;
};

}  // namespace vocanta
