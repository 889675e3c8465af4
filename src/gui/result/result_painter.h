#pragma once

#include <QColor>
#include <QImage>
#include <QRect>
#include <QSize>
#include <cstdint>
#include <memory>
#include <vector>

#include "core/soundfile/sound_file_reader.h"
#include "core/synthesis/voice_tracks.h"
#include "gui/result/result_time_axis.h"
#include "gui/result/short_time_spectra.h"

class QPainter;

namespace vocanta {

class Voice;

// What the user chose for the spectrogram and its overlays.
struct ResultOptions {
  double windowSeconds = 0.005;
  double rangeDb = 70;
  double maxFrequency = 5000;  // shown up to half the sampling frequency at most
  bool overlays = true;

  bool operator==(const ResultOptions&) const = default;
};

// Where the parts of the picture go in a picture of a given size.
struct ResultLayout {
  explicit ResultLayout(QSize size);
  QRect wave;      // the waveform, on top
  QRect spectrum;  // the spectrogram below it, over the same columns
};

// Draws a sound as the result view shows it: the waveform, the spectrogram under it on
// the same time axis, the voice's F0 and formant curves over the spectrogram and the
// time cursor. It paints on any device, so that a picture of the view can be saved and
// tested without a window.
class ResultPainter {
 public:
  static inline const QColor kFormantColour{220, 0, 0};
  static inline const QColor kF0Colour{0, 80, 255};
  static inline const QColor kCursorColour{0, 150, 0};

  void set_sound(std::shared_ptr<const SoundSamples> sound);
  const SoundSamples* sound() const { return sound_.get(); }
  // The voice whose curves are laid over the spectrogram; none for no overlays.
  void set_voice(const Voice* voice) { voice_ = voice; }
  // The curves as the build of the shown file had them, voice by voice; when given, they
  // are laid over it instead of the voice's curves as they are now.
  void set_tracks(std::shared_ptr<const VoiceTracks> tracks) { tracks_ = std::move(tracks); }
  void set_options(const ResultOptions& options);
  const ResultOptions& options() const { return options_; }
  // The sound's length in seconds; 0 without one.
  double duration() const;

  // The time axis of a picture of that size.
  ResultTimeAxis axis(QSize size) const;
  void show_whole();
  void zoom(double factor, double x, QSize size);
  void pan(double dx, QSize size);
  void set_cursor_time(double seconds) { cursorTime_ = seconds; }
  double cursor_time() const { return cursorTime_; }
  // False for a sound at a sampling frequency the program does not accept: its
  // spectrogram is not made, and the view says why.
  bool analyses() const;
  // The highest frequency the spectrogram shows.
  double top_frequency() const;
  // The row of a frequency in the spectrogram of a picture of that size.
  double frequency_y(double hz, QSize size) const;

  void paint(QPainter& p, QSize size);

 private:
  void refresh_cache(QSize size);
  void make_spectrogram_image(const ResultTimeAxis& axis, const QRect& area);
  void make_wave_columns(const ResultTimeAxis& axis);
  void paint_wave(QPainter& p, const QRect& area) const;
  void paint_overlays(QPainter& p, const QRect& area, const ResultTimeAxis& axis) const;
  void paint_tracks(QPainter& p, const QRect& area, const ResultTimeAxis& axis) const;
  void paint_time_axis(QPainter& p, const ResultLayout& layout, const ResultTimeAxis& axis) const;
  void paint_frequency_axis(QPainter& p, const QRect& area) const;
  void paint_cursor(QPainter& p, const ResultLayout& layout, const ResultTimeAxis& axis) const;

  std::shared_ptr<const SoundSamples> sound_;
  const Voice* voice_ = nullptr;
  std::shared_ptr<const VoiceTracks> tracks_;
  ResultOptions options_;
  double start_ = 0, end_ = 0;  // the time shown
  double cursorTime_ = 0;
  int peak_ = 1;  // the waveform is scaled to the loudest sample

  // Remade only when what they show changes, not for every move of the cursor.
  Spectrogram spectrogram_;
  struct CacheKey {
    QSize size;
    double start = 0, end = 0;
    ResultOptions options;
    uint64_t generation = 0;
    bool operator==(const CacheKey&) const = default;
  };
  CacheKey cached_;
  uint64_t generation_ = 1;
  QImage spectrogramImage_;
  std::vector<std::pair<int16_t, int16_t>> waveColumns_;
};

}  // namespace vocanta
