#pragma once
// A real SMTP server on loopback for the tests: Debian's aiosmtpd with the
// handler smtp_keeper.py, which keeps every accepted message, parsed by a
// MIME parser, in a folder of its own.
#include <sys/types.h>

#include <map>
#include <string>
#include <vector>

namespace relaybird::test {

// One received message as the keeper parsed it.
struct TReceivedMail {
  std::map<std::string, std::string> Headers;  // connection, subject, from, ...
  std::string Body;                            // decoded, line breaks as LF
  std::string Header(const std::string& Key) const;
};

// A test certificate authority and a server certificate for 127.0.0.1 made
// with openssl, once per program.
struct TTestCertificates {
  std::string CaFile;
  std::string CertFile;
  std::string KeyFile;
};
const TTestCertificates& TestCertificates();

enum class TPeerTls { ptNone, ptStartTls, ptTls };

class TSmtpPeer {
 public:
  // Options are the keeper's (refuse=, auth=, delay=, close_after=).
  explicit TSmtpPeer(std::string Folder);
  ~TSmtpPeer();
  TSmtpPeer(const TSmtpPeer&) = delete;
  TSmtpPeer& operator=(const TSmtpPeer&) = delete;

  // Starts on Port (0: a free one) and waits until it takes connections.
  void Start(TPeerTls Tls = TPeerTls::ptNone, const std::vector<std::string>& Options = {}, int Port = 0);
  void Stop();
  int Port() const { return FPort; }

  std::vector<TReceivedMail> Received() const;
  // Waits up to Seconds until Count messages have arrived.
  bool WaitFor(std::size_t Count, int Seconds = 20) const;

 private:
  std::string FFolder;
  pid_t FPid = -1;
  int FPort = 0;
};

// A loopback port nobody listens on now.
int FreePort();

}  // namespace relaybird::test
