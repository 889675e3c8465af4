#pragma once

#include <QAction>
#include <QObject>
#include <QStringList>
#include <QTest>
#include <memory>
#include <stdexcept>
#include <string>

#include "gui/main/desktop_session.h"
#include "gui/main/main_window.h"
#include "test_support.h"

namespace vocanta::testing {

// A main window shown and started as the program starts it, with scripted questions
// unless the program's own are wanted.
struct Started {
  explicit Started(QStringList arguments = {}, bool scripted = true) : main(std::move(arguments)) {
    if (scripted) {
      auto questions = std::make_unique<ScriptedPrompter>();
      prompter = questions.get();
      main.desktop().set_prompter(std::move(questions));
    }
    main.show();
    QTest::qWait(20);  // the start-up runs once the window is on the screen
  }
  ~Started() { main.hide(); }
  ScriptedPrompter* prompter = nullptr;
  MainWindow main;
};

// The child of parent with that object name (any name when empty); a missing one fails
// the test rather than crashing it.
template <class T>
T& child(const QObject& parent, const char* name = "") {
  T* found = parent.findChild<T*>(*name ? QString::fromLatin1(name) : QString());
  if (!found) throw std::runtime_error(std::string("no child named '") + name + "'");
  return *found;
}

inline QAction& action(const MainWindow& main, const char* name) {
  return child<QAction>(main, name);
}

}  // namespace vocanta::testing
