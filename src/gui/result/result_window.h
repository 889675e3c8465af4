#pragma once

#include <QString>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "gui/result/result_painter.h"

class QCheckBox;
class QComboBox;
class QPushButton;
class QSpinBox;

namespace vocanta {

class SettingsStore;

class ResultView;
class Session;

// The sound built last, or one the user opened, as waveform and spectrogram with the
// voice's F0 and formant curves over it.
class ResultWindow : public QWidget {
  Q_OBJECT

 public:
  // Whoever plays sounds: the samples, their sampling frequency and the first to play.
  using PlayHandler = std::function<void(const std::vector<int16_t>& samples, int samplingFrequency,
                                         int64_t fromSample)>;

  explicit ResultWindow(Session& session, QWidget* parent = nullptr);

  // A build wrote path, with the curves its voices had: shown at once when the window is
  // open, else when it opens.
  void show_built(const QString& path, std::shared_ptr<const VoiceTracks> tracks);
  // Reads and shows the sound file; throws VocantaError when it cannot be read.
  void load_file(const QString& path);
  void open_file();
  // Writes the picture as shown, at the view's size, to a PNG file the user names.
  void export_picture();
  void set_cursor_time(double seconds);
  void set_play_handler(PlayHandler handler);
  // Stops what plays, if anything does; true when something was playing.
  void set_stop_handler(std::function<bool()> handler) { stopHandler_ = std::move(handler); }
  // Space in the picture: stops what plays, else plays from the cursor.
  void play_or_stop();
  // The spectrogram's settings of the last run, and of this one for the next.
  void read_options(const SettingsStore& store);
  void write_options(SettingsStore& store) const;

  const QString& shown_path() const { return shownPath_; }
  ResultPainter& painter() { return painter_; }
  ResultView& view() { return *view_; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  QWidget* create_controls();
  void options_changed();
  void load_pending();
  void play_from_cursor();
  void refresh_buttons();

  Session& session_;
  ResultPainter painter_;
  ResultView* view_ = nullptr;
  QPushButton* openButton_ = nullptr;
  QPushButton* wholeButton_ = nullptr;
  QPushButton* playButton_ = nullptr;
  QPushButton* exportButton_ = nullptr;
  QComboBox* windowLengthBox_ = nullptr;
  QSpinBox* rangeBox_ = nullptr;
  QSpinBox* topFrequencyBox_ = nullptr;
  QCheckBox* overlaysCheck_ = nullptr;
  PlayHandler playHandler_;
  std::function<bool()> stopHandler_;
  QString shownPath_;
  QString pendingPath_;
  std::shared_ptr<const VoiceTracks> pendingTracks_;
};

}  // namespace vocanta
