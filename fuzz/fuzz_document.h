#pragma once

#include <string>
#include <string_view>

#include "core/document/document.h"
#include "core/model/voice.h"
#include "core/support/prompter.h"

namespace vocanta::fuzz {

// Says yes to a differing version, so that such documents are read through too.
class YesPrompter : public Prompter {
 public:
  void message(const std::string&) override {}
  Answer ask_yes_no(const std::string&) override { return Answer::Yes; }
  Answer ask_yes_no_cancel(const std::string&) override { return Answer::Yes; }
  std::string open_file_name(const std::string&, const std::string&, const std::string&) override {
    return "";
  }
  std::string save_file_name(const std::string&, const std::string&, const std::string&) override {
    return "";
  }
};

// Reads text into a fresh voice as opening a document does; false when it was refused.
inline bool read_into(Voice& voice, std::string_view text) {
  YesPrompter prompter;
  reset_to_new(voice);
  return read_document_text(voice, '.', text, "fuzz.vta", ReadSelection{}, prompter).accepted;
}

}  // namespace vocanta::fuzz
