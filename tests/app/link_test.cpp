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
#include <functional>
#include <optional>
#include <vector>

#include "core/link/link_message.h"

namespace {

QString app_path, example_path;
constexpr const char* kPath = "/com/zarvek/Quirra/Link";
constexpr const char* kInterface = "com.zarvek.Quirra.Link";
constexpr int kWait = 60000;  // generous: the program is built with the sanitizers

// Lets the bus deliver until done() holds or the time is up.
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
      : bus_(QDBusConnection::connectToBus(QDBusConnection::SessionBus, name)), id_(identifier) {
    EXPECT_TRUE(bus_.isConnected()) << "no session bus: run under dbus-run-session";
    bus_.connect(QString(), kPath, kInterface, "Message", this, SLOT(message(QDBusMessage)));
  }
  void send(uint8_t code, const QString& to = QString()) {
    QDBusMessage m = to.isEmpty()
                         ? QDBusMessage::createSignal(kPath, kInterface, "Message")
                         : QDBusMessage::createTargetedSignal(to, kPath, kInterface, "Message");
    bus_.send(m << uint(vocanta::link_value(id_, code, 0)));
  }
  // The first message heard with this code, waiting for it up to ms.
  std::optional<vocanta::tlinkevent> heard(uint8_t code, int ms = 0) {
    std::optional<vocanta::tlinkevent> found;
    wait_until(
        [&] {
          for (const auto& e : heard_)
            if (e.code == code) return (found = e).has_value();
          return false;
        },
        ms);
    return found;
  }

 private slots:
  void message(const QDBusMessage& m) {
    if (m.service() != bus_.baseService())
      heard_.push_back(vocanta::link_event(m.service().toStdString(), m.arguments()[0].toUInt()));
  }

 private:
  QDBusConnection bus_;
  uint8_t id_;
  std::vector<vocanta::tlinkevent> heard_;
};

// Starts the program offscreen with settings of its own; ends it when the test is over.
struct Program : QProcess {
  QTemporaryDir home;
  explicit Program(const QStringList& arguments) {
    auto env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("XDG_CONFIG_HOME", home.filePath("config"));
    env.insert("XDG_DATA_HOME", home.filePath("data"));
    setProcessEnvironment(env);
    setProcessChannelMode(QProcess::ForwardedChannels);
    start(app_path, arguments);
  }
  bool ended_well() {
    wait_until([&] { return state() == QProcess::NotRunning; });
    return state() == QProcess::NotRunning && exitStatus() == NormalExit && exitCode() == 0;
  }
  ~Program() override {
    kill();
    waitForFinished();
  }
};

TEST(LinkOverDBus, AnnouncesItselfAnswersTheAskerOnlyAndQuitsOnRequest) {
  Peer asker("asker", 9), bystander("bystander", 9);
  Program program({});
  const auto start = asker.heard(4, kWait);
  ASSERT_TRUE(start && bystander.heard(4, kWait)) << "no start-up broadcast";
  EXPECT_EQ(start->identifier, 6);
  const QString vocanta = QString::fromStdString(start->sender);
  asker.send(2);  // who is there, to everyone
  const auto here = asker.heard(3, kWait);
  ASSERT_TRUE(here);
  EXPECT_EQ(here->sender, start->sender);
  EXPECT_EQ(here->identifier, 6);
  asker.send(7, vocanta);
  const auto version = asker.heard(8, kWait);
  ASSERT_TRUE(version);
  EXPECT_EQ(version->parameter, 3 * 256 + 0);
  // Answers go to the asker alone, and idle, the program is not under heavy load.
  asker.send(12, vocanta);
  EXPECT_FALSE(asker.heard(11, 500) || bystander.heard(3) || bystander.heard(8));
  // The document is unmodified, so the close asks nothing.
  asker.send(9, vocanta);
  EXPECT_TRUE(program.ended_well());
  EXPECT_TRUE(bystander.heard(5, 5000)) << "no broadcast at exit";
}

TEST(LinkOverDBus, HeavyLoadLastsTheBuildAndItsEndReleasesTheWaitingPeer) {
  QTemporaryDir work;
  QFile in(example_path), out(work.filePath("long.vta"));
  ASSERT_TRUE(in.open(QIODevice::ReadOnly) && out.open(QIODevice::WriteOnly));
  out.write(in.readAll().replace("TotalDuration=2", "TotalDuration=6"));  // time to ask
  out.close();
  Peer asker("asker", 9), waiter("waiter", 26);
  Program program({out.fileName(), "/b"});
  ASSERT_TRUE(asker.heard(4, kWait));
  // Heavy load is told only once the build refreshes its progress.
  const QDeadlineTimer deadline(kWait);
  while (!asker.heard(11, 200) && !asker.heard(1) && !deadline.hasExpired()) asker.send(12);
  ASSERT_TRUE(asker.heard(11)) << "no heavy load during the build";
  ASSERT_FALSE(asker.heard(1)) << "the build ended before it was asked";
  waiter.send(4);
  EXPECT_TRUE(waiter.heard(11, kWait));
  const auto released = waiter.heard(9, kWait);
  ASSERT_TRUE(released) << "the waiting peer was not released";
  EXPECT_EQ(released->identifier, 6);
  EXPECT_TRUE(asker.heard(1, kWait)) << "no new-file notice after the build";
  EXPECT_FALSE(asker.heard(9));
  EXPECT_TRUE(program.ended_well());
  EXPECT_TRUE(asker.heard(5, 5000));
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (argc != 3) return 2;  // VOCANTA EXAMPLE.vta
  QCoreApplication app(argc, argv);
  app_path = argv[1];
  example_path = argv[2];
  return RUN_ALL_TESTS();
}

#include "link_test.moc"
