#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>

#include "catalogue_environment.h"
#include "core/file_helpers.h"
#include "relaybird/settings.h"
#include "core/settings_block.h"
#include "relaybird/ora_session.h"
#include "relaybird/virtual_table.h"
#include "relaybird/catalogue.h"
#include "i18n/translator.h"
#include "module_fixture.h"
#include "modules/module_manager.h"
#include "platform/text_format.h"

namespace relaybird {
namespace {

using test::LibraryMapped;
using test::ReadFileBytes;
using test::SetModuleEnv;
using test::TModuleFixture;
using test::TTempDir;
using test::WriteFileBytes;
using ::testing::HasSubstr;

const auto* const CatalogueEnvironment =
    ::testing::AddGlobalTestEnvironment(new test::TCatalogueEnvironment);

using TCalls = std::vector<std::vector<std::string>>;

// A manager holding the recording module, switched on or off.
class ModuleCallsTest : public TModuleFixture {
 protected:
  void Open(bool On) {
    FPath = Install("rb_recorder");
    WriteSettings(std::string("[Protocols]\r\nRECORDER=") + (On ? "1" : "0") + "\r\n");
    FManager = std::make_unique<TModuleManager>();
    ASSERT_EQ(FManager->Count(), 1);
    FModule = FManager->Items(0);
    ForgetCalls();
  }
  void TearDown() override {
    FManager.reset();
    TModuleFixture::TearDown();
  }

  // One dispatch of service ALPHA as the host makes it: the message table is
  // emptied right after it was handed over.
  void Dispatch(const std::string& ProcessID, TOraSession& Session, std::recursive_mutex& Lock,
                std::vector<std::uint8_t>& Block, TVirtualTable& Messages) {
    test::DispatchOnce(*FModule, "ALPHA", ProcessID, Session, Lock, Block, Messages);
  }

