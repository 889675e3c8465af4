#include "core/document/document_lifecycle.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "core/model/edit_history.h"
#include "core/model/voice.h"
#include "core/support/vocanta_error.h"
#include "test_support.h"

namespace vocanta {
namespace {

using testing::read_file;
using testing::ScriptedPrompter;

class DocumentLifecycleTest : public ::testing::Test {
 protected:
  DocumentLifecycleTest() : host(voice), doc(voice, history, prompter, host) {
    reset_to_new(voice);
  }
  void edit(double y = 120, double x = 0) { voice.add_point(param::kF0, "", 1, x, y, y, 0); }
  bool shown(const std::string& text) const {
    return std::find(prompter.shown.begin(), prompter.shown.end(), text) != prompter.shown.end();
  }

  testing::TempDir dir;
  Voice voice;
  ScriptedPrompter prompter;
  EditHistory history;
  testing::RecordingDocumentHost host;
  DocumentLifecycle doc;
};

TEST_F(DocumentLifecycleTest, CancellingTheSaveOfAnUntitledDocumentKeepsEverything) {
  edit();
  prompter.answers = {Answer::Yes};  // save? Yes, then the save dialog is cancelled
  doc.new_document();
  EXPECT_EQ(prompter.shown,
            (std::vector<std::string>{"(untitled) has changed, save?", "Save as..."}));
  EXPECT_TRUE(doc.modified());
  EXPECT_NE(voice.parameter(param::kF0).state.curves, nullptr);  // New was abandoned
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));

  prompter.answers = {Answer::No};
  doc.new_document();
  EXPECT_FALSE(doc.modified());
  EXPECT_EQ(voice.parameter(param::kF0).state.curves, nullptr);
  EXPECT_EQ(host.caption, "Vocanta " + doc.noticeText);
}

TEST_F(DocumentLifecycleTest, TwoSavesLeaveTheFirstInTheBackup) {
  const std::string path = dir.file("voice.vta");
  edit(120);
  prompter.fileNames = {path};
  doc.save_document();  // untitled: asks for a name
  const std::string first = read_file(path);
  EXPECT_FALSE(doc.modified());
  EXPECT_EQ(host.caption, "Vocanta " + path);
  EXPECT_EQ(doc.samplePath, dir.file("voice.smp"));
  EXPECT_EQ(host.recent.back(), path);

  edit(150, 0.5);
  doc.save_document();
  EXPECT_EQ(read_file(dir.file("voice.~vt")), first);
  EXPECT_NE(read_file(path), first);
  EXPECT_NE(read_file(path).find("0.5=150;150;0;"), std::string::npos);
  // Nothing else is left beside them, no temporary file either.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);
}

TEST_F(DocumentLifecycleTest, ASymlinkedDocumentStaysALink) {
  std::filesystem::create_directory(dir.file("real"));
  testing::write_file(dir.file("real/voice.vta"), "first");
  std::filesystem::create_symlink("real/voice.vta", dir.file("voice.vta"));
  prompter.fileNames = {dir.file("voice.vta")};
  edit();
  doc.save_document_as();
  EXPECT_TRUE(std::filesystem::is_symlink(dir.file("voice.vta")));
  EXPECT_NE(read_file(dir.file("real/voice.vta")).find("[F0]"), std::string::npos);
  // The earlier version is kept beside the file it was, not in place of the link.
  EXPECT_EQ(read_file(dir.file("real/voice.~vt")), "first");
  EXPECT_FALSE(std::filesystem::exists(dir.file("voice.~vt")));
}

TEST_F(DocumentLifecycleTest, QuestionsOnOpenAndClose) {
  edit();
  prompter.answers = {Answer::Yes};  // then the save dialog is cancelled
  doc.open_document();
  EXPECT_EQ(prompter.shown,
            (std::vector<std::string>{"(untitled) has changed, save?", "Save as..."}));

  prompter.shown.clear();
  prompter.answers = {Answer::Cancel};
  EXPECT_FALSE(doc.close_query());
  EXPECT_EQ(prompter.shown, std::vector<std::string>{"(untitled) has changed. Save?"});
  prompter.answers = {Answer::No};
  EXPECT_TRUE(doc.close_query());
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
  EXPECT_TRUE(doc.close_query());  // nothing left to ask
}

