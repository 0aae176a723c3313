#pragma once
#include <mutex>
#include <string>

namespace relaybird {

// Appends "[time]" CR LF "SourceFile\tLine\tMessage" CR LF CR LF to
// Relaybird_Errors.log beside the executable. Errors reach the caller.
void WriteErrorLog(const std::string& Message, const std::string& SourceFile, int LineNumber,
                   const void* ErrorAddress);

std::string ErrorLogFileName();
std::mutex& ErrorLogLock();

}  // namespace relaybird
