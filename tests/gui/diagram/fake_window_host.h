#pragma once

#include <QCursor>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "core/document/picture_store.h"
#include "core/document/session.h"
#include "core/model/voice.h"
#include "gui/diagram/background_views.h"
#include "gui/diagram/parameter_window.h"
#include "gui/diagram/parameter_window_host.h"
#include "test_support.h"

namespace vocanta::testing {

// Stands in for the main window: owns a session set up as after New, makes the parameter
// windows on request, holds their pictures and records what the windows asked of it.
class FakeWindowHost : public ParameterWindowHost, public BackgroundViews, public PictureStore {
 public:
  FakeWindowHost() {
    session_.set_picture_store(this);
    session_.document().new_document();
  }

  // The window of parameter index, made on first use.
  ParameterWindow& window(int index) {
    auto& w = windows_[static_cast<size_t>(index)];
    if (!w) w = std::make_unique<ParameterWindow>(session_, index, *this);
    return *w;
  }
  // The window of parameter index made anew, in place of the one there was.
  ParameterWindow& renew(int index) {
    windows_[static_cast<size_t>(index)].reset();
    return window(index);
  }

  Session& session() { return session_; }
  Voice& voice() { return session_.voice(); }
  bool parameter_sync_cursor() const override { return syncCursor; }
  void draw_sync_cursors(int16_t xQuantity, int16_t yQuantity, double x, double y) override {
    for (auto& w : windows_)
      if (w) w->draw_sync_cursor(xQuantity, yQuantity, x, y);
  }
  void parameter_window_shown(ParameterWindow& w) override { record("shown", w); }
  void parameter_window_activated(ParameterWindow& w) override { record("activated", w); }
  void parameter_window_closed(ParameterWindow& w) override { record("closed", w); }
  void search_background(ParameterWindow& w, const QString& path) override {
    record("search " + path.toStdString(), w);
  }
  BackgroundViews& background_views() override { return *this; }
  void apply_background(int index, const BackgroundState& state) override {
    window(index).set_background_state(state);
  }
  Kind picture_kind(int index) const override {
    const auto& w = windows_[static_cast<size_t>(index)];
    if (!w || w->background.isNull()) return Kind::None;
    return w->background.kind() == BackgroundPicture::Kind::Bitmap ? Kind::Bitmap : Kind::Metafile;
  }
  void save_picture(int index, const std::string& path) const override {
    windows_[static_cast<size_t>(index)]->background.save(QString::fromStdString(path));
  }
  void show_point(const TCurvePoint* point) override { shownPoint = point; }
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
  const TCurvePoint* shownPoint = nullptr;
  std::vector<std::string> calls;

 private:
  void record(const std::string& what, ParameterWindow& w) {
    calls.push_back(what + " " + std::to_string(w.paramNumber()));
  }

  QuietBuildHost builds_;
  // The document host's background log is not looked at here; it needs a voice before
  // the session that owns the real one exists.
  Voice scratch_;
  RecordingDocumentHost documents_{scratch_};
  Session session_{prompts, documents_, builds_};
  // Destroyed before the session whose parameters they show.
  std::array<std::unique_ptr<ParameterWindow>, kParameterCount> windows_;
};

}  // namespace vocanta::testing
