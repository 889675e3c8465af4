#pragma once

#include <string_view>

namespace vocanta {

// How the last build ended; None before the first.
enum class BuildOutcome { None, Done, Break, NotComplete };

// The outcome as the progress label shows it: "Done!", "Break!" or "Not complete".
std::string_view shown_text(BuildOutcome outcome);
// The outcome as the statistics log and vocanta-cli print it: "Done", "Break!" or
// "Not Complete".
std::string_view logged_text(BuildOutcome outcome);

// The overload lamp: green when nothing was clipped, red once a sample was, gray while
// that is not known (before a build, after a break).
enum class OverloadState { Clear, Clipped, Unknown };

}  // namespace vocanta
