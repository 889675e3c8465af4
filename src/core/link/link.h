#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "core/link/link_message.h"

namespace vocanta {

// How link messages reach the other programs; the desktop program sends them over the
// session bus, tests record them.
class LinkTransport {
 public:
  virtual ~LinkTransport() = default;
  // This program's own endpoint, so that its own messages can be told apart; empty
  // while there is no transport at all.
  virtual LinkEndpoint own_endpoint() const = 0;
  virtual void broadcast(uint32_t value) = 0;
  virtual void post(const LinkEndpoint& to, uint32_t value) = 0;
};

// The about box as the link needs it: the version text and a modal show.
class LinkAboutBox {
 public:
  virtual ~LinkAboutBox() = default;
  virtual std::string version_text() const = 0;
  virtual void show_modal() = 0;
};

// What the other programs may ask of this one's windows.
class LinkWindows {
 public:
  virtual ~LinkWindows() = default;
  // Closes the main window as the user's close does, questions included.
  virtual void close_main_window() = 0;
  virtual void bring_to_front() = 0;
};

// The link with the other running programs of the tool family: it announces this
// program's start and end, answers who is there, the version and the heavy-load
// question, and obeys the show-about, come-to-front and quit commands.
class Link {
 public:
  using Hook = std::function<void(const tlinkevent&)>;

  static constexpr uint8_t MyID = 6;
  // The program that waits for this one's heavy work to end.
  static constexpr uint8_t kWaitingPeerID = 26;

  Link(LinkTransport& transport, LinkWindows& windows);

  // Starts receiving and announces the start; stop announces the end and stops.
  void start();
  void stop();
  bool receiving() const { return receiving_; }

  void notify_others(uint8_t code);
  void notify_one(uint8_t code, const LinkEndpoint& to);
  void new_file() { notify_others(1); }
  void ask_heavyload();

  bool HeavyLoad() const { return heavyLoad_; }
  // Off while a waiting peer is remembered also tells that peer to quit.
  void set_HeavyLoad(bool on);
  bool SystemIsLoaded() const { return systemIsLoaded_; }
  const std::optional<LinkEndpoint>& waiting_peer() const { return waitingPeer_; }
  // The program that last said it is under heavy load.
  const std::optional<LinkEndpoint>& loaded_peer() const { return loadedPeer_; }

  // May be none: the version is then 0 and code 6 shows nothing.
  void set_about_box(LinkAboutBox* about) { about_ = about; }

  // One message from the transport. Returns whether the link consumed it; this
  // program's own messages, and any while not receiving, pass on untouched.
  bool receive(const LinkEndpoint& sender, uint32_t value);

  Hook OnNewFile, OnWho, OnImSomeOne, OnStarting, OnQuitting, OnShowAbout, OnAskVersion,
      OnAnswerVersion, OnQuit, OnTakeFocus, OnMessage;

 private:
  void handle(const tlinkevent& event);
  void reply(const tlinkevent& to, uint8_t code, uint16_t parameter = 0);
  void remember_waiting_peer(const tlinkevent& event);
  const Hook* hook_for(uint8_t code) const;
  uint16_t version() const;

  LinkTransport& transport_;
  LinkWindows& windows_;
  LinkAboutBox* about_ = nullptr;
  bool receiving_ = false;
  bool heavyLoad_ = false;
  bool systemIsLoaded_ = false;
  std::optional<LinkEndpoint> waitingPeer_;
  std::optional<LinkEndpoint> loadedPeer_;
};

}  // namespace vocanta
