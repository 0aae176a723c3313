#pragma once
// The statement handle behind a query or a procedure call, tied to the
// connection its session had when the handle was made.
#include <sql.h>
#include <sqlext.h>

#include <cstdint>
#include <memory>
#include <string>

namespace relaybird {

class TOdbcConnection;
class TOraSession;
struct TSessionState;

class TOdbcStatement {
 public:
  TOdbcStatement() = default;
  ~TOdbcStatement() { Release(); }
  TOdbcStatement(const TOdbcStatement&) = delete;
  TOdbcStatement& operator=(const TOdbcStatement&) = delete;

  // A handle on the session's current connection; true when it is new, so
  // that whatever was prepared on an earlier one must be prepared again.
  // Raises EDatabaseError (3114) when the session is not connected.
  bool Acquire(const TOraSession& Session);
  void Release() noexcept;
  SQLHSTMT Handle() const { return FHandle; }

  // Raises EDatabaseError with the statement's diagnostic unless Rc is a
  // success; a lost connection marks the session broken. The fallback text
  // stands when the driver gives none; it is built only on failure.
  void Check(SQLRETURN Rc, const char* Fallback) {
    if (!SQL_SUCCEEDED(Rc)) Fail(Fallback);
  }
  [[noreturn]] void Fail(const std::string& Fallback);
  void CloseCursor() noexcept;

 private:
  bool Current() const;

  std::shared_ptr<TSessionState> FState;
  std::uint64_t FGeneration = 0;
  TOdbcConnection* FConnection = nullptr;
  SQLHSTMT FHandle = SQL_NULL_HSTMT;
};

}  // namespace relaybird
