#pragma once
#include <mutex>
#include <string>

#include "relaybird/export.h"

namespace relaybird {

// Appends "[time]" CR LF "SourceFile\tLine\tMessage" CR LF CR LF to
// Relaybird_Errors.log beside the executable. Errors reach the caller.
// Thread-safe: entries are serialised by ErrorLogLock.
RELAYBIRD_API void WriteErrorLog(const std::string& Message, const std::string& SourceFile, int LineNumber,
                   const void* ErrorAddress);

RELAYBIRD_API std::string ErrorLogFileName();
RELAYBIRD_API std::mutex& ErrorLogLock();

}  // namespace relaybird
