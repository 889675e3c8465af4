#include <pybind11/stl.h>

#include <string>
#include <vector>

#include "core/document/document.h"
#include "core/model/voice.h"
#include "core/support/file_paths.h"
#include "core/support/prompter.h"
#include "python/voice_handle.h"

namespace vocanta::python {
namespace {

// Documents read from Python ask no one: a refusal becomes the error, and a question
// (a document of another version) is answered Yes, as vocanta-cli does, and warned of.
class ScriptPrompter : public Prompter {
 public:
  void message(const std::string& text) override { messages.push_back(text); }
  Answer ask_yes_no(const std::string& question) override {
    questions.push_back(question);
    return Answer::Yes;
  }
  Answer ask_yes_no_cancel(const std::string& question) override {
    questions.push_back(question);
    return Answer::Cancel;
  }
  std::string open_file_name(const std::string&, const std::string&, const std::string&) override {
    return {};
  }
  std::string save_file_name(const std::string&, const std::string&, const std::string&) override {
    return {};
  }

  std::vector<std::string> messages, questions;
};

VoicePtr new_voice() {
  auto handle = std::make_shared<VoiceHandle>();
  reset_to_new(handle->voice);
  return handle;
}

VoicePtr open_voice(const py::object& given) {
  const std::string path = absolute_path(path_text(given));
  VoicePtr handle = new_voice();
  ScriptPrompter prompter;
  ReadResult read;
  read_document(handle->voice, '.', path, ReadSelection{}, prompter, read);
  if (!read.accepted) {
    std::string text;
    for (const std::string& m : prompter.messages) text += (text.empty() ? "" : "\n") + m;
    raise_error(text.empty() ? path + " was not read" : text);
  }
  // The pictures stay files of their own: the names are kept, as vocanta-cli keeps them.
  for (const auto& [index, file] : read.backgrounds)
    set_background_file(handle->voice, index, file);
  const py::object warn = py::module_::import("warnings").attr("warn");
  for (const std::string& q : prompter.questions) warn(q + " Yes (answered by the script)");
  handle->documentPath = path;
  return handle;
}

void save_voice(VoiceHandle& h, const py::object& given) {
  const std::string path = absolute_path(path_text(given));
  write_document(h.voice, '.', path);
  h.documentPath = path;
  h.history.mark_saved();
}

void undo(VoiceHandle& h) {
  if (!h.history.can_undo()) raise_error("There is no step to undo");
  h.history.undo(h.voice);
}

void redo(VoiceHandle& h) {
  if (!h.history.can_redo()) raise_error("There is no step to redo");
  h.history.redo(h.voice);
}

}  // namespace

void bind_voice(py::module_& m) {
  py::class_<VoiceHandle, VoicePtr> voice(
      m, "Voice", R"(A Vocanta document: 23 parameters with their curves, the batches and the
build settings.

Voice() is a new document, as File > New makes it; vocanta.open(path) reads one.
Edits go through the program's own steps, so undo() and redo() take them back.)");
  voice.def(py::init(&new_voice), "A new document with the program's defaults.");
  voice.def_property_readonly(
      "parameters", [](const VoicePtr& h) { return ParameterListRef{h}; },
      "The 23 parameters, by name (voice.parameters['F0']) or index.");
  voice.def_property_readonly(
      "batches", [](const VoicePtr& h) { return BatchListRef{h}; },
      "The batches, in the order the batch window lists them.");
  voice.def_property_readonly(
      "path", [](const VoiceHandle& h) { return h.documentPath; },
      "The document's file: the one read or last saved; empty for a new voice.");
  voice.def("save", &save_voice, py::arg("path"),
            R"(Writes the document as the program writes it, replacing the file only once
the new text is complete.)");
  voice.def("undo", &undo, "Takes back the last edit.");
  voice.def("redo", &redo, "Makes the last edit taken back again.");
  voice.def("__repr__", [](const VoiceHandle& h) {
    return "<vocanta.Voice " + (h.documentPath.empty() ? std::string("(new)") : h.documentPath) +
           ">";
  });
  bind_settings(voice);
  bind_render(m, voice);
  m.def("open", &open_voice, py::arg("path"),
        R"(Reads a document. A document the program refuses raises vocanta.Error with
the program's message; one of another version is read with a warning.)");
}

}  // namespace vocanta::python
