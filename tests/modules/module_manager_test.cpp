#include "modules/module_manager.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/file_helpers.h"
#include "diagnostics/assertion.h"
#include "diagnostics/error_log.h"
#include "relaybird/settings.h"
#include "module_fixture.h"
#include "relaybird/ini_file.h"

namespace relaybird {
namespace {

using test::LibraryMapped;
using test::SetModuleEnv;
using test::TModuleFixture;
using test::WriteFileBytes;

using ModuleManagerTest = TModuleFixture;

std::vector<std::string> Keys() { return TIniFile(SettingsFileName).ReadSection("Protocols"); }

std::string Key(const std::string& Name) { return TIniFile(SettingsFileName).ReadString("Protocols", Name, "-"); }

TEST_F(ModuleManagerTest, ListsACompleteModuleWithItsInfoAndServices) {
  const std::string Path = Install("rb_recorder");
  TModuleManager Manager;

  ASSERT_EQ(Manager.Count(), 1);
  const TModule* Module = Manager.Items(0);
  EXPECT_EQ(Module->FileName(), Path);
  EXPECT_EQ(Module->Name(), "Записывающий модуль rb_recorder");
  EXPECT_EQ(Module->ID(), "RECORDER");
  EXPECT_EQ(Module->Description(), "Records every call");
  EXPECT_EQ(Module->Info().Reserved, 7u);
  ASSERT_EQ(Module->Icon().Size(), 6u);
  EXPECT_EQ(std::string(static_cast<const char*>(Module->Icon().Data()), 6), "\x89PNG\r\n");
  EXPECT_EQ(Module->Services(), (TServicesList{"ALPHA", "BETA"}));
  EXPECT_EQ(Module->ServiceName(1), "BETA");
  EXPECT_EQ(Module->ServiceName(2), "");
  EXPECT_EQ(Manager.Items(1), nullptr);
  EXPECT_EQ(Manager.Items(-1), nullptr);
  EXPECT_EQ(CallNames(), (std::vector<std::string>{"GetModuleInfo", "GetServicesList"}));
}

TEST_F(ModuleManagerTest, LeavesOutWhatIsNoCompleteModule) {
  std::filesystem::create_directories(ProtocolsDir());
  WriteFileBytes(ProtocolsDir() + "notes.so", "not a library");
  const std::string Incomplete = Install("rb_no_terminate");
  std::filesystem::copy_file(std::string(RB_TEST_MODULE_DIR) + "rb_recorder.so", ProtocolsDir() + "rb_recorder.so.off");

  TModuleManager Manager;

  EXPECT_EQ(Manager.Count(), 0);
  // Its dependency defines a Terminate, which is not the module's.
  EXPECT_FALSE(LibraryMapped(Incomplete));
}

// What a refused library leaves in the error log for the administrator.
class ModuleRefusalTest : public TModuleFixture {
 protected:
  void SetUp() override {
    TModuleFixture::SetUp();
    test::RemovePath(ErrorLogFileName());
    SetAssertHandler(&WriteErrorLog);
  }
  void TearDown() override {
    SetAssertHandler(nullptr);
    test::RemovePath(ErrorLogFileName());
    TModuleFixture::TearDown();
  }
};

TEST_F(ModuleRefusalTest, EveryRefusedLibraryIsRecordedWithItsReason) {
  std::filesystem::create_directories(ProtocolsDir());
  WriteFileBytes(ProtocolsDir() + "notes.so", "not a library");
  Install("rb_no_terminate");
  Install("rb_next_major");
  const std::string Thrower = Install("rb_recorder");
  SetModuleEnv("RB_FAULT_GetModuleInfo", "throw");

  TModuleManager Manager;

  EXPECT_EQ(Manager.Count(), 0);
  const std::string Log = test::ReadFileBytes(ErrorLogFileName());
  for (const std::string& Expected :
       {ProtocolsDir() + "notes.so is not used: not a loadable library: " + ProtocolsDir() +
            "notes.so: ",
        ProtocolsDir() + "rb_no_terminate.so is not used: the export \"Terminate\" is missing",
        ProtocolsDir() +
            "rb_next_major.so is not used: built for contract version 2.0, this host has 1.0",
        Thrower + " is not used: GetModuleInfo refused"}) {
    EXPECT_NE(Log.find(Expected), std::string::npos) << Expected << "\nin:\n" << Log;
  }
}

TEST_F(ModuleRefusalTest, AModuleFromBeforeTheVersionExportLoadsQuietly) {
  Install("rb_unversioned");

  TModuleManager Manager;

  ASSERT_EQ(Manager.Count(), 1);
  EXPECT_EQ(Manager.Items(0)->ID(), "UNVERSIONED");
  EXPECT_FALSE(std::filesystem::exists(ErrorLogFileName()));
}

TEST_F(ModuleManagerTest, MissingOrEmptyProtocolsFolderGivesNoModules) {
  EXPECT_EQ(TModuleManager().Count(), 0);
  std::filesystem::create_directories(ProtocolsDir());
  EXPECT_EQ(TModuleManager().Count(), 0);
}

TEST_F(ModuleManagerTest, FirstStartWritesEveryModuleAsOff) {
  Install("rb_recorder");
  Install("rb_twin_services");
  TModuleManager Manager;

  ASSERT_EQ(Manager.Count(), 2);
  EXPECT_FALSE(Manager.Items(0)->Loaded());
  EXPECT_FALSE(Manager.Items(1)->Loaded());
  EXPECT_EQ(Key("RECORDER"), "0");
  EXPECT_EQ(Key("TWINS"), "0");
}

TEST_F(ModuleManagerTest, SettingsFileSwitchesModulesOnAndOff) {
  Install("rb_recorder");
  WriteSettings("[Protocols]\r\nRECORDER=1\r\n");
  EXPECT_TRUE(TModuleManager().Items(0)->Loaded());

  WriteSettings("[Protocols]\r\nRECORDER=0\r\n");
  EXPECT_FALSE(TModuleManager().Items(0)->Loaded());

  WriteSettings("[Protocols]\r\nOTHER=1\r\n");
  EXPECT_FALSE(TModuleManager().Items(0)->Loaded());
  EXPECT_EQ(Keys(), (std::vector<std::string>{"OTHER", "RECORDER"}));
  EXPECT_EQ(Key("RECORDER"), "0");
}

TEST_F(ModuleManagerTest, ModulesWithOneIdShareOneSwitch) {
  Install("rb_shared_id_a");
  Install("rb_shared_id_b");
  {
    TModuleManager Manager;
    ASSERT_EQ(Manager.Count(), 2);
    EXPECT_EQ(Keys(), std::vector<std::string>{"SHARED"});
  }
  WriteSettings("[Protocols]\r\nSHARED=1\r\n");
  TModuleManager Manager;
  EXPECT_TRUE(Manager.Items(0)->Loaded());
  EXPECT_TRUE(Manager.Items(1)->Loaded());
}

TEST_F(ModuleManagerTest, ServiceListedTwiceHasOneFrameEntry) {
  Install("rb_twin_services");
  TModuleManager Manager;
  const TModule* Module = Manager.Items(0);
  EXPECT_EQ(Module->Services(), (TServicesList{"TWIN", "TWIN"}));
  ASSERT_EQ(Module->ServiceFrames().size(), 1u);
  EXPECT_EQ(Module->ServiceFrames()[0].ServiceName, "TWIN");
}

TEST_F(ModuleManagerTest, LibraryFoundLaterReplacesOneOfTheSameFileName) {
  // Only folders whose names match the mask are entered.
  const std::string First = Install("rb_recorder");
  const std::string Second = Install("rb_recorder", "more.so/");
  const std::string Listed = FindFiles(ProtocolsDir(), TModuleManager::ModuleMask);
  const std::string Later = Listed.substr(Listed.rfind("\r\n") + 2);
  const std::string Earlier = Later == First ? Second : First;

  TModuleManager Manager;

  ASSERT_EQ(Manager.Count(), 1);
  EXPECT_EQ(Manager.Items(0)->FileName(), Later);
  EXPECT_FALSE(LibraryMapped(Earlier));
  EXPECT_TRUE(LibraryMapped(Later));
}

TEST_F(ModuleManagerTest, FindModuleByPathOrFileNameWithoutRegardToCase) {
  const std::string Path = Install("rb_recorder");
  TModuleManager Manager;
  const TModule* Module = Manager.Items(0);

  EXPECT_EQ(Manager.FindModule(ProtocolsDir() + "RB_Recorder.SO"), Module);
  EXPECT_EQ(Manager.FindModule("/elsewhere/RB_RECORDER.so"), Module);
  EXPECT_EQ(Manager.FindModule("rb_recorder.so"), Module);
  EXPECT_EQ(Manager.FindModule(ProtocolsDir() + "rb_twin_services.so"), nullptr);
}

TEST_F(ModuleManagerTest, RemoveModuleSwitchesOffAndUnloads) {
  const std::string Path = Install("rb_recorder");
  WriteSettings("[Protocols]\r\nRECORDER=1\r\n");
  TModuleManager Manager;
  Manager.Items(0)->Initialize("ALPHA", "P1");
  ForgetCalls();

  Manager.RemoveModule(Path);

  EXPECT_EQ(Manager.Count(), 0);
  EXPECT_EQ(CallNames(), (std::vector<std::string>{"Terminate", "Terminate"}));
  EXPECT_FALSE(LibraryMapped(Path));
}

TEST_F(ModuleManagerTest, ReleaseSwitchesEveryModuleOff) {
  Install("rb_recorder");
  Install("rb_twin_services");
  WriteSettings("[Protocols]\r\nRECORDER=1\r\nTWINS=0\r\n");
  {
    TModuleManager Manager;
    Manager.FindModule("rb_recorder.so")->Initialize("ALPHA", "P1");
    Manager.FindModule("rb_twin_services.so")->Initialize("TWIN", "P2");
    ForgetCalls();
  }
  // Only the module that is on is asked to terminate.
  const std::vector<std::vector<std::string>> Expected = {
      {"rb_recorder", "Terminate", "ALPHA", "P1"},
      {"rb_recorder", "Terminate", "BETA", "P1"},
  };
  EXPECT_EQ(Calls(), Expected);
}

struct TLoadFault {
  const char* Export;
  const char* Fault;
  bool Listed;
};

class ModuleLoadFaultTest : public TModuleFixture, public ::testing::WithParamInterface<TLoadFault> {};

TEST_P(ModuleLoadFaultTest, HostSurvivesWhatTheModuleDoesAtLoad) {
  const TLoadFault& Case = GetParam();
  const std::string Path = Install("rb_recorder");
  SetModuleEnv(std::string("RB_FAULT_") + Case.Export, Case.Fault);

  TModuleManager Manager;

  EXPECT_EQ(Manager.Count(), Case.Listed ? 1 : 0);
  EXPECT_EQ(LibraryMapped(Path), Case.Listed);
}

INSTANTIATE_TEST_SUITE_P(Faults, ModuleLoadFaultTest,
                         ::testing::Values(TLoadFault{"GetModuleInfo", "throw", false},
                                           TLoadFault{"GetModuleInfo", "throw-other", false},
                                           TLoadFault{"GetServicesList", "throw", false},
                                           TLoadFault{"GetServicesList", "null", true},
                                           TLoadFault{"GetModuleInfo", "null", true}));

TEST_F(ModuleManagerTest, NullServicesArrayReadsAsNoServices) {
  Install("rb_recorder");
  SetModuleEnv("RB_FAULT_GetServicesList", "null");
  TModuleManager Manager;
  EXPECT_TRUE(Manager.Items(0)->Services().empty());
  EXPECT_TRUE(Manager.Items(0)->ServiceFrames().empty());
}

TEST_F(ModuleManagerTest, ModuleWithoutIdStaysOffAndWritesNoKey) {
  Install("rb_recorder");
  SetModuleEnv("RB_FAULT_GetModuleInfo", "null");
  TModuleManager Manager;

  const TModule* Module = Manager.Items(0);
  EXPECT_EQ(Module->Name(), "");
  EXPECT_EQ(Module->ID(), "");
  EXPECT_TRUE(Module->Icon().Empty());
  EXPECT_FALSE(Module->Loaded());
  EXPECT_TRUE(Keys().empty());
}

TEST_F(ModuleManagerTest, FailureWhileReadingStatesLeavesEveryModuleOff) {
  Install("rb_recorder");
  Install("rb_twin_services");
  WriteSettings("[Protocols]\r\nRECORDER=1\r\nTWINS=1\r\n");
  SetModuleEnv("RB_FAULT_ONLY", "rb_twin_services");
  SetModuleEnv("RB_FAULT_GetModuleInfo", "throw-later");

  TModuleManager Manager;

  ASSERT_EQ(Manager.Count(), 2);
  EXPECT_FALSE(Manager.Items(0)->Loaded());
  EXPECT_FALSE(Manager.Items(1)->Loaded());
}

}  // namespace
}  // namespace relaybird
