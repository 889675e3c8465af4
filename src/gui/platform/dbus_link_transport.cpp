#include "gui/platform/dbus_link_transport.h"

#include <QDBusMessage>
#include <cstdio>

#include "gui/platform/error_report.h"

namespace vocanta {
namespace {

void say_link_is_off(const QString& why) {
  // Once per run, however many windows ask for a link.
  static bool said = false;
  if (said) return;
  said = true;
  std::fprintf(stderr, "vocanta: the link to other programs is off: %s\n", qPrintable(why));
}

}  // namespace

DBusLinkTransport::DBusLinkTransport(QObject* parent)
    : QObject(parent), bus_(QDBusConnection::sessionBus()) {
  if (!bus_.isConnected()) {
    const QString why = bus_.lastError().message();
    say_link_is_off(why.isEmpty() ? "no D-Bus session bus" : why);
    return;
  }
  // An empty service name subscribes to the signal from every sender.
  connected_ =
      bus_.connect(QString(), kPath, kInterface, kSignal, this, SLOT(message(QDBusMessage)));
  if (!connected_) say_link_is_off("the session bus refused the subscription");
}

DBusLinkTransport::~DBusLinkTransport() {
  if (connected_)
    bus_.disconnect(QString(), kPath, kInterface, kSignal, this, SLOT(message(QDBusMessage)));
}

LinkEndpoint DBusLinkTransport::own_endpoint() const {
  return connected_ ? bus_.baseService().toStdString() : LinkEndpoint();
}

void DBusLinkTransport::broadcast(uint32_t value) {
  send(QDBusMessage::createSignal(kPath, kInterface, kSignal), value);
}

void DBusLinkTransport::post(const LinkEndpoint& to, uint32_t value) {
  send(QDBusMessage::createTargetedSignal(QString::fromStdString(to), kPath, kInterface, kSignal),
       value);
}

void DBusLinkTransport::send(QDBusMessage message, uint32_t value) {
  if (!connected_) return;
  message << static_cast<uint>(value);
  bus_.send(message);
}

void DBusLinkTransport::flush() {
  if (!connected_) return;
  // The bus answers in order: once its reply to this call is here, everything sent
  // before it has left.
  const auto ping = QDBusMessage::createMethodCall("org.freedesktop.DBus", "/org/freedesktop/DBus",
                                                   "org.freedesktop.DBus.Peer", "Ping");
  bus_.call(ping, QDBus::Block, 2000);
}

void DBusLinkTransport::message(const QDBusMessage& message) {
  // Anyone may send anything on the bus: a signal of another form is not a link message.
  if (message.signature() != "u" || !onMessage) return;
  // A string-named slot, so the guard sits in here rather than around the connection.
  run_reported(
      [&] { onMessage(message.service().toStdString(), message.arguments().at(0).toUInt()); });
}

}  // namespace vocanta
