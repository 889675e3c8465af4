#include "core/link/link.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace vocanta {
namespace {

constexpr uint8_t kOther = 9;  // some other program of the family
const LinkEndpoint kSelf = ":1.7", kPeer = ":1.20", kWaiter = ":1.26";

// A posted message: its destination ("" for a broadcast) and its value.
using Sent = std::pair<LinkEndpoint, uint32_t>;

struct FakeTransport : LinkTransport {
  std::vector<Sent> sent;
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

class LinkTest : public ::testing::Test {
 protected:
  LinkTest() {
    link.set_about_box(&windows);
    link.start();
    transport.sent.clear();
  }
  // What the link sent in answer to one message.
  std::vector<Sent> answer(uint8_t identifier, uint8_t code, const LinkEndpoint& from = kPeer) {
    transport.sent.clear();
    EXPECT_TRUE(link.receive(from, link_value(identifier, code, 0)));
    return transport.sent;
  }
  static Sent to(const LinkEndpoint& who, uint8_t code, uint16_t parameter = 0) {
    return {who, link_value(TLink::MyID, code, parameter)};
  }

  FakeTransport transport;
  FakeWindows windows;
  TLink link{transport, windows};
};

TEST_F(LinkTest, AnnouncesItsStartAndEndAndPassesOverItsOwnMessages) {
  TLink fresh(transport, windows);
  EXPECT_FALSE(fresh.receive(kPeer, link_value(kOther, 2, 0)));  // not yet receiving
  fresh.start();
  EXPECT_FALSE(fresh.receive(kSelf, link_value(TLink::MyID, 2, 0)));
  fresh.stop();
  fresh.stop();
  EXPECT_EQ(transport.sent, (std::vector<Sent>{{"", 0x06040000u}, {"", 0x06050000u}}));
  EXPECT_FALSE(fresh.receive(kPeer, link_value(kOther, 2, 0)));
  EXPECT_EQ(transport.sent.size(), 2u);
}

TEST_F(LinkTest, AnswersWhoIsThereAndTheVersionToTheSenderOnly) {
  EXPECT_EQ(answer(kOther, 2), std::vector<Sent>{to(kPeer, 3)});
  // The eighth bit beside the code is not part of it.
  EXPECT_EQ(answer(kOther, 2 | 0x80), std::vector<Sent>{to(kPeer, 3)});
  EXPECT_EQ(answer(kOther, 7), std::vector<Sent>{to(kPeer, 8, 768)});
  windows.version = "2.15";
  EXPECT_EQ(answer(kOther, 7), std::vector<Sent>{to(kPeer, 8, 2 * 256 + 15)});
  link.set_about_box(nullptr);
  EXPECT_EQ(answer(kOther, 7), std::vector<Sent>{to(kPeer, 8, 0)});
  EXPECT_EQ(answer(kOther, 6), std::vector<Sent>{});  // no about box to show
  EXPECT_TRUE(windows.actions.empty());
}

TEST_F(LinkTest, NoticesAndUnknownCodesAreConsumedWithoutAnswerOrEffect) {
  std::vector<tlinkevent> heard;
  link.OnNewFile = link.OnImSomeOne = link.OnQuitting =
      link.OnAnswerVersion = [&](const tlinkevent& e) { heard.push_back(e); };
  int messages = 0;
  link.OnMessage = [&](const tlinkevent&) { ++messages; };
  for (uint8_t code : {1, 3, 5, 8, 0, 13, 127})
    EXPECT_EQ(answer(kOther, code), std::vector<Sent>{});
  transport.sent.clear();
  EXPECT_TRUE(link.receive(kPeer, link_value(kOther, 8, 0x1234)));
  EXPECT_EQ(messages, 8);
  ASSERT_EQ(heard.size(), 5u);
  EXPECT_EQ(heard[4].sender, kPeer);
  EXPECT_EQ(heard[4].identifier, kOther);
  EXPECT_EQ(heard[4].code, 8);
  EXPECT_EQ(heard[4].parameter, 0x1234);
  EXPECT_TRUE(windows.actions.empty());
  EXPECT_TRUE(transport.sent.empty());
  EXPECT_FALSE(link.SystemIsLoaded());
}

TEST_F(LinkTest, CommandsReachTheWindows) {
  int shown = 0;
  link.OnShowAbout = [&](const tlinkevent&) { ++shown; };
  for (uint8_t code : {6, 10, 9}) EXPECT_EQ(answer(kOther, code), std::vector<Sent>{});
  EXPECT_EQ(windows.actions, (std::vector<std::string>{"about", "front", "close"}));
  EXPECT_EQ(shown, 1);
}

TEST_F(LinkTest, HeavyLoadIsToldOnlyWhileItLastsAndReleasesTheWaitingPeerOnce) {
  EXPECT_EQ(answer(kOther, 12), std::vector<Sent>{});
  EXPECT_EQ(answer(kOther, 4), std::vector<Sent>{});
  link.set_HeavyLoad(true);
  EXPECT_EQ(answer(kOther, 12), std::vector<Sent>{to(kPeer, 11)});
  EXPECT_EQ(answer(kOther, 4), std::vector<Sent>{to(kPeer, 11)});
  EXPECT_FALSE(link.waiting_peer());
  EXPECT_EQ(answer(TLink::kWaitingPeerID, 4, kWaiter), std::vector<Sent>{to(kWaiter, 11)});
  EXPECT_EQ(link.waiting_peer(), kWaiter);
  transport.sent.clear();
  link.set_HeavyLoad(true);
  EXPECT_TRUE(transport.sent.empty());
  link.set_HeavyLoad(false);
  link.set_HeavyLoad(false);
  EXPECT_EQ(transport.sent, std::vector<Sent>{to(kWaiter, 9)});
  EXPECT_FALSE(link.waiting_peer());

  // The waiting peer that asks by code 12 is remembered too; asking ourselves releases it.
  link.set_HeavyLoad(true);
  EXPECT_EQ(answer(TLink::kWaitingPeerID, 12, kWaiter), std::vector<Sent>{to(kWaiter, 11)});
  transport.sent.clear();
  link.ask_heavyload();
  EXPECT_FALSE(link.HeavyLoad());
  EXPECT_EQ(transport.sent, (std::vector<Sent>{to(kWaiter, 9), {"", 0x060C0000u}}));
}

TEST_F(LinkTest, WaitingPeerThatQuitsOrStartsIdleIsHandledAsItSays) {
  // A start while idle is remembered as well: the next build's end releases it.
  answer(TLink::kWaitingPeerID, 4, kWaiter);
  EXPECT_EQ(link.waiting_peer(), kWaiter);
  // Its own quit command forgets it, so it is not told to quit in return.
  EXPECT_EQ(answer(TLink::kWaitingPeerID, 9, kWaiter), std::vector<Sent>{});
  EXPECT_EQ(windows.actions, std::vector<std::string>{"close"});
  transport.sent.clear();
  link.set_HeavyLoad(false);
  EXPECT_TRUE(transport.sent.empty());
}

TEST_F(LinkTest, AnotherProgramsHeavyLoadIsRemembered) {
  EXPECT_EQ(answer(kOther, 11), std::vector<Sent>{});
  EXPECT_TRUE(link.SystemIsLoaded());
  EXPECT_EQ(link.loaded_peer(), kPeer);
  EXPECT_FALSE(link.HeavyLoad());
}

TEST(LinkVersionNumber, ReadsMajorPointMinorAndFallsBackToZero) {
  const std::vector<std::pair<std::string, uint16_t>> cases = {{"3.0", 768},
                                                               {"3.300", 3 * 256 + 44},
                                                               {"256.1", 1},
                                                               {"7", 7},
                                                               {"70000", 70000 - 65536},
                                                               {" 4.2 ", 1026},
                                                               {"", 0},
                                                               {"3.x", 0},
                                                               {"v3.0", 0},
                                                               {"3.0.1", 0},
                                                               {"99999999999", 0}};
  for (const auto& [text, number] : cases) EXPECT_EQ(link_version_number(text), number) << text;
}

}  // namespace
}  // namespace vocanta
