#pragma once
// Failed assertions with a message go to the installed handler (the error log
// in this program) and execution goes on after the assertion. AssertFailed
// may be called from any thread; the handler is set once at program start.
#include <string>

#include "relaybird/export.h"

namespace relaybird {

using TAssertHandler = void (*)(const std::string& Message, const std::string& SourceFile,
                                int LineNumber, const void* ErrorAddress);

RELAYBIRD_API void SetAssertHandler(TAssertHandler Handler);
RELAYBIRD_API TAssertHandler GetAssertHandler();

// Reports a failed assertion; without a handler the text goes to stderr.
RELAYBIRD_API void AssertFailed(const std::string& Message, const std::string& SourceFile, int LineNumber);

}  // namespace relaybird

#define RB_ASSERT(Condition, Message)                                   \
  do {                                                                  \
    if (!(Condition)) ::relaybird::AssertFailed((Message), __FILE__, __LINE__); \
  } while (false)
