#pragma once
// Test modules copied into Protocols/ beside the test program, a private
// settings file, and the calls the recording module wrote down.
#include <gtest/gtest.h>

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "modules/module.h"
#include "relaybird/ora_session.h"
#include "relaybird/virtual_table.h"

#include "test_support.h"

namespace relaybird::test {

class TModuleFixture : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  static std::string ProtocolsDir();
  static std::string SettingsFile();
  // Copies the built test module Library ("rb_recorder") to
  // Protocols/<Subfolder><Library>.so and returns the copy's path.
  static std::string Install(const std::string& Library, const std::string& Subfolder = "");
  static void WriteSettings(const std::string& Text);
  static void RemoveFilesBesideTheProgram();

  // The recorded calls, each split at "|", the library tag first.
  std::vector<std::vector<std::string>> Calls() const;
  // Export names of the recorded calls, in order.
  std::vector<std::string> CallNames() const;
  void ForgetCalls() const;

  TTempDir FRecordDir;
};

// Sets an environment variable for the rest of the test; TearDown clears
// every RB_ variable.
void SetModuleEnv(const std::string& Name, const std::string& Value);

// Whether the library at Path is mapped in the process now.
bool LibraryMapped(const std::string& Path);

// The host's message table, defined and open, without rows.
void DefineMessageTable(TVirtualTable& Table);

// One dispatch of Service as the host makes it: Initialize, the four SetData
// calls in the host's order, the message table emptied, Execute.
void DispatchOnce(TModule& Module, const std::string& Service, const std::string& ProcessID,
                  TOraSession& Session, std::recursive_mutex& Lock, std::vector<std::uint8_t>& Block,
                  TVirtualTable& Messages);

}  // namespace relaybird::test
