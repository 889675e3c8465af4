#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/build/batch_build.h"
#include "core/model/curve.h"

namespace vocanta {

class Voice;

// The table of a series' voices for experiment software and statistics: CSV (RFC 4180,
// "." decimals, UTF-8, CR LF), which R's read.csv, pandas' read_csv and Praat's "Read
// Table from comma-separated file" read as is. Header row, then one row per voice built:
// index (from 1), file, start_sample, length_samples, start_s, length_s, label (as the
// label file has it), and for each batch of the series its step and the value each of
// its points takes in that voice. A voice the batch is left out of has an empty step
// and the points' own values, which are what the voice was built with. A build with
// level matching adds gain_dB after the label: the gain each voice was given.
class StimulusTable {
 public:
  // The batches that choice counts, in list order, with their points in voice; gains:
  // the build matches levels.
  StimulusTable(const Voice& voice, const BatchBuildChoice& choice, bool gains = false);

  // The columns, header row order.
  std::vector<std::string> columns() const;
  // A built voice; file is where it went, start its first sample there.
  void record(const BuiltVoice& voice, std::string file, int64_t start);
  std::string text(int32_t samplingFrequency) const;

 private:
  struct Point {
    std::string column;
    TCurvePoint point;  // a copy: the build renders a copy of the voice
  };
  struct Batch {
    std::string name;
    int16_t id = 0;
    std::vector<Point> points;
  };
  struct Row {
    int64_t index = 0;
    std::string file;
    int64_t start = 0, length = 0;
    std::string label;
    std::string gain;
    std::vector<std::string> cells;
  };

  std::vector<Batch> batches_;
  std::vector<Row> rows_;
  bool gains_ = false;
};

// "F1@0.5s_Hz": the parameter as the program names it (a formant curve as F and its
// number), where the point lies on the x axis with its unit, and the value's unit.
std::string point_column(const std::string& parameter, int16_t curve, double x,
                         const std::string& xUnit, const std::string& yUnit);

// A field as RFC 4180 has it: quoted, with its quotes doubled, when it holds a comma, a
// quote or a line break, or begins or ends with a blank that readers might trim.
std::string csv_field(const std::string& text);

}  // namespace vocanta
