#pragma once

#include <QCursor>
#include <memory>
#include <string>
#include <vector>

#include "core/model/voice.h"
#include "gui/diagram/parameter_window.h"
#include "gui/diagram/parameter_window_host.h"
#include "test_support.h"

namespace vocanta::testing {

// Stands in for the main window: owns a voice set up as after New, makes the parameter
// windows on request and records what the windows asked of it.
class FakeWindowHost : public ParameterWindowHost {
 public:
  FakeWindowHost() { reset_to_new(voice_); }

  // The window of parameter index, made on first use.
  TForm2& window(int index) {
    auto& w = windows_[static_cast<size_t>(index)];
    if (!w) w = std::make_unique<TForm2>(voice_.parameter(index), *this);
    return *w;
  }

  Voice& voice() override { return voice_; }
  Prompter& prompter() override { return prompts; }
  bool parameter_sync_cursor() const override { return syncCursor; }
  void draw_sync_cursors(int16_t xQuantity, int16_t yQuantity, double x, double y) override {
    for (auto& w : windows_)
      if (w) w->draw_sync_cursor(xQuantity, yQuantity, x, y);
  }
  void parameter_window_shown(TForm2& w) override { record("shown", w); }
  void parameter_window_activated(TForm2& w) override { record("activated", w); }
  void parameter_window_closed(TForm2& w) override { record("closed", w); }
  void search_background(TForm2& w, const QString& path) override {
    record("search " + path.toStdString(), w);
  }
  // Plain shapes, one per number, so that a test can tell the cursors apart.
  QCursor edit_cursor(int number) const override {
    switch (number) {
      case 1:
        return QCursor(Qt::ForbiddenCursor);
      case 2:
        return QCursor(Qt::CrossCursor);
      case 3:
        return QCursor(Qt::SizeAllCursor);
      default:
        return QCursor(Qt::OpenHandCursor);
    }
  }

  ScriptedPrompter prompts;
  bool syncCursor = false;
  std::vector<std::string> calls;

 private:
  void record(const std::string& what, TForm2& w) {
    calls.push_back(what + " " + std::to_string(w.paramNumber()));
  }

  Voice voice_;
  // Destroyed before the voice whose parameters they show.
  std::array<std::unique_ptr<TForm2>, kParameterCount> windows_;
};

}  // namespace vocanta::testing