TEST_F(DocumentLifecycleTest, PartialOpenOfItsOwnFileLeavesItUntitled) {
  const std::string path = dir.file("voice.vta");
  edit(130);
  prompter.fileNames = {path};
  doc.save_document_as();
  doc.partialOpen = true;
  doc.selection.everything = false;
  doc.selection.parameters[param::kF0] = true;
  prompter.fileNames = {path};
  doc.open_document();  // asks no save question
  doc.partialOpen = false;
  EXPECT_EQ(prompter.shown.back(), "");  // the open dialog's default title
  EXPECT_TRUE(doc.documentPath.empty());
  EXPECT_EQ(doc.samplePath, "*.smp");
  EXPECT_EQ(host.caption, "Vocanta (untitled)");
  EXPECT_TRUE(doc.modified());
  prompter.shown.clear();
  doc.save_document();  // the next save asks for a name again
  EXPECT_EQ(prompter.shown, std::vector<std::string>{"Save as..."});
}

TEST_F(DocumentLifecycleTest, AVersionAnsweredYesLeavesTheDocumentModified) {
  const std::string path = dir.file("old.vta");
  testing::write_file(path, "[Common]\r\nFiletype=Vocanta\r\nVersion=2.0\r\n");
  prompter.answers = {Answer::Yes};
  doc.load_document(path);
  EXPECT_EQ(doc.documentPath, path);
  EXPECT_EQ(doc.samplePath, dir.file("old.smp"));
  EXPECT_TRUE(doc.modified());
  EXPECT_EQ(host.recent, std::vector<std::string>{path});

  prompter.answers = {Answer::No};
  testing::write_file(dir.file("other.vta"), "[Common]\r\nFiletype=Vocanta\r\nVersion=9\r\n");
  doc.load_document(dir.file("other.vta"));
  EXPECT_EQ(doc.documentPath, path);  // refused: nothing changes
}

TEST_F(DocumentLifecycleTest, SavingAsksAboutPastedPicturesAfterCheckingTheSettings) {
  const std::string path = dir.file("p.vta");
  doc.documentPath = path;
  for (int i : {param::kF0, param::kPhase, param::kSubPhase})
    voice.parameter(i).backgroundFile = "*pasted";
  voice.settings.gain = "abc";
  EXPECT_THROW(doc.save_document(), VocantaError);
  EXPECT_TRUE(prompter.shown.empty());  // a bad setting stops the save before any question

  voice.settings.gain = "-20";
  testing::RecordingPictures pictures;
  pictures.kinds = {{param::kF0, PictureStore::Kind::Bitmap},
                    {param::kPhase, PictureStore::Kind::Bitmap},
                    {param::kSubPhase, PictureStore::Kind::Metafile}};
  doc.set_picture_store(&pictures);
  prompter.answers = {Answer::Yes, Answer::No, Answer::Yes};
  const std::string subPhase = dir.file("sub.wmf");
  prompter.fileNames = {"", subPhase};  // the save dialog is cancelled for F0
  testing::ChangeLog log(voice.events);
  doc.save_document();
  EXPECT_EQ(prompter.shown,
            (std::vector<std::string>{"F0 background is not saved, save?", "Save background...",
                                      "Phase background is not saved, save?",
                                      "Subh. Phase background is not saved, save?",
                                      "Save background..."}));
  EXPECT_EQ(host.calls, (std::vector<std::string>{"show 4", "show 19", "show 21"}));
  // The filter follows the kind of picture; the dialog proposes the file chosen last.
  using Dialog = std::pair<std::string, std::string>;
  EXPECT_EQ(prompter.fileDialogs,
            (std::vector<Dialog>{{"Bitmap files (*.bmp)|*.bmp|All files (*.*)|*.*", ""},
                                 {"Windows metafile (*.wmf)|*.wmf|All files (*.*)|*.*", ""}}));
  EXPECT_EQ(pictures.saved, std::vector<std::string>{"21 " + subPhase});
  const std::string text = read_file(path);
  EXPECT_EQ(text.find("F0="), text.find("F0=100"));  // no background entry for F0
  EXPECT_NE(text.find("[Backgrounds]\r\nPhase=\r\nSubh. Phase=" + subPhase + "\r\n"),
            std::string::npos);
  EXPECT_EQ(voice.parameter(param::kPhase).backgroundFile, "");
  EXPECT_EQ(voice.parameter(param::kSubPhase).backgroundFile, subPhase);
  EXPECT_EQ(log.count(ModelChange::Kind::Background), 2);
  EXPECT_FALSE(log.modified());

  // The point editor's Save asks the same; a picture that cannot be written is not named.
  prompter.fileNames = {dir.file("f0.bmp")};
  pictures.unwritable = param::kF0;
  EXPECT_THROW(doc.save_background(param::kF0), VocantaError);
  EXPECT_EQ(prompter.fileDialogs.back().second, subPhase);
  EXPECT_EQ(voice.parameter(param::kF0).backgroundFile, "*pasted");
  // Without a picture nothing is asked.
  const size_t asked = prompter.shown.size();
  doc.save_background(param::kOverallLevel);
  EXPECT_EQ(prompter.shown.size(), asked);
}

