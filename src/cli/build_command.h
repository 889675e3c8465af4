#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "core/build/level_match.h"
#include "core/build/series_shard.h"
#include "core/soundfile/audio_file.h"
#include "core/synthesis/engine.h"

namespace vocanta {

// The choices of a build or batch call, checked by the command line; paths as given.
struct BuildOptions {
  std::string document;
  std::string output;  // empty: the document's name with .smp
  std::optional<uint32_t> seed;
  std::optional<int> jobs;  // none: the run's default
  Engine engine = Engine::Fast;
  bool combinations = false;
  bool includeWithout = false;
  std::optional<std::vector<std::string>> only;
  std::optional<SeriesShard> shard;
  std::optional<LevelTarget> level;  // each voice brought to it; none: as rendered
  bool count = false;
  std::string split;                  // batch: the folder of one file per voice; empty for one file
  std::optional<AudioFormat> format;  // with split: none for sample files
  bool textgrid = false;
};

// vocanta-cli build DOC.vta [-o OUT] [--seed N] [--normalize peak=DB|rms=DB]; OUT is a sample file
// or an audio file
int build_command(BuildOptions options, std::ostream& out, std::ostream& err);

// vocanta-cli batch DOC.vta [-o OUT] [--combinations] [--only NAME,...]
//                           [--include-without] [--seed N] [--shard K/N] [--count]
//                           [--normalize peak=DB|rms=DB]
//                           [--split DIR [--format F]] [--textgrid]
int batch_command(BuildOptions options, std::ostream& out, std::ostream& err);

}  // namespace vocanta
