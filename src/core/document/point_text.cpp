#include "core/document/point_text.h"

#include <vector>

#include "core/model/curve.h"
#include "core/support/number_format.h"
#include "core/support/text_case.h"

namespace vocanta {
namespace {

constexpr size_t kMaxFieldLength = 255;  // in characters

double field_number(std::string_view field) {
  return field.empty() ? 0 : parse_number(field);
}

// Counted in characters, so that a cut never splits a letter of a UTF-8 name.
std::string_view clipped(std::string_view field) {
  return field.substr(0, utf8_prefix_size(field, kMaxFieldLength));
}

}  // namespace

std::string format_point_text(const TCurvePoint& p, std::string_view batchName) {
  return format_number(p.y) + ";" + format_number(p.batchY) + ";" + format_number(p.batchRange) +
         ";" + std::string(batchName);
}

PointText parse_point_value(std::string_view text) {
  std::vector<size_t> separators;
  for (size_t i = 0; i < text.size() && separators.size() < 3; ++i)
    if (text[i] == ';') separators.push_back(i);

  PointText r;
  if (separators.empty()) {
    r.y = parse_number(text);
    r.batchY = r.y;
    return r;
  }
  const auto field = [&](size_t k) {
    const size_t from = separators[k] + 1;
    const size_t to = k + 1 < separators.size() ? separators[k + 1] : text.size();
    return clipped(text.substr(from, to - from));
  };
  r.y = field_number(text.substr(0, separators[0]));
  if (separators.size() >= 3) {
    r.batchY = field_number(field(0));
    r.batchRange = field_number(field(1));
    r.batchName = std::string(clipped(text.substr(separators[2] + 1)));
  } else if (separators.size() == 2) {
    r.batchY = r.y;
    r.batchRange = field_number(field(0));
    r.batchName = std::string(field(1));
  } else {
    // One separator is written by no version; read it as a value and a range.
    r.batchY = r.y;
    r.batchRange = field_number(field(0));
  }
  return r;
}

}  // namespace vocanta
