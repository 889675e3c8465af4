#include <gtest/gtest.h>

#include <QDir>
#include <QStandardPaths>
#include <algorithm>
#include <sstream>

#include "gui/main/error_log.h"
#include "gui/main/program_arguments.h"
#include "gui/platform/program_data.h"
#include "test_support.h"

namespace vocanta {
namespace {

QString q(const std::string& s) {
  return QString::fromStdString(s);
}

TEST(ProgramPlaces, AnInstalledProgramReadsItsPrefixAndNeverASourceTree) {
  testing::TempDir dir;
  QDir().mkpath(q(dir.file("prefix/bin")));
  QDir().mkpath(q(dir.file("prefix/share/vocanta/templates")));
  QDir().mkpath(q(dir.file("build/src")));
  const ProgramPlaces installed{q(dir.file("prefix/bin")), q(dir.file("build")),
                                q(dir.file("source"))};
  EXPECT_TRUE(is_installed(installed));
  const QStringList found = data_folder_candidates(installed, "templates");
  ASSERT_FALSE(found.isEmpty());
  EXPECT_EQ(found.first(), q(dir.file("prefix/share/vocanta/templates")));
  EXPECT_FALSE(found.filter(q(dir.file("source"))).size());
  // The XDG data folders come after the binary's own prefix.
  const QStringList xdg = QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation);
  for (const QString& folder : found.mid(1))
    EXPECT_TRUE(std::any_of(xdg.begin(), xdg.end(), [&](const QString& x) {
      return folder.startsWith(x);
    })) << folder.toStdString();

  // A binary inside its build tree (a link to it too) shows the source tree's templates
  // first, even where a share/vocanta lies beside it.
  QDir().mkpath(q(dir.file("build/share/vocanta")));
  const ProgramPlaces built{q(dir.file("build/src")), q(dir.file("build")), q(dir.file("source"))};
  EXPECT_FALSE(is_installed(built));
  EXPECT_EQ(data_folder_candidates(built, "templates").first(),
            q(dir.file("source/examples/templates")));
  // A copy that merely has no share/vocanta is not installed.
  EXPECT_FALSE(is_installed({q(dir.file("elsewhere")), q(dir.file("build")), ""}));
}

TEST(ProgramPlaces, TheLogGoesToTheStateFolderAndNeverToTheCurrentFolder) {
  testing::TempDir dir;
  QDir().mkpath(q(dir.file("prefix/bin")));
  QDir().mkpath(q(dir.file("prefix/share/vocanta")));
  const QByteArray saved = qgetenv("XDG_STATE_HOME");
  qputenv("XDG_STATE_HOME", QByteArray::fromStdString(dir.file("state")));
  const QString state = q(dir.file("state/ZarvekData"));
  EXPECT_EQ(log_file_folders({q(dir.file("prefix/bin")), q(dir.file("build")), ""}),
            QStringList{state});
  EXPECT_EQ(log_file_folders({q(dir.file("unpacked")), q(dir.file("build")), ""}),
            QStringList({q(dir.file("unpacked")), state}));
  qunsetenv("XDG_STATE_HOME");
  const QStringList fallback = log_file_folders({q(dir.file("prefix/bin")), "", ""});
  EXPECT_EQ(fallback, QStringList{QDir::homePath() + "/.local/state/ZarvekData"});
  EXPECT_FALSE(fallback.contains(QDir::currentPath()));
  if (!saved.isNull()) qputenv("XDG_STATE_HOME", saved);
}

struct Parsed {
  std::optional<int> status;
  QStringList arguments;
  std::string out, err;
};

Parsed parse(const QStringList& words) {
  Parsed r;
  std::ostringstream out, err;
  r.status = read_program_arguments(QStringList{"/usr/bin/vocanta"} + words, r.arguments, out, err);
  r.out = out.str();
  r.err = err.str();
  return r;
}

TEST(ProgramArguments, HelpVersionAndUsageErrorsEndAtOnceWhileDocumentsAndBPassThrough) {
  const Parsed help = parse({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("Usage: vocanta [options] [document [/b]]"), std::string::npos);
  EXPECT_NE(help.out.find("/b"), std::string::npos);
  EXPECT_EQ(parse({"-v"}).out, "vocanta 3.0.0.1\n");
  const Parsed wrong = parse({"--speed", "a.vta"});
  EXPECT_EQ(wrong.status, 2);
  EXPECT_EQ(wrong.out, "");
  EXPECT_EQ(wrong.err, "vocanta: Unknown option 'speed'. (see 'vocanta --help')\n");
  const Parsed batch = parse({"/tmp/a voice.vta", "/b"});
  EXPECT_FALSE(batch.status);
  EXPECT_EQ(batch.arguments, QStringList({"/tmp/a voice.vta", "/b"}));
  EXPECT_EQ(parse({"--", "-odd.vta"}).arguments, QStringList{"-odd.vta"});
  EXPECT_EQ(parse({}).arguments, QStringList{});
}

}  // namespace
}  // namespace vocanta
