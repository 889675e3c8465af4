#include "core/synthesis/voice_tracks.h"

#include <algorithm>
#include <cmath>

#include "core/model/parameter_table.h"
#include "core/synthesis/render_curves.h"
#include "core/synthesis/voice_filters.h"

namespace vocanta {

void VoiceTracks::clear(int32_t samplingFrequency) {
  fs_ = samplingFrequency;
  curves_ = 0;
  tracks_.clear();
}

void VoiceTracks::record(const Voice& voice, int64_t start, int64_t count) {
  if (tracks_.size() >= kMostVoices || count <= 0 || fs_ <= 0) return;
  // Cursors of its own: the renderer's must stand where its samples need them.
  RenderCurves curves(voice);
  Track track{start, count, 0, {}};
  const int formants = std::min(curves.count(param::kFormants), FormantCascade::kMaxFormants);
  track.curves = 1 + formants;
  track.hz.resize(static_cast<size_t>(track.curves) * kPoints);
  for (int i = 0; i < kPoints; ++i) {
    const double t = static_cast<double>(count - 1) * i / (kPoints - 1) / fs_;
    track.hz[static_cast<size_t>(i)] =
        static_cast<float>(curves.value(param::kF0, 1, t) * curves.value(param::kF0Factor, 1, t));
    const double factor = curves.value(param::kFormantFactor, 1, t);
    for (int n = 1; n <= formants; ++n)
      track.hz[static_cast<size_t>(n * kPoints + i)] =
          static_cast<float>(curves.value(param::kFormants, static_cast<int16_t>(n), t) * factor);
  }
  curves_ = std::max(curves_, track.curves);
  tracks_.push_back(std::move(track));
}

std::optional<VoiceTracks::Point> VoiceTracks::at(int curve, double m) const {
  // The voice that starts last at or before m.
  const auto after = std::upper_bound(tracks_.begin(), tracks_.end(), m,
                                      [](double v, const Track& t) { return v < t.start; });
  if (after == tracks_.begin()) return std::nullopt;
  const Track& t = *std::prev(after);
  if (m >= t.start + t.count || curve < 0 || curve >= t.curves) return std::nullopt;
  const double u = t.count > 1 ? (m - t.start) / (t.count - 1) * (kPoints - 1) : 0;
  const int i = std::clamp(static_cast<int>(u), 0, kPoints - 2);
  const float* hz = t.hz.data() + static_cast<size_t>(curve) * kPoints;
  const double part = std::clamp(u - i, 0.0, 1.0);
  return Point{static_cast<size_t>(std::prev(after) - tracks_.begin()),
               hz[i] * (1 - part) + hz[i + 1] * part};
}

}  // namespace vocanta
