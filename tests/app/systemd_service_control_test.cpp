// The systemd backend against stand-ins for systemctl (systemd is not the
// init system here) and against the real systemctl of this machine.
#include "app/systemd_service_control.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <chrono>
#include <filesystem>

#include "test_support.h"

namespace relaybird {
namespace {

using test::ReadFileBytes;
using test::TTempDir;
using test::WriteFileBytes;

TEST(SystemdServiceControl, StateMapping) {
  struct TCase {
    const char* Output;
    TServiceStateCode Code;
  };
  for (const TCase& Case : {TCase{"LoadState=not-found\nActiveState=inactive\nSubState=dead\n", sscNotInstalled},
                            TCase{"LoadState=loaded\nActiveState=active\nSubState=running\n", sscRunning},
                            TCase{"LoadState=loaded\nActiveState=activating\nSubState=start\n", sscRunning},
                            TCase{"LoadState=loaded\nActiveState=reloading\nSubState=running\n", sscRunning},
                            TCase{"LoadState=loaded\nActiveState=deactivating\nSubState=stop\n", sscStopped},
                            TCase{"LoadState=loaded\nActiveState=inactive\nSubState=dead\n", sscStopped},
                            TCase{"LoadState=loaded\nActiveState=failed\nSubState=failed\n", sscStopped},
                            TCase{"LoadState=loaded\nActiveState=maintenance\n", sscUnknown},
                            TCase{"", sscUnknown}}) {
    SCOPED_TRACE(Case.Output);
    EXPECT_EQ(TSystemdServiceControl::ParseShowOutput(Case.Output), Case.Code);
  }
}

class FakeSystemctl : public ::testing::Test {
 protected:
  std::string Script(const std::string& Body) {
    const std::string Path = Dir.Path() + "systemctl";
    WriteFileBytes(Path, "#!/bin/sh\necho \"$*\" >> '" + Dir.Path() + "calls'\n" + Body);
    std::filesystem::permissions(Path, std::filesystem::perms::owner_all);
    return Path;
  }
  TTempDir Dir;
  TTempDir Units;
};

TEST_F(FakeSystemctl, AsksForTheStatesAndQueuesCommands) {
  TSystemdServiceControl Control(Script("echo LoadState=loaded; echo ActiveState=active; echo SubState=running\n"),
                                 Units.Path());
  EXPECT_EQ(Control.QueryServiceState("RelaybirdSrv"), sscRunning);
  Control.SendServiceCommand("RelaybirdSrv", scStart);
  Control.SendServiceCommand("RelaybirdSrv", scRestart);
  Control.SendServiceCommand("RelaybirdSrv", scStop);
  EXPECT_EQ(ReadFileBytes(Dir.Path() + "calls"),
            "show -p LoadState,ActiveState,SubState RelaybirdSrv.service\n"
            "--no-block start RelaybirdSrv.service\n"
            "--no-block restart RelaybirdSrv.service\n"
            "--no-block stop RelaybirdSrv.service\n");
}

TEST_F(FakeSystemctl, FailingOrHangingSystemctlFallsBackToTheUnitFile) {
  for (const char* Body : {"exit 1\n", "exec sleep 30\n"}) {
    SCOPED_TRACE(Body);
    TSystemdServiceControl Control(Script(Body), Units.Path(), 300);
    const auto Started = std::chrono::steady_clock::now();
    EXPECT_EQ(Control.QueryServiceState("RelaybirdSrv"), sscNotInstalled);
    WriteFileBytes(Units.Path() + "RelaybirdSrv.service", "[Service]\n");
    EXPECT_EQ(Control.QueryServiceState("RelaybirdSrv"), sscUnknown);
    EXPECT_LT(std::chrono::steady_clock::now() - Started, std::chrono::seconds(5));
    std::filesystem::remove(Units.Path() + "RelaybirdSrv.service");
    // The hanging stand-ins were killed and reaped.
    EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);
  }
}

TEST_F(FakeSystemctl, MissingProgramAndTheMachinesOwnSystemctl) {
  EXPECT_EQ(TSystemdServiceControl(Dir.Path() + "no-such-program", Units.Path()).QueryServiceState("RelaybirdSrv"),
            sscNotInstalled);
  // Answers whatever this machine's service manager knows, without raising.
  const TServiceStateCode Code = TSystemdServiceControl("systemctl", Units.Path()).QueryServiceState("RelaybirdSrvNoSuchUnit");
  EXPECT_EQ(Code, sscNotInstalled);
}

}  // namespace
}  // namespace relaybird
