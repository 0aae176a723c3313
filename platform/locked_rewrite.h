#pragma once
// Atomic read-modify-write of a small file under an advisory lock, so that
// processes rewriting the same file never lose each other's changes and a
// crash never leaves half a file.
#include <functional>
#include <string>

namespace relaybird {

// Receives the file's bytes (empty for a new file) and changes them in place;
// returns false when there is nothing to write.
using TFileChange = std::function<bool(std::string& Bytes)>;

// Locks the file (creating it when missing and CreateMissing is set), reads
// it, applies Change, writes the result to a temporary file in the same
// directory, flushes it to disk with the original's mode and renames it over
// the original. A missing file without CreateMissing is left missing.
// False when the file may not be written: a read-only file (no write bit for
// anybody, or no write access for this process), a directory that is missing
// or not writable, or any failure on the way; the file is then unchanged and
// Reason, when given, says why (with the system's error text).
bool RewriteFileLocked(const std::string& FileName, bool CreateMissing, const TFileChange& Change,
                       std::string* Reason = nullptr);

// The whole file, or empty when it cannot be read; takes no lock (the
// rewrite replaces the file in one rename).
std::string ReadWholeFile(const std::string& FileName);

}  // namespace relaybird
