#include "core/link/link.h"

namespace vocanta {

Link::Link(LinkTransport& transport, LinkWindows& windows)
    : transport_(transport), windows_(windows) {}

void Link::start() {
  receiving_ = true;
  notify_others(4);
}

void Link::stop() {
  if (!receiving_) return;
  notify_others(5);
  receiving_ = false;
}

void Link::notify_others(uint8_t code) {
  transport_.broadcast(link_value(MyID, code, 0));
}

void Link::notify_one(uint8_t code, const LinkEndpoint& to) {
  transport_.post(to, link_value(MyID, code, 0));
}

void Link::ask_heavyload() {
  set_HeavyLoad(false);
  notify_others(12);
}

void Link::set_HeavyLoad(bool on) {
  heavyLoad_ = on;
  if (on || !waitingPeer_) return;
  // Released once: a peer told to quit after every later build would be told by a
  // program that no longer waits for it.
  const LinkEndpoint peer = *waitingPeer_;
  waitingPeer_.reset();
  notify_one(9, peer);
}

bool Link::receive(const LinkEndpoint& sender, uint32_t value) {
  if (!receiving_ || sender == transport_.own_endpoint()) return false;
  const tlinkevent event = link_event(sender, value);
  if (OnMessage) OnMessage(event);
  if (event.code >= 1 && event.code <= 12) handle(event);
  return true;
}

void Link::handle(const tlinkevent& event) {
  if (const Hook* hook = hook_for(event.code); hook && *hook) (*hook)(event);
  switch (event.code) {
    case 2:
      reply(event, 3);
      break;
    case 4:
      if (heavyLoad_) reply(event, 11);
      remember_waiting_peer(event);
      break;
    case 6:
      if (about_) about_->show_modal();
      break;
    case 7:
      reply(event, 8, version());
      break;
    case 9:
      if (event.identifier == kWaitingPeerID) waitingPeer_.reset();
      windows_.close_main_window();
      break;
    case 10:
      windows_.bring_to_front();
      break;
    case 11:
      systemIsLoaded_ = true;
      loadedPeer_ = event.sender;
      break;
    case 12:
      if (!heavyLoad_) break;
      reply(event, 11);
      remember_waiting_peer(event);
      break;
    default:
      break;  // 1, 3, 5 and 8 only tell
  }
}

void Link::reply(const tlinkevent& to, uint8_t code, uint16_t parameter) {
  transport_.post(to.sender, link_value(MyID, code, parameter));
}

void Link::remember_waiting_peer(const tlinkevent& event) {
  if (event.identifier == kWaitingPeerID) waitingPeer_ = event.sender;
}

const Link::Hook* Link::hook_for(uint8_t code) const {
  switch (code) {
    case 1:
      return &OnNewFile;
    case 2:
      return &OnWho;
    case 3:
      return &OnImSomeOne;
    case 4:
      return &OnStarting;
    case 5:
      return &OnQuitting;
    case 6:
      return &OnShowAbout;
    case 7:
      return &OnAskVersion;
    case 8:
      return &OnAnswerVersion;
    case 9:
      return &OnQuit;
    case 10:
      return &OnTakeFocus;
    default:
      return nullptr;
  }
}

uint16_t Link::version() const {
  return about_ ? link_version_number(about_->version_text()) : 0;
}

}  // namespace vocanta