  std::string FPath;
  std::unique_ptr<TModuleManager> FManager;
  TModule* FModule = nullptr;
};

using test::DefineMessageTable;

TEST_F(ModuleCallsTest, DispatchReachesTheModuleWithItsDataIntact) {
  Open(true);
  TOraSession Session;
  Session.SetServer("kobaltix");
  Session.SetUsername("orvanta");
  Session.SetSchema("kobaltix5");
  std::recursive_mutex Lock;
  const TServiceSettings Settings{"HOST\\пользователь", "пароль", "Linux 6.1.0", "/var/log/relaybird/",
                                  "/tmp/relaybird/", true, 5, 10, 15};
  std::vector<std::uint8_t> Block = BuildSettingsBlock(Settings);
  TVirtualTable Messages;
  DefineMessageTable(Messages);
  Messages.AppendRecord({"A1B2", 0, "client@example.org", "Уважаемый клиент, ваш счёт готов.", "Счёт", 3, 1001, 2});
  Messages.AppendRecord({"C3D4", 2, "manager@example.org", "Body", "Subject", 1, 7, 1});
  const std::string ProcessID = NewGuidText();

  Dispatch(ProcessID, Session, Lock, Block, Messages);

  const auto Address = [](const void* Pointer) {
    char Text[32];
    std::snprintf(Text, sizeof Text, "%p", Pointer);
    return std::string(Text);
  };
  const std::string Tag = "rb_recorder";
  const TCalls Expected = {
      {Tag, "Initialize", "ALPHA", ProcessID},
      {Tag, "SetData", "ALPHA", "0", ProcessID, "36", Address(&Session), "kobaltix", "orvanta", "kobaltix5"},
      {Tag, "SetData", "ALPHA", "3", ProcessID, "4", Address(&Lock)},
      {Tag, "SetData", "ALPHA", "2", ProcessID, "36", "HOST\\пользователь", "пароль", "Linux 6.1.0",
       "/var/log/relaybird/", "/tmp/relaybird/", "1", "5", "10", "15"},
      {Tag, "SetData", "ALPHA", "1", ProcessID, "4", "2"},
      {Tag, "row", "A1B2", "0", "client@example.org", "Уважаемый клиент, ваш счёт готов.", "Счёт", "3", "1001",
       "2"},
      {Tag, "row", "C3D4", "2", "manager@example.org", "Body", "Subject", "1", "7", "1"},
      {Tag, "Execute", "ALPHA", ProcessID},
  };
  EXPECT_EQ(Calls(), Expected);
}

TEST_F(ModuleCallsTest, WorkerOfTheModuleEndsBeforeTheLibraryIsUnloaded) {
  SetModuleEnv("RB_WORKER", "1");
  Open(true);
  TTempDir Logs;
  TTempDir Temp;
  std::filesystem::create_directories(Temp.Path() + "ALPHA/sub");
  WriteFileBytes(Temp.Path() + "ALPHA/letter.tmp", "x");
  WriteFileBytes(Temp.Path() + "ALPHA/sub/part", "y");
  const TServiceSettings Settings{"HOST\\user", "", "Linux", Logs.Path(), Temp.Path(), false, 1, 2, 3};
  std::vector<std::uint8_t> Block = BuildSettingsBlock(Settings);
  TOraSession Session;
  std::recursive_mutex Lock;
  TVirtualTable Messages;
  DefineMessageTable(Messages);
  for (const char* ID : {"M1", "M2", "M3"}) Messages.AppendRecord({ID, 0, "a@example.org", "Body", "Subject", 1, 1, 1});
  const std::string ProcessID = NewGuidText();

  Dispatch(ProcessID, Session, Lock, Block, Messages);
  // Released while its worker still sends.
  FManager.reset();

  EXPECT_FALSE(LibraryMapped(FPath));
  const std::string Log = ReadFileBytes(FindFiles(Logs.Path(), "RelaybirdALPHA_*.log"));
  EXPECT_THAT(Log, HasSubstr("]  (Worker " + ProcessID + ") " + Format(cstSendedMessages, 3, 3) + "\r\n"));
  EXPECT_FALSE(std::filesystem::exists(Temp.Path() + "ALPHA/letter.tmp"));
  EXPECT_FALSE(std::filesystem::exists(Temp.Path() + "ALPHA/sub/part"));
  EXPECT_TRUE(std::filesystem::is_directory(Temp.Path() + "ALPHA/sub"));
}

TEST_F(ModuleCallsTest, ModuleThatIsOffFallsBackWithoutBeingCalled) {
  Open(false);
  SetModuleEnv("RB_FAILED_TEXT", "ID1\r\n1\r\n");
  int Data = 0;

  EXPECT_FALSE(FModule->AccessNewProcess());
  EXPECT_EQ(FModule->GetInterval("ALPHA"), 60);
  FModule->SetData("ALPHA", "P1", mdkLock, &Data, 4);
  FModule->Execute("ALPHA", "P1");
  FModule->Terminate("ALPHA", "P1");
  EXPECT_TRUE(FModule->GetFailedMessages().empty());
  EXPECT_TRUE(Calls().empty());

  // Neither of these asks whether the module is on.
  FModule->Initialize("ALPHA", "P1");
  EXPECT_NE(FModule->GetSettingsFrame("ALPHA"), nullptr);
  EXPECT_EQ(CallNames(), (std::vector<std::string>{"Initialize", "GetSettingsFrame"}));
}

TEST_F(ModuleCallsTest, InitializeLoadsAModuleThatIsNotLoaded) {
  TModule Module(Install("rb_recorder"));
  Module.Initialize("ALPHA", "P1");
  EXPECT_NE(Module.Handle(), nullptr);
  EXPECT_FALSE(Module.Loaded());
  EXPECT_EQ(CallNames(), (std::vector<std::string>{"GetModuleInfo", "GetServicesList", "Initialize"}));

  TModule Missing(ProtocolsDir() + "missing.so");
  Missing.Initialize("ALPHA", "P1");
  EXPECT_EQ(Missing.Handle(), nullptr);
  EXPECT_TRUE(Missing.ProcessIDs().empty());
}

TEST_F(ModuleCallsTest, ModuleThatIsOnAnswersForItself) {
  Open(true);
  SetModuleEnv("RB_INTERVAL", "-5");
  SetModuleEnv("RB_ACCESS", "0");
  EXPECT_EQ(FModule->GetInterval("BETA"), -5);
  EXPECT_FALSE(FModule->AccessNewProcess());
  SetModuleEnv("RB_ACCESS", "1");
  EXPECT_TRUE(FModule->AccessNewProcess());
  EXPECT_EQ(Calls(), (TCalls{{"rb_recorder", "GetInterval", "BETA"},
                             {"rb_recorder", "AccessNewProcess"},
                             {"rb_recorder", "AccessNewProcess"}}));
}

TEST_F(ModuleCallsTest, SwitchOffTerminatesEveryServiceAndRecordedProcessOnce) {
  Open(true);
  FModule->Initialize("ALPHA", "P1");
  FModule->Initialize("BETA", "P2");
  FModule->Initialize("BETA", "P2");
  EXPECT_EQ(FModule->ProcessIDs(), (std::vector<std::string>{"P1", "P2"}));
  ForgetCalls();

  FModule->SetLoaded(false);
  FModule->SetLoaded(false);

  const TCalls Expected = {{"rb_recorder", "Terminate", "ALPHA", "P1"},
                           {"rb_recorder", "Terminate", "ALPHA", "P2"},
                           {"rb_recorder", "Terminate", "BETA", "P1"},
                           {"rb_recorder", "Terminate", "BETA", "P2"}};
  EXPECT_EQ(Calls(), Expected);
  EXPECT_TRUE(FModule->ProcessIDs().empty());
}

TEST_F(ModuleCallsTest, OnlyTheNewestProcessIdsAreKept) {
  Open(true);
  for (std::size_t i = 0; i < TModule::MaxProcessIDs + 5; ++i) FModule->Initialize("ALPHA", "P" + std::to_string(i));
  ASSERT_EQ(FModule->ProcessIDs().size(), TModule::MaxProcessIDs);
  EXPECT_EQ(FModule->ProcessIDs().front(), "P5");
  EXPECT_EQ(FModule->ProcessIDs().back(), "P" + std::to_string(TModule::MaxProcessIDs + 4));
}

TEST_F(ModuleCallsTest, FailingTerminateDoesNotStopTheSwitchOff) {
  Open(true);
  FModule->Initialize("ALPHA", "P1");
  ForgetCalls();
  SetModuleEnv("RB_FAULT_Terminate", "throw");

  FModule->SetLoaded(false);

  EXPECT_EQ(CallNames(), (std::vector<std::string>{"Terminate", "Terminate"}));
  EXPECT_FALSE(FModule->Loaded());
  EXPECT_TRUE(FModule->ProcessIDs().empty());
}

TEST_F(ModuleCallsTest, FailureReportIsParsedFromTheModulesText) {
  Open(true);
  SetModuleEnv("RB_FAILED_TEXT", "ID1\r\n2\nID2\rfour\r\nID3");
  EXPECT_EQ(FModule->GetFailedMessages(), (TFailedMessageList{{"ID1", 2}, {"ID2", 0}}));

  ::unsetenv("RB_FAILED_TEXT");
  EXPECT_TRUE(FModule->GetFailedMessages().empty());
  EXPECT_TRUE(FModule->FailedMessages().empty());
}

TEST_F(ModuleCallsTest, SettingsFrameIsKeptOnceTheModuleGaveOne) {
  Open(false);
  const TSettingsFrameClass* Frame = FModule->GetSettingsFrame("alpha");
  ASSERT_NE(Frame, nullptr);
  EXPECT_STREQ(Frame->ClassName, "TfrAlphaSettings");
  EXPECT_EQ(FModule->GetSettingsFrame("ALPHA"), Frame);
  EXPECT_EQ(FModule->GetSettingsFrame("BETA"), nullptr);
  EXPECT_EQ(FModule->GetSettingsFrame("BETA"), nullptr);
  EXPECT_EQ(FModule->GetSettingsFrame("GAMMA"), nullptr);
  // The module hears its own spelling of the service.
  EXPECT_EQ(Calls(), (TCalls{{"rb_recorder", "GetSettingsFrame", "ALPHA"},
                             {"rb_recorder", "GetSettingsFrame", "BETA"},
                             {"rb_recorder", "GetSettingsFrame", "BETA"}}));
}

TEST_F(ModuleCallsTest, RereadingTheInfoReleasesThePreviousTexts) {
  Open(true);
  FModule->GetInfo();
  FModule->GetInfo();
  EXPECT_EQ(FModule->Name(), "Записывающий модуль rb_recorder");
  EXPECT_EQ(FModule->Icon().Size(), 6u);

  SetModuleEnv("RB_FAULT_GetModuleInfo", "throw");
  EXPECT_THROW(FModule->GetInfo(), EModuleError);
  EXPECT_EQ(FModule->Name(), "Записывающий модуль rb_recorder");
  EXPECT_EQ(FModule->Description(), "Records every call");
}

struct TCallFault {
  const char* Export;
  const char* Fault;
  std::function<void(TModule&)> Call;
  const char* Message;
};

class ModuleCallFaultTest : public ModuleCallsTest, public ::testing::WithParamInterface<TCallFault> {};

TEST_P(ModuleCallFaultTest, ModuleFailureReachesTheCallerAsModuleError) {
  const TCallFault& Case = GetParam();
  Open(true);
  SetModuleEnv(std::string("RB_FAULT_") + Case.Export, Case.Fault);
  try {
    Case.Call(*FModule);
    FAIL() << "no error";
  } catch (const EModuleError& Error) {
    const std::string Expected = std::string(Case.Message) == "unknown"
                                     ? std::string(Case.Export) + " failed in " + FModule->FileName()
                                     : Case.Message;
    EXPECT_EQ(Error.what(), Expected);
  }
}

int Data = 0;

INSTANTIATE_TEST_SUITE_P(
    Faults, ModuleCallFaultTest,
    ::testing::Values(
        TCallFault{"Initialize", "throw", [](TModule& M) { M.Initialize("ALPHA", "P1"); }, "Initialize refused"},
        TCallFault{"SetData", "throw", [](TModule& M) { M.SetData("ALPHA", "P1", mdkLock, &Data, 4); },
                   "SetData refused"},
        TCallFault{"Execute", "throw-other", [](TModule& M) { M.Execute("ALPHA", "P1"); }, "unknown"},
        TCallFault{"AccessNewProcess", "throw", [](TModule& M) { M.AccessNewProcess(); },
                   "AccessNewProcess refused"},
        TCallFault{"GetInterval", "throw-other", [](TModule& M) { M.GetInterval("ALPHA"); }, "unknown"},
        TCallFault{"GetFailedMessages", "throw", [](TModule& M) { M.GetFailedMessages(); },
                   "GetFailedMessages refused"},
        TCallFault{"GetSettingsFrame", "throw", [](TModule& M) { M.GetSettingsFrame("ALPHA"); },
                   "GetSettingsFrame refused"}));

TEST(ReadModuleSettingsTest, RefusesWhatIsNoSettingsBlock) {
  const TServiceSettings Settings{"HOST\\user", "secret", "Linux", "/log/", "/tmp/", false, 1, 2, 3};
  std::vector<std::uint8_t> Block = BuildSettingsBlock(Settings);
  TServiceSettings Read;

  EXPECT_FALSE(ReadModuleSettings(nullptr, 36, Read));
  EXPECT_FALSE(ReadModuleSettings(Block.data(), 35, Read));
  std::vector<std::uint8_t> Broken = Block;
  Broken[0] = 8;  // the first text would begin inside the header
  EXPECT_FALSE(ReadModuleSettings(Broken.data(), 36, Read));
  EXPECT_EQ(Read, TServiceSettings{});

  ASSERT_TRUE(ReadModuleSettings(Block.data(), 36, Read));
  EXPECT_EQ(Read, Settings);
}

TEST(ReadModuleSettingsTest, LooksNoFurtherThanTheLargestBlockTheHostBuilds) {
  // Room past the largest block, so that a reader without the bound would
  // find a terminator there.
  std::vector<std::uint8_t> Unterminated(MaxSettingsBlockSize + 64, 'x');
  Unterminated.back() = Unterminated[Unterminated.size() - 2] = 0;
  for (std::size_t Field = 0; Field < 5; ++Field) Unterminated[4 * Field] = 36;
  TServiceSettings Read;
  EXPECT_FALSE(ReadModuleSettings(Unterminated.data(), 36, Read));

  TServiceSettings Long;
  Long.WinVersion = std::string(3000, 'v');
  Long.TempDir = std::string(2046, 't') + "\xF0\x9F\x98\x80";  // the cut would split the last character
  const std::vector<std::uint8_t> Block = BuildSettingsBlock(Long);
  EXPECT_LE(Block.size(), MaxSettingsBlockSize);
  ASSERT_TRUE(ReadModuleSettings(Block.data(), 36, Read));
  EXPECT_EQ(Read.WinVersion, std::string(MaxSettingsTextUnits, 'v'));
  EXPECT_EQ(Read.TempDir, std::string(2046, 't'));
}

}  // namespace
}  // namespace relaybird
