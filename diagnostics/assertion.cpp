#include "diagnostics/assertion.h"

#include <atomic>
#include <cstdio>

namespace relaybird {

namespace {

std::atomic<TAssertHandler> AssertHandler{nullptr};

}  // namespace

void SetAssertHandler(TAssertHandler Handler) { AssertHandler.store(Handler); }

TAssertHandler GetAssertHandler() { return AssertHandler.load(); }

void AssertFailed(const std::string& Message, const std::string& SourceFile, int LineNumber) {
  if (const TAssertHandler Handler = AssertHandler.load()) {
    Handler(Message, SourceFile, LineNumber, __builtin_return_address(0));
    return;
  }
  // One write, so that lines of concurrent assertions stay whole.
  const std::string Line =
      Message + " (" + SourceFile + ", line " + std::to_string(LineNumber) + ")\n";
  std::fputs(Line.c_str(), stderr);
}

}  // namespace relaybird
