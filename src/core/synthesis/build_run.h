#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "core/synthesis/build_host.h"

namespace vocanta {

class Voice;

// The settings of one build, converted from the texts at its start.
struct SynthesisSettings {
  int32_t fs = 16000;   // sampling frequency in Hz
  double duration = 1;  // D in seconds
  int32_t maxHarmonics = 1000;
  int32_t tweenies = 1;
  double gain = 0.1;  // linear
  bool randomize = false;
  int64_t samplesPerVoice = 16000;
};

// Converts the settings texts, raising the conversion messages, and refuses counts of
// samples that no sample file can hold.
SynthesisSettings read_synthesis_settings(const Voice& voice);

// A build: one sample file, one or more voices, one outcome.
class BuildRun {
 public:
  BuildRun(Voice& voice, BuildHost& host) : voice_(voice), host_(host) {}
  BuildRun(const BuildRun&) = delete;
  BuildRun& operator=(const BuildRun&) = delete;
  ~BuildRun();

  // The document that the header's proc item names.
  void set_document_path(const std::string& path) { documentPath_ = path; }
  // Replaces the clock seed of randomized builds (for reproducible runs).
  void set_fixed_seed(uint32_t seed) {
    fixedSeed_ = seed;
    hasFixedSeed_ = true;
  }

  // A plain build into path. An error raised on the way still finishes the build.
  void build_voice(const std::string& path);
  void begin_build(const std::string& path);
  void end_build();
  void render_voice(const std::string& label);
  void show_progress(double t);
  void set_overload_state(int state);
  void request_break() {
    if (running) breakRequested = true;
  }

  // Refuses a build while another runs.
  void check_idle() const;
  // Runs body between begin_build and end_build, finishing the build also on an error.
  template <typename Body>
  void run(const std::string& path, Body body) {
    check_idle();
    try {
      begin_build(path);
      body();
      end_build();
    } catch (...) {
      finish_after_error();
      throw;
    }
  }

  const SynthesisSettings& settings() const { return settings_; }
  const std::string& label_path() const { return labelPath_; }
  // The outcome as the progress label shows it ("Done!") and as the statistics log it ("Done").
  const std::string& outcome() const { return outcome_; }
  const std::string& logged_outcome() const { return loggedOutcome_; }

  bool running = false;
  bool labelled = false;
  bool breakRequested = false;
  int64_t samplesInFile = 0;
  int64_t samplesComputed = 0;
  int64_t totalSamples = 0;
  double startSeconds = 0, endSeconds = 0;
  int overloadState = 2;
  uint32_t lastRefresh = 0;
  double avgRefreshCost = 10;

 private:
  void write_header(const std::string& path);
  void append_label(int64_t start, int64_t count, const std::string& label);
  void finish_after_error();
  void close_sample_file();
  std::string percent_text() const;

  Voice& voice_;
  BuildHost& host_;
  SynthesisSettings settings_;
  std::FILE* sampleFile_ = nullptr;
  std::string labelPath_;
  std::string documentPath_;
  std::string outcome_;
  std::string loggedOutcome_;
  uint32_t fixedSeed_ = 0;
  bool hasFixedSeed_ = false;
  bool failed_ = false;

  friend class VoiceSynth;
};

}  // namespace vocanta
