#include "core/link/link.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace vocanta {
namespace {

constexpr uint8_t kOther = 9, kWaiterID = Link::kWaitingPeerID;
const LinkEndpoint kSelf = ":1.7", kPeer = ":1.20", kWaiter = ":1.26";

// A message sent: its destination ("" for a broadcast) and its value.
using Sent = std::vector<std::pair<LinkEndpoint, uint32_t>>;

// The bus, the windows and the about box, recording what the link did to them.
struct Surroundings : LinkTransport, LinkWindows, LinkAboutBox {
  Sent sent;
  std::vector<std::string> actions;
  std::string version = "3.0";
  LinkEndpoint own_endpoint() const override { return kSelf; }
  void broadcast(uint32_t value) override { sent.emplace_back("", value); }
  void post(const LinkEndpoint& to, uint32_t value) override { sent.emplace_back(to, value); }
  void close_main_window() override { actions.push_back("close"); }
  void bring_to_front() override { actions.push_back("front"); }
  std::string version_text() const override { return version; }
  void show_modal() override { actions.push_back("about"); }
};

Sent to(const LinkEndpoint& who, uint8_t code, uint16_t parameter = 0) {
  return {{who, link_value(Link::MyID, code, parameter)}};
}

class LinkTest : public ::testing::Test {
 protected:
  LinkTest() {
    link.set_about_box(&s);
    link.start();
  }
  // What the link sent while doing one thing.
  Sent after(const std::function<void()>& action) {
    s.sent.clear();
    action();
    return s.sent;
  }
  Sent answer(uint8_t identifier, uint8_t code, const LinkEndpoint& from = kPeer) {
    return after([&] { EXPECT_TRUE(link.receive(from, link_value(identifier, code, 0))); });
  }
  Surroundings s;
  Link link{s, s};
};

TEST_F(LinkTest, AnnouncesItsStartAndEndAndPassesOverItsOwnMessages) {
  EXPECT_EQ(s.sent, to("", 4));
  EXPECT_FALSE(link.receive(kSelf, link_value(Link::MyID, 2, 0)));
  EXPECT_EQ(after([&] { link.stop(), link.stop(); }), to("", 5));
  EXPECT_FALSE(link.receive(kPeer, link_value(kOther, 2, 0)));  // no longer receiving
}

TEST_F(LinkTest, AnswersOnlyTheAskerAndObeysCommands) {
  EXPECT_EQ(answer(kOther, 2), to(kPeer, 3));
  EXPECT_EQ(answer(kOther, 2 | 0x80), to(kPeer, 3));  // the eighth bit is no part of the code
  EXPECT_EQ(answer(kOther, 7), to(kPeer, 8, 768));
  for (uint8_t code : {6, 10, 9}) EXPECT_EQ(answer(kOther, code), Sent{});
  EXPECT_EQ(s.actions, (std::vector<std::string>{"about", "front", "close"}));
  link.set_about_box(nullptr);
  EXPECT_EQ(answer(kOther, 7), to(kPeer, 8, 0));
  EXPECT_EQ(answer(kOther, 6), Sent{});
  EXPECT_EQ(s.actions.size(), 3u);
}

TEST_F(LinkTest, NoticesAndUnknownCodesAreConsumedWithoutEffectButReachTheHooks) {
  std::vector<tlinkevent> heard;
  link.OnNewFile = link.OnImSomeOne = link.OnQuitting =
      link.OnAnswerVersion = [&](const tlinkevent& e) { heard.push_back(e); };
  int messages = 0;
  link.OnMessage = [&](const tlinkevent&) { ++messages; };
  for (uint8_t code : {1, 3, 5, 0, 13, 127}) EXPECT_EQ(answer(kOther, code), Sent{});
  EXPECT_TRUE(after([&] { link.receive(kPeer, link_value(kOther, 8, 0x1234)); }).empty());
  EXPECT_EQ(messages, 7);
  ASSERT_EQ(heard.size(), 4u);
  EXPECT_EQ(heard.back().sender, kPeer);
  EXPECT_EQ(heard.back().identifier, kOther);
  EXPECT_EQ(heard.back().code * 0x10000 + heard.back().parameter, 0x81234);
  EXPECT_TRUE(s.actions.empty());
}

TEST_F(LinkTest, HeavyLoadIsToldOnlyWhileItLastsAndItsEndReleasesTheWaitingPeerOnce) {
  EXPECT_EQ(answer(kOther, 12), Sent{});
  link.set_HeavyLoad(true);
  EXPECT_EQ(answer(kOther, 12), to(kPeer, 11));
  EXPECT_EQ(answer(kOther, 4), to(kPeer, 11));
  EXPECT_EQ(answer(kWaiterID, 4, kWaiter), to(kWaiter, 11));
  EXPECT_EQ(after([&] { link.set_HeavyLoad(false), link.set_HeavyLoad(false); }), to(kWaiter, 9));
  // Asked by code 12 it is remembered too; asking the others ourselves releases it.
  link.set_HeavyLoad(true);
  answer(kWaiterID, 12, kWaiter);
  Sent released = to(kWaiter, 9);
  released.emplace_back("", link_value(Link::MyID, 12, 0));
  EXPECT_EQ(after([&] { link.ask_heavyload(); }), released);
  EXPECT_FALSE(link.HeavyLoad());
  // A start while idle is remembered as well; the peer's own quit forgets it.
  answer(kWaiterID, 4, kWaiter);
  EXPECT_EQ(link.waiting_peer(), kWaiter);
  answer(kWaiterID, 9, kWaiter);
  EXPECT_TRUE(after([&] { link.set_HeavyLoad(false); }).empty());
  // Another program's heavy load is remembered.
  EXPECT_EQ(answer(kOther, 11), Sent{});
  EXPECT_TRUE(link.SystemIsLoaded());
  EXPECT_EQ(link.loaded_peer(), kPeer);
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
