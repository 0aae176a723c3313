#include "service_fixture.h"

#include "catalogue_environment.h"
#include "db/ora_client_homes.h"
#include "relaybird/catalogue.h"
#include "relaybird/process_log.h"
#include "service/service_lock.h"
#include "test_support.h"

namespace relaybird::test {

const char* const IntakeServer = "KOBALTIX_INTAKE";
const char* const IntakeSchema = "kobaltix5_intake";

namespace {

::testing::Environment* const Catalogue = ::testing::AddGlobalTestEnvironment(new TCatalogueEnvironment);

int PostgresHome() {
  const auto& Names = OraClientHomes().Names;
  for (std::size_t I = 0; I < Names.size(); ++I) {
    if (Names[I] == "PostgreSQL Unicode") return static_cast<int>(I);
  }
  return 0;
}

}  // namespace

std::string ConnectionEntry(const std::string& Server, const std::string& Schema, const std::string& User,
                            const std::string& Password) {
  return std::to_string(PostgresHome()) + "#" + Server + "#" + User + "#" + Password + "#" + Schema;
}

void TServiceFixture::SetUp() {
  TModuleFixture::SetUp();
  // The service logs under its own lock, as in the program.
  SetLogLock(&ServiceLock);
}

void TServiceFixture::TearDown() {
  Service.reset();
  TModuleFixture::TearDown();
}

void TServiceFixture::Configure(int TimeoutDelay, int TimeoutConnect, int TimeoutReconnect,
                                const std::vector<std::string>& Connections,
                                const std::vector<std::string>& ModulesOn) {
  std::string Text = "[Service]\nAccessLogPath=" + LogDir.Path() + "\nTempDir=" + LogDir.Path() +
                     "Temp\nTimeoutDelay=" + std::to_string(TimeoutDelay) +
                     "\nTimeoutConnect=" + std::to_string(TimeoutConnect) +
                     "\nTimeoutReconnect=" + std::to_string(TimeoutReconnect) + "\n[Connection]\n";
  for (std::size_t I = 0; I < Connections.size(); ++I) {
    Text += "Item_" + std::to_string(I) + "=" + Connections[I] + "\n";
  }
  Text += "[Protocols]\n";
  for (const std::string& Id : ModulesOn) Text += Id + "=1\n";
  WriteSettings(Text);
}

void TServiceFixture::Start() {
  Service = std::make_unique<TRelaybirdSrv>(Loop);
  Started = Clock.Now();
  bool Done = false;
  Service->ServiceStart(Done);
  ASSERT_TRUE(Done);
}

void TServiceFixture::Stop() {
  bool Stopped = false;
  Service->ServiceStop(Stopped);
  EXPECT_TRUE(Stopped);
}

void TServiceFixture::Advance(std::int64_t Milliseconds) {
  const TTimePoint Target = Clock.Now() + std::chrono::milliseconds(Milliseconds);
  TTimePoint Due{};
  while (Loop.NextDue(Due) && Due <= Target) {
    if (Due > Clock.Now()) Clock.Set(Due);
    Loop.RunDue();
  }
  Clock.Set(Target);
}

std::int64_t TServiceFixture::Elapsed() const {
  return std::chrono::duration_cast<std::chrono::seconds>(Clock.Now() - Started).count();
}

std::vector<std::string> TServiceFixture::LogLines() const {
  return ProcessLogTexts(ProcessLogFileName(Service.get(), LogDir.Path(), ""));
}

std::vector<std::string> TServiceFixture::LogLinesWith(const std::string& Text) const {
  std::vector<std::string> Found;
  for (const std::string& Line : LogLines()) {
    if (Line.find(Text) != std::string::npos) Found.push_back(Line);
  }
  return Found;
}

void TServiceFixture::ForgetLog() const { RemovePath(ProcessLogFileName(Service.get(), LogDir.Path(), "")); }

}  // namespace relaybird::test
