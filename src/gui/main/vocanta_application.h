#pragma once

#include <QApplication>
#include <functional>

namespace vocanta {

// Every exception that escapes an event handler ends here and is shown, so that one
// failed command never ends the program or leaves it without a word.
class VocantaApplication : public QApplication {
 public:
  VocantaApplication(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;

  // Shows the message in a box titled "Vocanta"; tests replace it to record messages.
  static void set_error_handler(std::function<void(const QString&)> handler);
  static void handle_error(const QString& message);
  // The handler now in place, for a handler that passes errors on to it.
  static std::function<void(const QString&)> current_error_handler();
};

}  // namespace vocanta
