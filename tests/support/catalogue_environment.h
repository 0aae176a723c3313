#pragma once
// The translator and the catalogue's built-in texts for a whole test program.
#include <gtest/gtest.h>

#include "relaybird/catalogue.h"
#include "i18n/translator.h"

namespace relaybird::test {

class TCatalogueEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    CreateTransFormList();
    TranslateConstants();
  }
  void TearDown() override { FreeTransFormList(); }
};

}  // namespace relaybird::test
