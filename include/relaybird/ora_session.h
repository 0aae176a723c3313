#pragma once
// A database session: client home (an installed ODBC driver), server alias,
// user, password and schema; connect, disconnect, connected.
// Not thread-safe, except Connected: one thread at a time uses a session and
// its statements (the service connects its sessions under ServiceLock).
#include <memory>
#include <string>

#include "relaybird/export.h"

namespace relaybird {

class TOdbcConnection;
struct TSessionState;

class RELAYBIRD_API TOraSession {
 public:
  TOraSession();
  ~TOraSession();
  TOraSession(const TOraSession&) = delete;
  TOraSession& operator=(const TOraSession&) = delete;

  // Set while the session is disconnected; a connected session keeps the
  // values it connected with until it reconnects.
  const std::string& HomeName() const { return FHomeName; }
  void SetHomeName(const std::string& Value) { FHomeName = Value; }
  const std::string& Server() const { return FServer; }
  void SetServer(const std::string& Value) { FServer = Value; }
  const std::string& Username() const { return FUsername; }
  void SetUsername(const std::string& Value) { FUsername = Value; }
  const std::string& Password() const { return FPassword; }
  void SetPassword(const std::string& Value) { FPassword = Value; }
  const std::string& Schema() const { return FSchema; }
  void SetSchema(const std::string& Value) { FSchema = Value; }

  // Logs in without prompting and makes the schema current. Raises
  // EDatabaseError; a failed connect leaves the session disconnected.
  // Connecting a connected session does nothing.
  void Connect();
  // Frees the connection even when the driver reports a failure, which is
  // raised afterwards.
  void Disconnect();
  // False once the connection was found broken, until the next Connect.
  // Safe to ask from any thread.
  bool Connected() const;

  // For the queries and procedures of this session: the open connection
  // (null when disconnected) and the state they share with the session, which
  // outlives it, so that a statement knows when its connection is gone.
  TOdbcConnection* Connection() const { return FConnection.get(); }
  const std::shared_ptr<TSessionState>& State() const { return FState; }

 private:
  void DropConnection() noexcept;

  std::string FHomeName;
  std::string FServer;
  std::string FUsername;
  std::string FPassword;
  std::string FSchema;
  std::unique_ptr<TOdbcConnection> FConnection;
  std::shared_ptr<TSessionState> FState;
};

}  // namespace relaybird
