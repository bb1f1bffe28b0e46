#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QTimer>
#include <vector>

#include "app/Signals.h"
#include "support/QtTestMain.h"

namespace {

// Runs the event loop until the quit signals have been read; bounded so that
// a fault fails instead of hanging.
void ProcessUntil(const KQuitSignals& quit) {
  for (int round = 0; round < 1000 && !quit.QuitRequested(); ++round) QCoreApplication::processEvents();
}

TEST(QuitSignals, SigtermEndsTheEventLoop) {
  KQuitSignals quit;
  ASSERT_TRUE(quit.Ok()) << quit.Error().toStdString();
  std::vector<int> received;
  QObject::connect(&quit, &KQuitSignals::Received, [&](int number) { received.push_back(number); });
  QTimer::singleShot(0, [] { kill(getpid(), SIGTERM); });
  // Only a loop that the signal does not end runs into this.
  QTimer guard;
  guard.setSingleShot(true);
  QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(1); });
  guard.start(60000);
  EXPECT_EQ(QCoreApplication::exec(), 0);
  EXPECT_EQ(received, std::vector<int>{SIGTERM});
  EXPECT_TRUE(quit.QuitRequested());
}

TEST(QuitSignals, SigintAndSighupAreCaughtToo) {
  KQuitSignals quit;
  ASSERT_TRUE(quit.Ok());
  std::vector<int> received;
  QObject::connect(&quit, &KQuitSignals::Received, [&](int number) { received.push_back(number); });
  raise(SIGINT);
  raise(SIGHUP);
  EXPECT_FALSE(quit.QuitRequested());  // nothing happens inside the handler
  ProcessUntil(quit);
  EXPECT_EQ(received, (std::vector<int>{SIGINT, SIGHUP}));
  ForgetQuitRequest();
}

bool gOldHandlerRan = false;
void OldHandler(int) { gOldHandlerRan = true; }

TEST(QuitSignals, ThePreviousHandlersComeBack) {
  struct sigaction own {
  }, saved{};
  own.sa_handler = OldHandler;
  sigemptyset(&own.sa_mask);
  sigaction(SIGHUP, &own, &saved);
  {
    KQuitSignals quit;
    ASSERT_TRUE(quit.Ok());
    KQuitSignals second;
    EXPECT_FALSE(second.Ok());
  }
  gOldHandlerRan = false;
  raise(SIGHUP);
  EXPECT_TRUE(gOldHandlerRan);
  sigaction(SIGHUP, &saved, nullptr);

  KQuitSignals again;
  EXPECT_TRUE(again.Ok()) << again.Error().toStdString();
}

}  // namespace
