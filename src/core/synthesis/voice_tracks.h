#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace vocanta {

class Voice;

// The drawn F0 and formant frequencies of each voice of a build as they were while it
// was rendered, batch steps included, a few points per voice: what a picture of the
// built file lays over its spectrogram. After the build the batches have moved on, so
// the curves can no longer tell what any one voice of a series had.
class VoiceTracks {
 public:
  static constexpr int kPoints = 128;          // per voice, evenly over its samples
  static constexpr size_t kMostVoices = 4096;  // a longer series keeps its first voices

  struct Point {
    size_t voice;
    double hz;
  };

  void clear(int32_t samplingFrequency);
  // The voice about to be rendered: count samples from sample start of the file.
  void record(const Voice& voice, int64_t start, int64_t count);

  bool empty() const { return tracks_.empty(); }
  int32_t sampling_frequency() const { return fs_; }
  // The curves of the voice with the most: the F0, then the formants.
  int curves() const { return curves_; }
  // Curve c at sample m of the file (fractions allowed), with the voice it belongs to;
  // nothing outside every recorded voice or for a curve that voice lacks.
  std::optional<Point> at(int curve, double m) const;

 private:
  struct Track {
    int64_t start = 0, count = 0;
    int curves = 0;
    std::vector<float> hz;  // kPoints per curve, curve after curve
  };
  int32_t fs_ = 0;
  int curves_ = 0;
  std::vector<Track> tracks_;
};

}  // namespace vocanta
