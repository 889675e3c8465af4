#include "core/build/stimulus_table.h"

#include <map>
#include <utility>

#include "core/model/batch_list.h"
#include "core/model/voice.h"
#include "core/support/number_format.h"

namespace vocanta {
namespace {

constexpr const char* kFixedColumns[] = {"index",   "file",     "start_sample", "length_samples",
                                         "start_s", "length_s", "label"};

// Names that would repeat (two points of one curve at one x, a step) get "#2", "#3".
std::vector<std::string> unique_names(std::vector<std::string> names) {
  std::map<std::string, int> seen;
  for (std::string& name : names) {
    const int n = ++seen[name];
    if (n > 1) name += "#" + std::to_string(n);
  }
  return names;
}

std::string csv_line(const std::vector<std::string>& fields) {
  std::string line;
  for (size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) line += ',';
    line += csv_field(fields[i]);
  }
  return line + "\r\n";
}

}  // namespace

std::string point_column(const std::string& parameter, int16_t curve, double x,
                         const std::string& xUnit, const std::string& yUnit) {
  std::string name = parameter;
  if (curve > 0) name = "F" + std::to_string(curve);
  name += "@" + format_round_trip(x) + xUnit;
  if (!yUnit.empty()) name += "_" + yUnit;
  return name;
}

std::string csv_field(const std::string& text) {
  const bool quoted = text.find_first_of(",\"\r\n") != std::string::npos ||
                      (!text.empty() && (text.front() == ' ' || text.back() == ' '));
  if (!quoted) return text;
  std::string field = "\"";
  for (const char c : text) {
    if (c == '"') field += '"';
    field += c;
  }
  return field + "\"";
}

StimulusTable::StimulusTable(const Voice& voice, const BatchBuildChoice& choice, bool gains)
    : gains_(gains) {
  for (size_t i = 0; i < choice.entries.size(); ++i) {
    if (choice.selectedOnly && !(i < choice.selected.size() && choice.selected[i])) continue;
    const int16_t id = voice.batches.find_batch_id(choice.entries[i]);
    if (id == 0) continue;
    Batch batch{voice.batches.batch_name(id), id, {}};
    for (int index = 0; index < kParameterCount; ++index) {
      const Parameter& p = voice.parameter(index);
      for (const TCurve* k = p.state.curves; k; k = k->next)
        for (const TCurvePoint* q = k->points; q; q = q->next) {
          if (q->batch != id) continue;
          TCurvePoint copy = *q;
          copy.next = copy.prev = nullptr;
          const int16_t curve = p.index() == param::kFormants ? k->number : 0;
          batch.points.push_back({point_column(p.title, curve, q->x, p.xUnit, p.yUnit), copy});
        }
    }
    batches_.push_back(std::move(batch));
  }
}

std::vector<std::string> StimulusTable::columns() const {
  std::vector<std::string> names(std::begin(kFixedColumns), std::end(kFixedColumns));
  if (gains_) names.push_back("gain_dB");
  for (const Batch& b : batches_) {
    names.push_back(b.name + "_step");
    for (const Point& p : b.points) names.push_back(p.column);
  }
  return unique_names(std::move(names));
}

void StimulusTable::record(const BuiltVoice& voice, std::string file, int64_t start) {
  Row row{voice.index + 1, std::move(file), start, voice.length, voice.label, {}, {}};
  if (voice.gainDb) row.gain = format_round_trip(*voice.gainDb);
  for (const Batch& b : batches_) {
    const tbatchitem* state = voice.states.find_batch(b.id);
    const bool applied = state && state->active && state->step >= 0;
    row.cells.push_back(applied ? std::to_string(state->step) : "");
    // The very value the renderer took: the plain one where the batch is left out.
    for (const Point& p : b.points)
      row.cells.push_back(format_round_trip(voice.states.batch_value(&p.point)));
  }
  rows_.push_back(std::move(row));
}

std::string StimulusTable::text(int32_t samplingFrequency) const {
  std::string text = csv_line(columns());
  const double fs = samplingFrequency;
  for (const Row& r : rows_) {
    std::vector<std::string> fields{std::to_string(r.index),
                                    r.file,
                                    std::to_string(r.start),
                                    std::to_string(r.length),
                                    format_round_trip(static_cast<double>(r.start) / fs),
                                    format_round_trip(static_cast<double>(r.length) / fs),
                                    r.label};
    if (gains_) fields.push_back(r.gain);
    fields.insert(fields.end(), r.cells.begin(), r.cells.end());
    text += csv_line(fields);
  }
  return text;
}

}  // namespace vocanta
