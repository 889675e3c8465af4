#include "gui/platform/program_data.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace vocanta {
namespace {

QString canonical(const QString& folder) {
  const QString path = QFileInfo(folder).canonicalFilePath();
  return path.isEmpty() ? QDir::cleanPath(QFileInfo(folder).absoluteFilePath()) : path;
}

bool lies_within(const QString& folder, const QString& tree) {
  if (tree.isEmpty()) return false;
  const QString f = canonical(folder);
  const QString t = canonical(tree);
  return f == t || f.startsWith(t + "/");
}

QString installed_data(const QString& programFolder) {
  return QDir::cleanPath(programFolder + "/../share/vocanta");
}

}  // namespace

ProgramPlaces running_program_places() {
  return {QCoreApplication::applicationDirPath(), QStringLiteral(VOCANTA_BUILD_TREE),
          QStringLiteral(VOCANTA_SOURCE_TREE)};
}

bool is_installed(const ProgramPlaces& places) {
  return !lies_within(places.programFolder, places.buildTree) &&
         QFileInfo(installed_data(places.programFolder)).isDir();
}

QStringList data_folder_candidates(const ProgramPlaces& places, const QString& sub) {
  QStringList folders;
  // A developer's build must show the templates being edited, not an older installed copy.
  if (lies_within(places.programFolder, places.buildTree))
    folders << places.sourceTree + "/examples/" + sub;
  folders << installed_data(places.programFolder) + "/" + sub;
  folders << QStandardPaths::locateAll(QStandardPaths::GenericDataLocation, "vocanta/" + sub,
                                       QStandardPaths::LocateDirectory);
  for (QString& folder : folders) folder = QDir::cleanPath(folder);
  folders.removeDuplicates();
  return folders;
}

}  // namespace vocanta
