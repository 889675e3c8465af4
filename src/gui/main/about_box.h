#pragma once

#include <QDialog>
#include <QString>
#include <functional>

class QLabel;

namespace vocanta {

// The program's title, version, revision and a line about the system it runs on. Its
// picture answers a double-click (the error log switches logging with it), and while
// logging is on the last line names the log file instead.
class AboutBox : public QDialog {
  Q_OBJECT

 public:
  explicit AboutBox(QWidget* parent = nullptr);

  QString title() const;
  // "3.0": major, point, minor, as the other programs of the family read it.
  QString version() const;
  QString revision() const;
  QString extra() const;

  // An empty name brings the usual text back.
  void show_log_file(const QString& fileName);

  std::function<void()> onPictureDoubleClicked;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QLabel* picture_ = nullptr;
  QLabel* infoLabel_ = nullptr;
  QString systemText_;
};

}  // namespace vocanta
