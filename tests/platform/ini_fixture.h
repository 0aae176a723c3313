#pragma once
// A settings file of its own in a fresh directory for every INI test.
#include <gtest/gtest.h>

#include <string>

#include "relaybird/ini_file.h"
#include "test_support.h"

namespace relaybird::test {

class IniFileTest : public testing::Test {
 protected:
  std::string Bytes() const { return ReadFileBytes(FFileName); }
  void Given(const std::string& Bytes) const { WriteFileBytes(FFileName, Bytes); }

  TTempDir FTemp;
  std::string FFileName = FTemp.Path() + "Relaybird.ini";
  TIniFile FIni{FFileName};
};

}  // namespace relaybird::test
