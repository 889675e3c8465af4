#pragma once

#include <QApplication>

namespace vocanta {

// Every exception that escapes an event handler ends here and is reported, so that one
// failed command never ends the program or leaves it without a word.
class VocantaApplication : public QApplication {
 public:
  VocantaApplication(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace vocanta
