// The desktop program on a private session bus (the test runs under dbus-run-session),
// talked to by peers written here: what another program of the tool family sees.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "core/link/link_message.h"

namespace {

QString app_path, example_path;
constexpr const char* kPath = "/com/zarvek/Quirra/Link";
constexpr const char* kInterface = "com.zarvek.Quirra.Link";
constexpr int kWait = 60000;  // generous: the program is built with the sanitizers

struct Heard {
  QString sender;
  vocanta::tlinkevent event;
};

// Waits, letting the bus deliver, until done() holds or the time is up.
bool wait_until(const std::function<bool()>& done, int ms = kWait) {
  const QDeadlineTimer deadline(ms);
  while (!done() && !deadline.hasExpired())
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  return done();
}

// Another program of the tool family, on a connection of its own.
class Peer : public QObject {
  Q_OBJECT

 public:
  Peer(const QString& name, uint8_t identifier)
      : bus_(QDBusConnection::connectToBus(QDBusConnection::SessionBus, name)),
        identifier_(identifier) {
    EXPECT_TRUE(bus_.isConnected()) << "no session bus: run under dbus-run-session";
    bus_.connect(QString(), kPath, kInterface, "Message", this, SLOT(message(QDBusMessage)));
  }
  ~Peer() override { QDBusConnection::disconnectFromBus(bus_.name()); }

  void broadcast(uint8_t code) {
    send(QDBusMessage::createSignal(kPath, kInterface, "Message"), code);
  }
  void post(const QString& to, uint8_t code) {
    send(QDBusMessage::createTargetedSignal(to, kPath, kInterface, "Message"), code);
  }
  // The first message with this code heard so far, waiting for it up to ms.
  std::optional<Heard> code(uint8_t code, int ms = kWait) {
    std::optional<Heard> found;
    wait_until([&] { return (found = first(code)).has_value(); }, ms);
    return found;
  }
  std::optional<Heard> first(uint8_t code) const {
    for (const Heard& h : heard)
      if (h.event.code == code) return h;
    return {};
  }

  std::vector<Heard> heard;

 private slots:
  void message(const QDBusMessage& m) {
    if (m.service() != bus_.baseService() && m.signature() == "u")
      heard.push_back({m.service(), vocanta::link_event("", m.arguments().at(0).toUInt())});
  }

 private:
  void send(QDBusMessage m, uint8_t code) {
    m << uint(vocanta::link_value(identifier_, code, 0));
    bus_.send(m);
  }
  QDBusConnection bus_;
  uint8_t identifier_;
};

// The program, offscreen, with settings of its own.
struct Program {
  QTemporaryDir home;
  QProcess process;
  explicit Program(const QStringList& arguments) {
    auto env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("XDG_CONFIG_HOME", home.filePath("config"));
    env.insert("XDG_DATA_HOME", home.filePath("data"));
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start(app_path, arguments);
  }
  bool ended_with(int status) {
    wait_until([&] { return process.state() == QProcess::NotRunning; });
    return process.state() == QProcess::NotRunning &&
           process.exitStatus() == QProcess::NormalExit && process.exitCode() == status;
  }
  ~Program() {
    if (process.state() != QProcess::NotRunning) process.kill();
    process.waitForFinished();
  }
};

TEST(LinkOverDBus, AnnouncesItselfAnswersToTheAskerOnlyAndQuitsOnRequest) {
  Peer asker("asker", 9), bystander("bystander", 9);
  Program program({});
  const auto start = asker.code(4);
  ASSERT_TRUE(start) << "no start-up broadcast";
  EXPECT_EQ(start->event.identifier, 6);
  EXPECT_TRUE(bystander.code(4));
  const QString vocanta = start->sender;

  asker.broadcast(2);  // who is there
  const auto here = asker.code(3);
  ASSERT_TRUE(here);
  EXPECT_EQ(here->sender, vocanta);
  EXPECT_EQ(here->event.identifier, 6);
  asker.post(vocanta, 7);
  const auto version = asker.code(8);
  ASSERT_TRUE(version);
  EXPECT_EQ(version->event.parameter, 3 * 256 + 0);
  // Answers go to the asker alone, and idle, the program is not under heavy load.
  asker.post(vocanta, 12);
  wait_until([] { return false; }, 500);
  EXPECT_FALSE(bystander.first(3) || bystander.first(8) || asker.first(11));

  // The document is unmodified, so the close asks nothing.
  asker.post(vocanta, 9);
  EXPECT_TRUE(program.ended_with(0));
  const auto quitting = bystander.code(5, 5000);
  ASSERT_TRUE(quitting) << "no broadcast at exit";
  EXPECT_EQ(quitting->sender, vocanta);
}

TEST(LinkOverDBus, HeavyLoadLastsTheBuildAndItsEndReleasesTheWaitingPeer) {
  QTemporaryDir work;
  QFile in(example_path), out(work.filePath("long.vta"));
  ASSERT_TRUE(in.open(QIODevice::ReadOnly) && out.open(QIODevice::WriteOnly));
  // Long enough for the peers to ask while it builds.
  out.write(in.readAll().replace("TotalDuration=2", "TotalDuration=6"));
  out.close();
  Peer asker("asker", 9), waiter("waiter", 26);
  Program program({out.fileName(), "/b"});
  ASSERT_TRUE(asker.code(4));
  const QDeadlineTimer deadline(kWait);
  // Heavy load is told only once the build refreshes its progress.
  while (!asker.first(11) && !deadline.hasExpired() && !asker.first(1)) {
    asker.broadcast(12);
    wait_until([&] { return asker.first(11).has_value(); }, 200);
  }
  ASSERT_TRUE(asker.first(11)) << "no heavy load during the build";
  EXPECT_FALSE(asker.first(1)) << "the build ended before it was asked";
  waiter.broadcast(4);
  EXPECT_TRUE(waiter.code(11));

  const auto released = waiter.code(9);
  ASSERT_TRUE(released) << "the waiting peer was not released";
  EXPECT_EQ(released->event.identifier, 6);
  EXPECT_TRUE(asker.code(1)) << "no new-file notice after the build";
  EXPECT_FALSE(asker.first(9));
  EXPECT_TRUE(program.ended_with(0));
  EXPECT_TRUE(asker.code(5, 5000));
  EXPECT_TRUE(QFile::exists(work.filePath("long.smp")));
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (argc != 3) {
    QTextStream(stderr) << "usage: " << argv[0] << " VOCANTA EXAMPLE.vta\n";
    return 2;
  }
  QCoreApplication app(argc, argv);
  app_path = argv[1];
  example_path = argv[2];
  return RUN_ALL_TESTS();
}

#include "link_test.moc"
