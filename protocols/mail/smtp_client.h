#pragma once
// Sends messages over one SMTP connection with libcurl: the connection is
// made by the first message and reused by the next ones, until it fails or
// the client is destroyed (which says QUIT). Not thread-safe: one worker
// owns it.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "mail_settings.h"

namespace relaybird::mail {

struct TSmtpOutcome {
  // The server took the message for at least one recipient.
  bool Delivered = false;
  // Nothing more can go over this connection now: connect, TLS or login
  // failed, the server closed or stopped answering, or the run was stopped.
  bool ConnectionFailed = false;
  // A new connection was made for this message.
  bool Connected = false;
  std::string Error;
  // The recipients the server refused, each with its reply.
  std::vector<std::string> Refused;
};

class TSmtpClient {
 public:
  // Stopped is asked while a message is under way; true aborts it, except
  // that a message handed over whole awaits its reply for a few seconds.
  TSmtpClient(const TMailSettings& Settings, std::function<bool()> Stopped);
  ~TSmtpClient();
  TSmtpClient(const TSmtpClient&) = delete;
  TSmtpClient& operator=(const TSmtpClient&) = delete;

  TSmtpOutcome Send(const std::vector<std::string>& Recipients, const std::string& Message);

 private:
  struct TState;
  std::unique_ptr<TState> FState;
};

// libcurl's process-wide set-up, once, before the first client.
void InitSmtpLibrary();

}  // namespace relaybird::mail
