#pragma once

#include <QDBusConnection>
#include <QObject>
#include <functional>

#include "core/link/link.h"

class QDBusMessage;

namespace vocanta {

// The link's messages on the desktop's session bus: one signal, Message(uint32), on a
// fixed object path and interface, so that any program, and a user with gdbus or
// dbus-send, can take part. A broadcast is the signal without a destination, a message
// to one program the same signal addressed to its unique bus name, which is also the
// endpoint every received message names as its sender.
class DBusLinkTransport : public QObject, public LinkTransport {
  Q_OBJECT

 public:
  static constexpr const char* kPath = "/com/zarvek/Quirra/Link";
  static constexpr const char* kInterface = "com.zarvek.Quirra.Link";
  static constexpr const char* kSignal = "Message";

  // Without a session bus the link is off: said once on stderr, and sending does
  // nothing.
  explicit DBusLinkTransport(QObject* parent = nullptr);
  ~DBusLinkTransport() override;

  bool connected() const { return connected_; }
  LinkEndpoint own_endpoint() const override;
  void broadcast(uint32_t value) override;
  void post(const LinkEndpoint& to, uint32_t value) override;
  // Returns once every message sent so far has reached the bus: the last words before
  // the program ends must not be lost with its connection.
  void flush();

  // Every message of the link's kind from the bus, the program's own among them.
  std::function<void(const LinkEndpoint& sender, uint32_t value)> onMessage;

 private slots:
  void message(const QDBusMessage& message);

 private:
  void send(QDBusMessage message, uint32_t value);

  QDBusConnection bus_;
  bool connected_ = false;
};

}  // namespace vocanta
