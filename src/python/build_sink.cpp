#include "python/build_sink.h"

#include <algorithm>

#include "core/build/build_run.h"

namespace vocanta::python {

void MemorySink::begin(const SinkFormat& format) {
  // A series too long for memory fails here, before any sample is computed.
  samples.reserve(static_cast<size_t>(std::max<int64_t>(format.samples, 0)));
}

size_t MemorySink::write(const int16_t* data, size_t count) {
  samples.insert(samples.end(), data, data + count);
  return count;
}

void MemorySink::voice_done(int64_t start, int64_t count, const std::string& label) {
  voices.push_back({start, count, label});
}

void ScriptBuildHost::process_events() {
  if (error_ || !run_) return;
  pybind11::gil_scoped_acquire lock;
  if (PyErr_CheckSignals() == 0) return;
  error_ = std::make_unique<pybind11::error_already_set>();
  run_->request_break();
}

void ScriptBuildHost::raise_if_interrupted() {
  if (!error_) return;
  const pybind11::error_already_set error = *error_;
  error_.reset();
  throw error;
}

}  // namespace vocanta::python
