#include "core/model/batch_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/document/batch_steps.h"
#include "core/model/curve.h"
#include "core/model/random_generator.h"
#include "core/model/voice.h"
#include "core/support/ini_file.h"
#include "core/support/vocanta_error.h"
#include "test_support.h"

namespace vocanta {
namespace {

// The identifier a new batch gets from the shared generator at this seed.
int16_t next_id(uint32_t& seed) {
  seed = seed * 134775813u + 1u;
  return static_cast<int16_t>(1 + ((uint64_t{seed} * 32766u) >> 32));
}

class BatchListTest : public ::testing::Test {
 protected:
  TCurvePoint point(int16_t id) {
    TCurvePoint p;
    p.y = 5;
    p.batchY = 1;
    p.batchRange = 2;
    p.batch = id;
    return p;
  }
  std::vector<std::string> names() const {
    std::vector<std::string> result;
    for (const tbatchitem* b = batches.head(); b; b = b->next) result.push_back(b->name);
    return result;
  }

  RandomGenerator random;
  ModelEvents events;
  testing::ChangeLog log{events};
  BatchList batches{random, events};
};

TEST_F(BatchListTest, GetBatchNormalizesNamesAndDrawsIdentifiers) {
  uint32_t seed = 0;
  const int16_t first = next_id(seed);
  const int16_t id = batches.get_batch("loud voice");
  EXPECT_EQ(id, first);
  EXPECT_EQ(batches.get_batch("LOUD VOICE"), id);
  EXPECT_EQ(batches.find_batch_id("lOUD vOICE"), id);
  EXPECT_EQ(batches.batch_name(id), "Loud voice");
  EXPECT_EQ(log.count(ModelChange::Kind::Batches), 2);

  EXPECT_EQ(batches.get_batch(""), 0);
  EXPECT_EQ(batches.batch_count(), 1);
  EXPECT_EQ(log.count(ModelChange::Kind::Batches), 3);
  EXPECT_EQ(batches.batch_name(0), "");

  // The generator repeats the identifier in use: the next draw is taken instead.
  random.seed = 0;
  seed = 0;
  next_id(seed);
  const int16_t second = batches.get_batch("soft");
  EXPECT_EQ(second, next_id(seed));
  EXPECT_NE(second, id);

  // The seed whose successor is 2^32 - 1 gives the highest identifier.
  random.seed = 1298181734u;
  EXPECT_EQ(batches.get_batch("top"), 32766);

  EXPECT_EQ(names(), (std::vector<std::string>{"Top", "Soft", "Loud voice"}));
  EXPECT_EQ(batches.nth_batch_id(1), 32766);
  EXPECT_EQ(batches.nth_batch_id(2), second);
  EXPECT_EQ(batches.nth_batch_id(3), id);
  EXPECT_EQ(batches.nth_batch_id(4), 0);
  EXPECT_EQ(batches.nth_batch_id(0), 0);
  EXPECT_FALSE(log.modified());
}

TEST_F(BatchListTest, NamesADocumentCannotKeepAreRefusedWhereBatchesAreMade) {
  const std::string longest = [] {
    std::string s;
    for (int i = 0; i < 255; ++i) s += "\u00e4";  // 255 letters, 510 bytes
    return s;
  }();
  for (const std::string& good :
       {std::string("loud VOICE"), std::string("a;b"), std::string("x[1]"),
        std::string("Tab\tinside"), std::string("\u00c4rger"), longest}) {
    EXPECT_NO_THROW(check_batch_name(good)) << good;
    EXPECT_EQ(batches.batch_name(batches.get_batch(good)), normalize_batch_name(good));
  }
  const struct {
    std::string name, message;
  } refused[] = {
      {"", "A batch name cannot be empty"},
      {" Vib", "' Vib' cannot be a batch name: blanks at its ends would be lost in the document"},
      {"Vib\t", "'Vib\t' cannot be a batch name: blanks at its ends would be lost in the document"},
      {"[F0]",
       "'[F0]' cannot be a batch name: a document line that begins with \"[\" starts a "
       "section"},
      {";x", "';x' cannot be a batch name: a document line that begins with \";\" is a comment"},
      {"a=b", "'a=b' cannot be a batch name: \"=\" ends the name of a document entry"},
      {"a\rb", "'a\\rb' cannot be a batch name: a line break would end the document line"},
      {"a\nb", "'a\\nb' cannot be a batch name: a line break would end the document line"},
      {std::string("a\0b", 3), "'a\\0b' cannot be a batch name: it holds a NUL character"},
      {longest + "x", "'" + longest.substr(0, 120) +
                          "\u2026' cannot be a batch name: a document keeps no more than 255 "
                          "characters of it"},
  };
  const int before = batches.batch_count();
  const uint32_t seed = random.seed;
  for (const auto& [name, message] : refused) {
    try {
      check_batch_name(name);
      ADD_FAILURE() << name << " was accepted";
    } catch (const VocantaError& e) {
      EXPECT_EQ(e.what(), message);
    }
    if (name.empty()) continue;  // get_batch takes the empty name as no batch
    try {
      batches.get_batch(name);
      ADD_FAILURE() << name << " became a batch";
    } catch (const VocantaError& e) {
      EXPECT_EQ(e.what(), message);
    }
  }
  EXPECT_EQ(batches.batch_count(), before);
  EXPECT_EQ(random.seed, seed);  // no identifier was drawn for them
}

TEST_F(BatchListTest, AFullListRefusesTheNextBatch) {
  uint32_t seed = 0;
  EXPECT_EQ(batches.get_batch("0"), next_id(seed));
  for (int i = 1; i < kMaxBatches; ++i) batches.get_batch(std::to_string(i));
  EXPECT_EQ(batches.batch_count(), kMaxBatches);
  EXPECT_EQ(batches.get_batch("17"), batches.find_batch_id("17"));
  try {
    batches.get_batch("one more");
    FAIL() << "a batch beyond the identifiers was made";
  } catch (const VocantaError& e) {
    EXPECT_STREQ(e.what(), "'one more' cannot be added: a voice holds at most 32766 batches");
  }
  EXPECT_EQ(batches.batch_count(), kMaxBatches);
  // Every identifier is in use once.
  std::vector<bool> seen(kMaxBatches + 1);
  for (const tbatchitem* b = batches.head(); b; b = b->next) {
    ASSERT_FALSE(seen[b->id]);
    seen[b->id] = true;
  }
  const int16_t id = batches.remove_batch("100");
  EXPECT_EQ(batches.find_batch_id("100"), 0);
  EXPECT_EQ(batches.find_batch(id), nullptr);
  EXPECT_EQ(batches.get_batch("one more"), id);  // the one free identifier
}

TEST_F(BatchListTest, RenameKeepsTheTypedNameAndRefusesAnotherBatchsName) {
  const int16_t a = batches.get_batch("alpha");
  const int16_t b = batches.get_batch("beta");
  batches.rename_batch(a, "GAMMA");
  EXPECT_EQ(batches.batch_name(a), "GAMMA");
  EXPECT_TRUE(log.modified());
  EXPECT_EQ(batches.find_batch_id("gamma"), a);
  EXPECT_EQ(batches.find_batch_id("alpha"), 0);
  EXPECT_EQ(batches.get_batch("Gamma"), a);
  batches.rename_batch(a, "Gamma");  // its own name in another case
  EXPECT_EQ(batches.batch_name(a), "Gamma");
  for (const std::string& bad : {std::string("BETA"), std::string("x=y")})
    EXPECT_THROW(batches.rename_batch(a, bad), VocantaError) << bad;
  EXPECT_EQ(batches.batch_name(a), "Gamma");
  EXPECT_EQ(batches.remove_batch("gamma"), a);
  EXPECT_EQ(batches.find_batch_id("beta"), b);
}

TEST_F(BatchListTest, SteppingMovesAPointFromStartToEnd) {
  const int16_t id = batches.get_batch("vowel");
  const TCurvePoint p = point(id);
  const TCurvePoint plain = point(0);
  TCurvePoint lost = point(id == 1 ? 2 : 1);
  EXPECT_EQ(batches.batch_value(nullptr), 0);
  EXPECT_EQ(batches.batch_value(&p), 1);  // a new batch stands active at step 0
  EXPECT_EQ(batches.batch_value(&lost), 5);

  batches.find_batch(id)->nSteps = 4;
  EXPECT_EQ(batches.reset_batch(id), -1);
  EXPECT_EQ(batches.batch_value(&p), 5);
  const double expected[] = {1, 1.5, 2, 2.5, 3};
  for (int16_t s = 0; s <= 4; ++s) {
    EXPECT_EQ(batches.step_batch(id), s);
    EXPECT_EQ(batches.batch_value(&p), expected[s]);
    EXPECT_EQ(batches.batch_value(&plain), 5);
  }
  EXPECT_EQ(batches.step_batch(id), -2);
  EXPECT_EQ(batches.batch_value(&p), 3);

  batches.find_batch(id)->nSteps = 0;
  batches.reset_batch(id);
  EXPECT_EQ(batches.step_batch(id), 0);
  EXPECT_EQ(batches.batch_value(&p), 1);
  EXPECT_EQ(batches.step_batch(id), -2);

  // The longest series the step field can count must still finish.
  tbatchitem* b = batches.find_batch(id);
  b->nSteps = 32767;
  b->step = 32766;
  EXPECT_EQ(batches.step_batch(id), 32767);
  EXPECT_EQ(batches.step_batch(id), -2);

  EXPECT_EQ(batches.reset_batch(lost.batch), -2);
  EXPECT_EQ(batches.step_batch(lost.batch), -1);
  EXPECT_EQ(batches.batch_count(), 1);
}

TEST_F(BatchListTest, ActivationSwitchesPickTheSteppedBatches) {
  const int16_t a = batches.get_batch("a");
  const int16_t b = batches.get_batch("b");
  const TCurvePoint pa = point(a), pb = point(b);
  batches.deactivate_batches();
  EXPECT_EQ(batches.batch_value(&pa), 5);
  EXPECT_EQ(batches.batch_value(&pb), 5);
  batches.activate_all_batches();
  EXPECT_EQ(batches.batch_value(&pa), 1);
  EXPECT_EQ(batches.batch_value(&pb), 1);
  batches.activate_only_batch(b);
  EXPECT_EQ(batches.batch_value(&pa), 5);
  EXPECT_EQ(batches.batch_value(&pb), 1);
  batches.find_batch(a)->factor = 0.5;
  batches.reset_all_batches();
  for (int16_t id : {a, b}) {
    const tbatchitem* item = batches.find_batch(id);
    EXPECT_EQ(item->step, -1);
    EXPECT_EQ(item->factor, 0);
    EXPECT_FALSE(item->active);
  }
}

TEST_F(BatchListTest, RemovedBatchesLeaveNoTrace) {
  const int16_t a = batches.get_batch("a");
  const int16_t b = batches.get_batch("b");
  const TCurvePoint pa = point(a);
  EXPECT_EQ(batches.batch_value(&pa), 1);  // now the cached record
  EXPECT_EQ(batches.remove_batch("c"), 0);
  EXPECT_FALSE(log.modified());
  EXPECT_EQ(batches.remove_batch("A"), a);
  EXPECT_TRUE(log.modified());
  EXPECT_EQ(batches.find_batch(a), nullptr);
  EXPECT_EQ(batches.batch_value(&pa), 5);
  EXPECT_EQ(batches.nth_batch_id(1), b);
  EXPECT_EQ(batches.batch_count(), 1);

  // Drawing the same identifier again must find the new record, not the freed one.
  random.seed = 0;
  EXPECT_EQ(batches.get_batch("again"), a);
  EXPECT_EQ(batches.batch_name(a), "Again");

  batches.find_batch(b);
  batches.clear_batches();
  EXPECT_EQ(batches.find_batch(b), nullptr);
  EXPECT_EQ(batches.batch_count(), 0);
  EXPECT_EQ(batches.head(), nullptr);
}

using BatchStepsTest = BatchListTest;

TEST_F(BatchStepsTest, WrittenInChainOrderAndReadBack) {
  batches.find_batch(batches.get_batch("vowel"))->nSteps = 3;
  batches.get_batch("pitch");
  batches.find_batch(batches.get_batch("loud"))->nSteps = -1;
  IniFile ini;
  write_batch_steps(batches, ini);
  EXPECT_EQ(ini.keys("BatchSteps"), (std::vector<std::string>{"Loud", "Pitch", "Vowel"}));
  EXPECT_EQ(ini.read("BatchSteps", "Loud", ""), "-1");
  EXPECT_EQ(ini.read("BatchSteps", "Pitch", ""), "0");
  EXPECT_EQ(ini.read("BatchSteps", "Vowel", ""), "3");

  batches.get_batch("stale");
  ini.write("BatchSteps", "new one", "");
  read_batch_steps(batches, ini);
  EXPECT_EQ(names(), (std::vector<std::string>{"New one", "Vowel", "Pitch", "Loud"}));
  EXPECT_EQ(batches.find_batch(batches.find_batch_id("vowel"))->nSteps, 3);
  EXPECT_EQ(batches.find_batch(batches.find_batch_id("loud"))->nSteps, -1);
  EXPECT_EQ(batches.find_batch(batches.find_batch_id("new one"))->nSteps, 0);
}

TEST(BatchSteps, RefusesCountsThatAreNoStepNumber) {
  for (const char* bad : {"2.5", "abc", "32768", "-32769"}) {
    RandomGenerator random;
    ModelEvents events;
    BatchList batches(random, events);
    IniFile ini(std::string("[BatchSteps]\r\nVowel=") + bad + "\r\n");
    try {
      read_batch_steps(batches, ini);
      ADD_FAILURE() << bad << " was accepted";
    } catch (const VocantaError& e) {
      EXPECT_EQ(e.what(), "'" + std::string(bad) + "' is not a valid integer value");
    }
    EXPECT_EQ(batches.batch_count(), 0);
  }
}

TEST(BatchSteps, PointsOfADocumentResolveToTheReadBatches) {
  Voice voice;
  read_batch_steps(voice.batches, IniFile("[BatchSteps]\r\nVowel=3\r\n"));
  testing::ChangeLog log(voice.events);
  TCurvePoint* p = voice.add_point(0, "VOWEL", 1, 0, 5, 1, 2);
  EXPECT_TRUE(log.modified());
  ASSERT_EQ(voice.batches.batch_count(), 1);
  const tbatchitem* b = voice.batches.head();
  EXPECT_EQ(b->name, "Vowel");
  EXPECT_EQ(b->nSteps, 3);
  EXPECT_EQ(p->batch, b->id);

  // Curve evaluation takes the point's value through its batch.
  CurveState& state = voice.parameter(0).state;
  EXPECT_EQ(curve_value(state, 1, 0), 1);
  voice.batches.reset_batch(b->id);
  EXPECT_EQ(curve_value(state, 1, 0), 5);
  voice.batches.step_batch(b->id);
  voice.batches.step_batch(b->id);
  voice.batches.step_batch(b->id);
  EXPECT_DOUBLE_EQ(curve_value(state, 1, 0), 1 + 2.0 * 2 / 3);
}

}  // namespace
}  // namespace vocanta