TEST_F(DocumentLifecycleTest, AnUnreadablePictureCostsOnlyThatPicture) {
  const std::string path = dir.file("pictures.vta");
  testing::write_file(path,
                      "[Common]\r\nFiletype=Vocanta\r\nVersion=3.0\r\n[F0]\r\n0=150\r\n"
                      "[Backgrounds]\r\nF0=/p/bad.bmp\r\nPhase=/p/good.bmp\r\n[Phase]\r\n1=90\r\n");
  host.unreadable = "/p/bad.bmp";
  testing::ChangeLog log(voice.events);
  // A missing picture is asked about with the new document on the screen: the read's
  // own notice and the open's have gone out by then.
  host.onLoad = [&] { EXPECT_EQ(log.count(ModelChange::Kind::Everything), 2); };
  try {
    doc.load_document(path);
    ADD_FAILURE() << "the unreadable picture must be reported";
  } catch (const VocantaError& e) {
    EXPECT_EQ(std::string(e.what()), "Cannot read the picture /p/bad.bmp");
  }
  // The whole document was read and taken, and the windows show it.
  EXPECT_EQ(doc.documentPath, path);
  EXPECT_FALSE(doc.modified());
  EXPECT_EQ(voice.parameter(param::kPhase).backgroundFile, "/p/good.bmp");
  EXPECT_EQ(voice.parameter(param::kPhase).state.curves->points->y, 90);
  EXPECT_GE(log.count(ModelChange::Kind::Everything), 1);
}

TEST_F(DocumentLifecycleTest, AutosaveLandsBesideTheSampleFile) {
  doc.autosave(dir.file("voice.smp"));
  EXPECT_TRUE(std::filesystem::exists(dir.file("voice.vta")));
  EXPECT_EQ(doc.documentPath, dir.file("voice.vta"));
  EXPECT_EQ(host.caption, "Vocanta " + dir.file("voice.vta"));

  // A name in capitals keeps its letters rather than gaining a second file beside it,
  // and so does the sample file a later save proposes.
  testing::write_file(dir.file("LOUD.VTA"), "old");
  testing::write_file(dir.file("LOUD.SMP"), "");
  doc.autosave(dir.file("LOUD.smp"));
  EXPECT_EQ(doc.documentPath, dir.file("LOUD.VTA"));
  EXPECT_EQ(doc.samplePath, dir.file("LOUD.SMP"));
  EXPECT_EQ(read_file(dir.file("LOUD.~vt")), "old");
  EXPECT_FALSE(std::filesystem::exists(dir.file("LOUD.vta")));
}

