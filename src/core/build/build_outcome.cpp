#include "core/build/build_outcome.h"

namespace vocanta {

std::string_view shown_text(BuildOutcome outcome) {
  switch (outcome) {
    case BuildOutcome::Done:
      return "Done!";
    case BuildOutcome::Break:
      return "Break!";
    case BuildOutcome::NotComplete:
      return "Not complete";
    case BuildOutcome::None:
      break;
  }
  return "";
}

std::string_view logged_text(BuildOutcome outcome) {
  switch (outcome) {
    case BuildOutcome::Done:
      return "Done";
    case BuildOutcome::Break:
      return "Break!";
    case BuildOutcome::NotComplete:
      return "Not Complete";
    case BuildOutcome::None:
      break;
  }
  return "";
}

}  // namespace vocanta
