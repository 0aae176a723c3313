#include "modules/failed_messages.h"

#include <gtest/gtest.h>

#include <ostream>

namespace relaybird {

void PrintTo(const TFailedMessage& Message, std::ostream* Out) { *Out << Message.ID << "=" << Message.Count; }

namespace {

struct TCase {
  const char* Name;
  std::string Text;
  TFailedMessageList Expected;
};

class FailedMessagesTest : public ::testing::TestWithParam<TCase> {};

TEST_P(FailedMessagesTest, PairsOfIdAndCount) { EXPECT_EQ(ParseFailedMessages(GetParam().Text), GetParam().Expected); }

INSTANTIATE_TEST_SUITE_P(
    Texts, FailedMessagesTest,
    ::testing::Values(
        TCase{"Empty", "", {}},
        TCase{"BlanksOnly", " \t\r\n  \r\n", {}},
        TCase{"OnePair", "A1\r\n3", {{"A1", 3}}},
        TCase{"TrailingBreak", "A1\r\n3\r\n", {{"A1", 3}}},
        TCase{"MixedBreaks", "A1\n1\rB2\r\n2\n", {{"A1", 1}, {"B2", 2}}},
        TCase{"OddLastLineIgnored", "A1\r\n1\r\nB2", {{"A1", 1}}},
        TCase{"CountNotANumber", "A1\r\nfive\r\nB2\r\n 2\r\nC3\r\n2 \r\nD4\r\n", {{"A1", 0}, {"B2", 0}, {"C3", 0}}},
        TCase{"SignedAndHugeCounts", "A1\r\n-1\r\nB2\r\n+4\r\nC3\r\n99999999999", {{"A1", -1}, {"B2", 4}, {"C3", 0}}},
        TCase{"EmptyLinesKeepTheirPlace", "\r\n2\r\nA1\r\n\r\n", {{"", 2}, {"A1", 0}}},
        TCase{"IdKeptAsWritten", " a1 \r\n5", {{" a1 ", 5}}}),
    [](const ::testing::TestParamInfo<TCase>& Info) { return std::string(Info.param.Name); });

}  // namespace
}  // namespace relaybird
