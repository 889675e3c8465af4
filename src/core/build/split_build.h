#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/build/batch_build.h"
#include "core/build/series_shard.h"
#include "core/soundfile/audio_file.h"

namespace vocanta {

class BuildRun;
class Voice;

// A text made fit to be part of a file name: every character outside A-Z, a-z, 0-9 and
// "._+-" (blanks, slashes, letters beyond ASCII, byte by byte) becomes "_", runs of "_"
// become one, and "_", "." and "-" are taken off both ends, so that no name is hidden,
// looks like an option or ends in a blank.
std::string file_name_part(std::string_view text);

// "cont_03_F1_3": the document's base name, the voice's place in the series from 1
// (zero-padded to the digits of the series' count of voices) and its label, each made
// fit by file_name_part, joined by "_" where not empty; no extension.
std::string voice_file_stem(const std::string& documentBase, int64_t index, int64_t seriesVoices,
                            const std::string& label);

// ".smp" for none, else ".wav", ".flac" or ".aiff".
std::string format_extension(std::optional<AudioFormat> format);

// A batch series as files for an experiment: the series' file with its label file, or
// one file per voice in a folder, and beside them the table of the voices and, for one
// file, a TextGrid of them. All of them replace earlier ones together, once complete.
class StimulusBuild {
 public:
  // progress, when given, is shown the label of each voice as the batch window shows it.
  StimulusBuild(BuildRun& run, Voice& voice, BatchBuildChoice choice,
                BatchProgress* progress = nullptr);

  // The series into path, with NAME.stimuli.csv and, when asked, NAME.TextGrid beside it.
  void build_one_file(const std::string& path, bool textgrid);

  // Each voice into folder (made when missing) as DOC_INDEX_LABEL with the format's
  // extension, and DOC.stimuli.csv beside them (voices.stimuli.csv when nothing of the
  // document's name fits a file name). With a shard, only its voices, under the
  // names the whole series gives them, and the table DOC.shardKofN.stimuli.csv of them;
  // series names the series (as a part's header does).
  void build_split(const std::string& folder, std::optional<AudioFormat> format,
                   const std::string& documentPath, std::optional<SeriesShard> shard = {},
                   const std::string& series = {});

 private:
  BuildRun& run_;
  Voice& voice_;
  BatchBuildChoice choice_;
  BatchProgress* progress_;
};

}  // namespace vocanta