TEST_F(DocumentLifecycleTest, AutosaveReplacesAnotherFileOnlyWhenTheUserSaysSo) {
  const std::string mine = dir.file("mine.vta");
  const auto replace = [](const std::string& path) {
    return path + " already exists.\nDo you want to replace it?";
  };
  edit(120);
  prompter.fileNames = {mine};
  doc.save_document();
  prompter.shown.clear();

  // The document's own file is saved over without a question.
  edit(130, 0.5);
  doc.autosave(dir.file("mine.smp"));
  EXPECT_TRUE(prompter.shown.empty());
  const std::string own = read_file(mine);

  // After New the voice is untitled: the file it came from is someone else's now.
  doc.new_document();
  prompter.answers = {Answer::No};
  doc.autosave(dir.file("mine.smp"));
  EXPECT_EQ(prompter.shown, std::vector<std::string>{replace(mine)});
  EXPECT_EQ(read_file(mine), own);
  EXPECT_TRUE(doc.documentPath.empty());
  EXPECT_EQ(host.caption, "Vocanta " + doc.noticeText);

  // So is any other document beside the sample file; Yes replaces it, keeping a backup.
  const std::string other = dir.file("other.vta");
  testing::write_file(other, "other");
  prompter.answers = {Answer::Yes};
  doc.autosave(dir.file("other.smp"));
  EXPECT_EQ(prompter.shown.back(), replace(other));
  EXPECT_EQ(doc.documentPath, other);
  EXPECT_EQ(read_file(dir.file("other.~vt")), "other");
  EXPECT_FALSE(doc.modified());

  // Where no file stands in the way there is nothing to ask.
  prompter.shown.clear();
  doc.autosave(dir.file("fresh.smp"));
  EXPECT_TRUE(prompter.shown.empty());
  EXPECT_EQ(doc.documentPath, dir.file("fresh.vta"));
}

TEST_F(DocumentLifecycleTest, ADocumentOfNoLengthLeavesTheTimeAxesAsTheyWere) {
  const std::string path = dir.file("empty.vta");
  testing::write_file(path, "[Common]\r\nFiletype=Vocanta\r\nVersion=3.0\r\nTotalDuration=0\r\n");
  voice.parameter(param::kF0).xMax = "2";
  doc.load_document(path);
  EXPECT_EQ(voice.settings.duration, "0");  // for the build to refuse, naming it
  EXPECT_EQ(voice.parameter(param::kF0).xMax, "2");
}

TEST_F(DocumentLifecycleTest, ABrokenSaveLeavesThePreviousDocument) {
  const std::string path = dir.file("voice.vta");
  prompter.fileNames = {path};
  doc.save_document_as();
  const std::string saved = read_file(path);

  edit();
  voice.settings.gain = "abc";
  EXPECT_THROW(doc.save_document(), VocantaError);
  EXPECT_EQ(read_file(path), saved);
  EXPECT_FALSE(std::filesystem::exists(dir.file("voice.~vt")));
  EXPECT_TRUE(doc.modified());

  // A backup that cannot be deleted stops the save with its message; nothing moves.
  voice.settings.gain = "-20";
  std::filesystem::create_directory(dir.file("voice.~vt"));
  testing::write_file(dir.file("voice.~vt/keep"), "x");
  doc.save_document();
  EXPECT_TRUE(shown("Cannot delete " + dir.file("voice.~vt")));
  EXPECT_EQ(read_file(path), saved);
  std::filesystem::remove_all(dir.file("voice.~vt"));

  // A write that fails half-way (a full disk, a quota) moves nothing either, and the
  // message says why.
  const auto failure = [&] {
    try {
      doc.save_document();
    } catch (const VocantaError& e) {
      return std::string(e.what());
    }
    return std::string("saved");
  };
  {
    testing::FileSizeLimit limit(100);
    EXPECT_EQ(failure(), "Unable to write to " + path + ": " + std::strerror(EFBIG));
  }
  EXPECT_EQ(read_file(path), saved);
  EXPECT_FALSE(std::filesystem::exists(dir.file("voice.~vt")));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);

  // A folder nobody may write to (root may, so this part only runs for users).
  if (::geteuid() != 0) {
    ::chmod(dir.path().c_str(), 0555);
    EXPECT_EQ(failure(), "Unable to write to " + path + ": " + std::strerror(EACCES));
    ::chmod(dir.path().c_str(), 0755);
    EXPECT_EQ(read_file(path), saved);
  }

  // A Save as that fails leaves the document its name: the next Save goes where the
  // caption says, not to the place that could not be written.
  const std::string nowhere = dir.file("no/such/folder.vta");
  prompter.fileNames = {nowhere};
  EXPECT_THROW(doc.save_document_as(), VocantaError);
  EXPECT_EQ(doc.documentPath, path);
  EXPECT_TRUE(doc.save_document());
  EXPECT_NE(read_file(path), saved);
  EXPECT_FALSE(std::filesystem::exists(dir.file("no")));
}

}  // namespace
}  // namespace vocanta
