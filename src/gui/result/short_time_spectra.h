#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

namespace vocanta {

// Levels of short-time spectra: frames by frequency bins, in dB against a full-scale sine.
struct SpectrogramFrames {
  int frames = 0;
  int bins = 0;           // from 0 Hz to half the sampling frequency
  double binHz = 0;       // the spacing of the bins
  std::vector<float> db;  // frame by frame

  float at(int frame, int bin) const { return db[static_cast<size_t>(frame) * bins + bin]; }
  // The level at any frequency, between the two nearest bins.
  float at_frequency(int frame, double hz) const;
};

// Where the frames of a spectrogram stand: the first frame's centre and the step between
// frames, in samples. A step below one sample is fine; it is how a zoomed-in view gets a
// frame per pixel column.
struct FramePlacement {
  double firstCentre = 0;
  double hop = 1;
  int frames = 0;
};

// Short-time spectra with a Hann window. The transform plans are made once per
// transform length and kept, as making one costs more than many frames.
class Spectrogram {
 public:
  Spectrogram();
  ~Spectrogram();
  Spectrogram(const Spectrogram&) = delete;
  Spectrogram& operator=(const Spectrogram&) = delete;

  // windowLength: samples under the window; the samples outside [0, count) are silence.
  SpectrogramFrames compute(const int16_t* samples, size_t count, int samplingFrequency,
                            int windowLength, const FramePlacement& placement);

 private:
  struct Plan;
  Plan& plan_for(int length);

  std::map<int, std::unique_ptr<Plan>> plans_;
};

}  // namespace vocanta
