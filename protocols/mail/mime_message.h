#pragma once
// One letter as a MIME message in UTF-8, ready for the SMTP DATA phase.
#include <chrono>
#include <string>
#include <vector>

namespace relaybird::mail {

struct TMailLetter {
  std::string SenderAddress;
  std::string SenderName;
  std::vector<std::string> Recipients;
  std::string Subject;
  std::string Body;
  bool ReadReceipt = false;  // asks for a Disposition-Notification-To
};

// Lines end in CR LF. The subject and the sender name become RFC 2047
// encoded words when they are not plain printable ASCII; the body is sent
// base64 as text/html when it looks like HTML, else as text/plain. Bytes
// that are not UTF-8 become U+FFFD, so any body makes a well-formed message.
std::string BuildMimeMessage(const TMailLetter& Letter, std::chrono::system_clock::time_point Time,
                             const std::string& MessageId);

// "<unique@domain of the sender>": unique within this host.
std::string NewMessageId(const std::string& SenderAddress);

// Exposed for the tests.
std::string EncodeBase64(const std::string& Bytes);
std::string EncodeHeaderText(const std::string& Text);
std::string ValidUtf8(const std::string& Bytes);
bool LooksLikeHtml(const std::string& Body);
std::string RfcDate(std::chrono::system_clock::time_point Time);

}  // namespace relaybird::mail
