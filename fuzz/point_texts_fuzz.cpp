#include "core/document/point_text.h"
#include "core/model/curve.h"
#include "core/support/vocanta_error.h"
#include "fuzz_check.h"

using namespace vocanta;
using vocanta::fuzz::require;

namespace {

// A point as the writer stores it, read back.
PointText written_and_read(const PointText& read) {
  TCurvePoint p;
  p.y = read.y;
  p.batchY = read.batchY;
  p.batchRange = read.batchRange;
  try {
    return parse_point_value(format_point_text(p, read.batchName));
  } catch (const VocantaError&) {
    require(false, "a formatted point text parses");
  }
  return {};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  PointText read;
  try {
    read = parse_point_value(vocanta::fuzz::as_text(data, size));
  } catch (const VocantaError&) {
    return 0;
  }
  // The first write rounds to 15 digits; from then on the values must hold.
  const PointText once = written_and_read(read);
  require(once.batchName == read.batchName, "the batch name survives");
  const PointText twice = written_and_read(once);
  require(twice.y == once.y && twice.batchY == once.batchY && twice.batchRange == once.batchRange &&
              twice.batchName == once.batchName,
          "the values survive a second write");
  return 0;
}
