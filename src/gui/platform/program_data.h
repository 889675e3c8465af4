#pragma once

#include <QString>
#include <QStringList>

namespace vocanta {

// Where the program's own data (templates, examples) lies, for a program run from the
// tree it was built in and for one installed under any prefix.
struct ProgramPlaces {
  QString programFolder;  // the folder of the running binary
  QString buildTree;      // the build folder this binary was made in
  QString sourceTree;     // the source folder it was made from
};

// The places of the running program.
ProgramPlaces running_program_places();

// True when the program lies in an installed layout: a share/vocanta folder beside its
// bin folder, whatever the prefix.
bool is_installed(const ProgramPlaces& places);

// The folders that may hold the data sub-folder sub, best first: a program in its build
// tree reads the source tree it was built from; any other reads share/vocanta relative to
// its binary and then the XDG data folders, never a source tree.
QStringList data_folder_candidates(const ProgramPlaces& places, const QString& sub);

}  // namespace vocanta
