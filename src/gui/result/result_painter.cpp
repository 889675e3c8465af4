#include "gui/result/result_painter.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

#include "core/model/sampling_frequency.h"

namespace vocanta {
namespace {

// Room for the frequency labels on the left and the time labels below.
constexpr int kLeft = 62, kRight = 14, kTop = 10, kBottom = 30, kGap = 8;
// The shortest time the view zooms in to, in samples: a few periods of a high voice.
constexpr double kShortestSamples = 32;

}  // namespace

ResultLayout::ResultLayout(QSize size) {
  const int width = std::max(size.width() - kLeft - kRight, 1);
  const int height = std::max(size.height() - kTop - kBottom - kGap, 2);
  const int waveHeight = std::max(height * 3 / 10, 1);
  wave = QRect(kLeft, kTop, width, waveHeight);
  spectrum = QRect(kLeft, kTop + waveHeight + kGap, width, std::max(height - waveHeight, 1));
}

void ResultPainter::set_sound(std::shared_ptr<const SoundSamples> sound) {
  sound_ = std::move(sound);
  peak_ = 1;
  if (sound_)
    for (int16_t s : sound_->samples) peak_ = std::max(peak_, std::abs(static_cast<int>(s)));
  ++generation_;
  show_whole();
}

void ResultPainter::set_options(const ResultOptions& options) {
  options_ = options;
  ++generation_;
}

double ResultPainter::duration() const {
  if (!sound_ || sound_->samplingFrequency <= 0) return 0;
  return static_cast<double>(sound_->samples.size()) / sound_->samplingFrequency;
}

ResultTimeAxis ResultPainter::axis(QSize size) const {
  const QRect area = ResultLayout(size).spectrum;
  // An empty sound still gets a valid axis, so that nothing divides by zero.
  return ResultTimeAxis{start_, end_ > start_ ? end_ : start_ + 1, area.left(), area.width()};
}

void ResultPainter::show_whole() {
  start_ = 0;
  end_ = duration();
}

void ResultPainter::zoom(double factor, double x, QSize size) {
  if (duration() <= 0) return;
  ResultTimeAxis a = axis(size);
  a.zoom(factor, x, duration(), kShortestSamples / sound_->samplingFrequency);
  start_ = a.start;
  end_ = a.end;
}

void ResultPainter::pan(double dx, QSize size) {
  if (duration() <= 0) return;
  ResultTimeAxis a = axis(size);
  a.pan(dx, duration());
  start_ = a.start;
  end_ = a.end;
}

double ResultPainter::top_frequency() const {
  const double nyquist = sound_ ? sound_->samplingFrequency / 2.0 : options_.maxFrequency;
  return std::min(options_.maxFrequency, nyquist);
}

double ResultPainter::frequency_y(double hz, QSize size) const {
  const QRect area = ResultLayout(size).spectrum;
  return area.top() + (1 - hz / top_frequency()) * area.height() - 0.5;
}

void ResultPainter::refresh_cache(QSize size) {
  const CacheKey key{size, start_, end_, options_, generation_};
  if (key == cached_) return;
  cached_ = key;
  const ResultTimeAxis a = axis(size);
  make_spectrogram_image(a, ResultLayout(size).spectrum);
  make_wave_columns(a);
}

bool ResultPainter::analyses() const {
  return sound_ && sampling_frequency_in_range(sound_->samplingFrequency);
}

void ResultPainter::make_spectrogram_image(const ResultTimeAxis& axis, const QRect& area) {
  spectrogramImage_ = QImage();
  if (!analyses()) return;
  const double fs = sound_->samplingFrequency;
  // One frame per pixel column, whatever the zoom: long sounds cost no more than short.
  // Only a picture wider than any screen shares a frame among columns.
  const int columns = area.width(), count = std::min(columns, kMaxFrames);
  const double perFrame = static_cast<double>(columns) / count;
  const FramePlacement frames{axis.t_of(area.left() + perFrame / 2) * fs, axis.span() / count * fs,
                              count};
  const double window = std::min(options_.windowSeconds * fs, double{kMaxWindowSamples});
  const double top = top_frequency();
  const SpectrogramFrames s = spectrogram_.compute(
      sound_->samples.data(), sound_->samples.size(), sound_->samplingFrequency,
      static_cast<int>(std::lround(window)), frames, top);
  const double floor = s.peakDb - options_.rangeDb;
  spectrogramImage_ = QImage(area.size(), QImage::Format_RGB32);
  for (int y = 0; y < area.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(spectrogramImage_.scanLine(y));
    const double hz = top * (1 - (y + 0.5) / area.height());
    for (int x = 0; x < area.width(); ++x) {
      // Dark is loud, as phoneticians read spectrograms on paper.
      const int frame = static_cast<int>(x / perFrame);
      const double level =
          std::clamp((s.at_frequency(frame, hz) - floor) / options_.rangeDb, 0.0, 1.0);
      const int grey = static_cast<int>(std::lround(255 * (1 - level)));
      line[x] = qRgb(grey, grey, grey);
    }
  }
}

void ResultPainter::make_wave_columns(const ResultTimeAxis& axis) {
  waveColumns_.assign(static_cast<size_t>(axis.width), {0, 0});
  const auto& samples = sound_->samples;
  const double fs = sound_->samplingFrequency;
  const auto count = static_cast<int64_t>(samples.size());
  for (int c = 0; c < axis.width; ++c) {
    const auto from = static_cast<int64_t>(std::floor(axis.t_of(axis.left + c) * fs));
    const auto to = static_cast<int64_t>(std::ceil(axis.t_of(axis.left + c + 1) * fs));
    // Zoomed in, a column shows at least the sample it stands on.
    const int64_t first = std::clamp<int64_t>(from, 0, count);
    const int64_t last = std::clamp<int64_t>(std::max(to, from + 1), 0, count);
    if (first >= last) continue;
    const auto [lo, hi] = std::minmax_element(samples.begin() + first, samples.begin() + last);
    waveColumns_[static_cast<size_t>(c)] = {*lo, *hi};
  }
}

void ResultPainter::paint_wave(QPainter& p, const QRect& area) const {
  p.setPen(QColor(210, 210, 210));
  const int middle = area.top() + area.height() / 2;
  p.drawLine(area.left(), middle, area.right(), middle);
  p.setPen(Qt::black);
  const double scale = (area.height() / 2.0 - 1) / peak_;
  for (size_t c = 0; c < waveColumns_.size(); ++c) {
    const auto [lo, hi] = waveColumns_[c];
    const int x = area.left() + static_cast<int>(c);
    p.drawLine(x, middle - static_cast<int>(std::lround(hi * scale)), x,
               middle - static_cast<int>(std::lround(lo * scale)));
  }
}

void ResultPainter::paint(QPainter& p, QSize size) {
  p.fillRect(QRect(QPoint(0, 0), size), Qt::white);
  const ResultLayout layout(size);
  if (!sound_ || sound_->samples.empty()) {
    p.setPen(Qt::darkGray);
    p.drawText(QRect(QPoint(0, 0), size), Qt::AlignCenter, "Nothing built yet");
    return;
  }
  refresh_cache(size);
  const ResultTimeAxis a = axis(size);
  paint_wave(p, layout.wave);
  if (analyses()) {
    p.drawImage(layout.spectrum.topLeft(), spectrogramImage_);
  } else {
    p.setPen(Qt::darkGray);
    p.drawText(layout.spectrum, Qt::AlignCenter | Qt::TextWordWrap,
               QString::fromStdString(
                   sampling_frequency_refusal(std::to_string(sound_->samplingFrequency))));
  }
  p.setClipRect(layout.spectrum);
  if (options_.overlays && tracks_ && !tracks_->empty())
    paint_tracks(p, layout.spectrum, a);
  else if (options_.overlays && voice_)
    paint_overlays(p, layout.spectrum, a);
  p.setClipping(false);
  p.setPen(Qt::gray);
  p.drawRect(layout.wave.adjusted(-1, -1, 0, 0));
  p.drawRect(layout.spectrum.adjusted(-1, -1, 0, 0));
  paint_time_axis(p, layout, a);
  paint_frequency_axis(p, layout.spectrum);
  paint_cursor(p, layout, a);
}

}  // namespace vocanta
