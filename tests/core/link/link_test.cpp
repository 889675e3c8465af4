#include "core/link/link.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace vocanta {
namespace {

constexpr uint8_t kOther = 9, kWaiterID = TLink::kWaitingPeerID;
const LinkEndpoint kSelf = ":1.7", kPeer = ":1.20", kWaiter = ":1.26";

// A posted message: its destination ("" for a broadcast) and its value.
using Sent = std::pair<LinkEndpoint, uint32_t>;
using SentList = std::vector<Sent>;

struct FakeTransport : LinkTransport {
  SentList sent;
  LinkEndpoint own_endpoint() const override { return kSelf; }
  void broadcast(uint32_t value) override { sent.emplace_back("", value); }
  void post(const LinkEndpoint& to, uint32_t value) override { sent.emplace_back(to, value); }
};

struct FakeWindows : LinkWindows, LinkAboutBox {
  std::string version = "3.0";
  std::vector<std::string> actions;
  void close_main_window() override { actions.push_back("close"); }
  void bring_to_front() override { actions.push_back("front"); }
  std::string version_text() const override { return version; }
  void show_modal() override { actions.push_back("about"); }
};

Sent to(const LinkEndpoint& who, uint8_t code, uint16_t parameter = 0) {
  return {who, link_value(TLink::MyID, code, parameter)};
}

class LinkTest : public ::testing::Test {
 protected:
  LinkTest() {
    link.set_about_box(&windows);
    link.start();
  }
  // What the link sent in answer to one message.
  SentList answer(uint8_t identifier, uint8_t code, const LinkEndpoint& from = kPeer) {
    transport.sent.clear();
    EXPECT_TRUE(link.receive(from, link_value(identifier, code, 0)));
    return transport.sent;
  }
  SentList after(const std::function<void()>& action) {
    transport.sent.clear();
    action();
    return transport.sent;
  }

  FakeTransport transport;
  FakeWindows windows;
  TLink link{transport, windows};
};

TEST_F(LinkTest, AnnouncesItsStartAndEndAndPassesOverItsOwnMessages) {
  EXPECT_EQ(transport.sent, SentList{to("", 4)});
  EXPECT_FALSE(link.receive(kSelf, link_value(TLink::MyID, 2, 0)));
  EXPECT_EQ(after([&] { link.stop(), link.stop(); }), SentList{to("", 5)});
  EXPECT_FALSE(link.receive(kPeer, link_value(kOther, 2, 0)));  // no longer receiving
}

TEST_F(LinkTest, AnswersOnlyTheAskerAndObeysCommands) {
  EXPECT_EQ(answer(kOther, 2), SentList{to(kPeer, 3)});
  EXPECT_EQ(answer(kOther, 2 | 0x80), SentList{to(kPeer, 3)});  // the eighth bit is no part
  EXPECT_EQ(answer(kOther, 7), SentList{to(kPeer, 8, 768)});
  for (uint8_t code : {6, 10, 9}) EXPECT_EQ(answer(kOther, code), SentList{});
  EXPECT_EQ(windows.actions, (std::vector<std::string>{"about", "front", "close"}));
  link.set_about_box(nullptr);
  EXPECT_EQ(answer(kOther, 7), SentList{to(kPeer, 8, 0)});
  EXPECT_EQ(answer(kOther, 6), SentList{});
  EXPECT_EQ(windows.actions.size(), 3u);
}

TEST_F(LinkTest, NoticesAndUnknownCodesAreConsumedWithoutEffectButReachTheHooks) {
  std::vector<tlinkevent> heard;
  link.OnNewFile = link.OnImSomeOne = link.OnQuitting =
      link.OnAnswerVersion = [&](const tlinkevent& e) { heard.push_back(e); };
  int messages = 0;
  link.OnMessage = [&](const tlinkevent&) { ++messages; };
  for (uint8_t code : {1, 3, 5, 0, 13, 127}) EXPECT_EQ(answer(kOther, code), SentList{});
  EXPECT_TRUE(after([&] { link.receive(kPeer, link_value(kOther, 8, 0x1234)); }).empty());
  EXPECT_EQ(messages, 7);
  ASSERT_EQ(heard.size(), 4u);
  const tlinkevent& last = heard.back();
  EXPECT_EQ(last.sender, kPeer);
  EXPECT_EQ(last.identifier, kOther);
  EXPECT_EQ(last.code, 8);
  EXPECT_EQ(last.parameter, 0x1234);
  EXPECT_TRUE(windows.actions.empty());
}

TEST_F(LinkTest, HeavyLoadIsToldOnlyWhileItLastsAndItsEndReleasesTheWaitingPeerOnce) {
  EXPECT_EQ(answer(kOther, 12), SentList{});
  link.set_HeavyLoad(true);
  EXPECT_EQ(answer(kOther, 12), SentList{to(kPeer, 11)});
  EXPECT_EQ(answer(kOther, 4), SentList{to(kPeer, 11)});
  EXPECT_FALSE(link.waiting_peer());
  EXPECT_EQ(answer(kWaiterID, 4, kWaiter), SentList{to(kWaiter, 11)});
  EXPECT_EQ(after([&] { link.set_HeavyLoad(false), link.set_HeavyLoad(false); }),
            SentList{to(kWaiter, 9)});

  // Asked by code 12 it is remembered too; asking the others ourselves releases it.
  link.set_HeavyLoad(true);
  answer(kWaiterID, 12, kWaiter);
  EXPECT_EQ(after([&] { link.ask_heavyload(); }), (SentList{to(kWaiter, 9), to("", 12)}));
  EXPECT_FALSE(link.HeavyLoad());

  // A start while idle is remembered as well; the peer's own quit forgets it.
  answer(kWaiterID, 4, kWaiter);
  EXPECT_EQ(link.waiting_peer(), kWaiter);
  answer(kWaiterID, 9, kWaiter);
  EXPECT_TRUE(after([&] { link.set_HeavyLoad(false); }).empty());
}

TEST_F(LinkTest, AnotherProgramsHeavyLoadIsRemembered) {
  EXPECT_EQ(answer(kOther, 11), SentList{});
  EXPECT_TRUE(link.SystemIsLoaded());
  EXPECT_EQ(link.loaded_peer(), kPeer);
  EXPECT_FALSE(link.HeavyLoad());
}

TEST(LinkVersionNumber, ReadsMajorPointMinorAndFallsBackToZero) {
  const std::vector<std::pair<std::string, uint16_t>> cases = {
      {"3.0", 768},      {"3.300", 3 * 256 + 44},
      {"256.1", 1},      {"7", 7},
      {"70000", 4464},   {" 4.2", 1026},
      {"", 0},           {"3.x", 0},
      {"v3.0", 0},       {"3.0.1", 0},
      {"99999999999", 0}};
  for (const auto& [text, number] : cases) EXPECT_EQ(link_version_number(text), number) << text;
}

}  // namespace
}  // namespace vocanta
