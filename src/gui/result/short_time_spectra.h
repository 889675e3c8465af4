#pragma once

#include <cstdint>
#include <limits>
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
  // The strongest level of all frames up to half the sampling frequency, kept bins or
  // not, so that the range shown is the same whatever the top frequency; 0 without frames.
  float peakDb = 0;

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

// The longest window analysed, in samples: 40 ms at the highest sampling frequency the
// program accepts fits. A longer one would cost memory and time in proportion to the rate.
constexpr int kMaxWindowSamples = 32768;
// The most frames of one spectrogram: a frame for each column of a very wide picture.
constexpr int kMaxFrames = 4096;

// What a spectrogram analyses and keeps. Its bounds make the cost of a frame independent
// of the sampling frequency: a window of at most kMaxWindowSamples, and of its bins only
// those up to the highest frequency shown.
struct SpectrogramSize {
  int windowLength = 2;  // samples under the window
  int transformLength = 256;
  int frames = 0;
  int bins = 0;  // kept, from 0 Hz up to the first bin above topHz
};
SpectrogramSize spectrogram_size(int samplingFrequency, int windowLength, int frames, double topHz);

// Short-time spectra with a Hann window. The transform plans are made once per
// transform length and kept, as making one costs more than many frames.
class Spectrogram {
 public:
  Spectrogram();
  ~Spectrogram();
  Spectrogram(const Spectrogram&) = delete;
  Spectrogram& operator=(const Spectrogram&) = delete;

  // windowLength: samples under the window; the samples outside [0, count) are silence.
  // Levels are kept up to topHz, sized by spectrogram_size.
  SpectrogramFrames compute(const int16_t* samples, size_t count, int samplingFrequency,
                            int windowLength, const FramePlacement& placement,
                            double topHz = std::numeric_limits<double>::infinity());

 private:
  struct Plan;
  Plan& plan_for(int length);

  std::map<int, std::unique_ptr<Plan>> plans_;
};

}  // namespace vocanta
