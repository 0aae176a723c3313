#pragma once
// A service object on an event loop driven by a clock the test moves, with
// its settings file, its protocol modules and its log beside the test
// program.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "module_fixture.h"
#include "service/event_loop.h"
#include "service/relaybird_srv.h"

namespace relaybird::test {

class TManualClock : public TClock {
 public:
  TTimePoint Now() const override { return FNow; }
  void Set(TTimePoint Value) { FNow = Value; }

 private:
  TTimePoint FNow{std::chrono::hours(1)};
};

// Connection entries of the settings file.
std::string ConnectionEntry(const std::string& Server, const std::string& Schema,
                            const std::string& User = "kobaltix5", const std::string& Password = "");
extern const char* const IntakeServer;
extern const char* const IntakeSchema;

class TServiceFixture : public TModuleFixture {
 protected:
  void SetUp() override;
  void TearDown() override;

  // [Service] with the log in the test's folder, the given periods (minutes),
  // the connections, and modules switched on by ID.
  void Configure(int TimeoutDelay, int TimeoutConnect, int TimeoutReconnect,
                 const std::vector<std::string>& Connections, const std::vector<std::string>& ModulesOn);
  void Start();
  void Stop();
  // Moves the clock by Milliseconds, firing each timer when it falls due.
  void Advance(std::int64_t Milliseconds);
  // Seconds since Start.
  std::int64_t Elapsed() const;

  // The lines of the service's process log, time stamps removed.
  std::vector<std::string> LogLines() const;
  // Lines of the log holding Text.
  std::vector<std::string> LogLinesWith(const std::string& Text) const;
  void ForgetLog() const;

  TManualClock Clock;
  TEventLoop Loop{Clock};
  std::unique_ptr<TRelaybirdSrv> Service;
  TTempDir LogDir;
  TTimePoint Started{};
};

}  // namespace relaybird::test
