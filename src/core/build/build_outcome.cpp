#include "core/build/build_outcome.h"

namespace vocanta {
namespace {

struct OutcomeTexts {
  std::string_view shown, logged;
};

// In the order of BuildOutcome.
constexpr OutcomeTexts kTexts[] = {
    {"", ""}, {"Done!", "Done"}, {"Break!", "Break!"}, {"Not complete", "Not Complete"}};

}  // namespace

std::string_view shown_text(BuildOutcome outcome) {
  return kTexts[static_cast<int>(outcome)].shown;
}

std::string_view logged_text(BuildOutcome outcome) {
  return kTexts[static_cast<int>(outcome)].logged;
}

}  // namespace vocanta
