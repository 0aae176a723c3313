#pragma once
// Recipient fields: several addresses separated by ";" or ",", each checked
// before it reaches the SMTP server.
#include <string>
#include <vector>

namespace relaybird::mail {

// The addresses of a field, blanks and one pair of angle brackets removed,
// empty entries dropped, in field order.
std::vector<std::string> SplitAddresses(const std::string& Field);

// local@domain with a dot-atom local part and a domain of letters, digits,
// hyphens (or non-ASCII characters) between dots. Quoted local parts,
// comments and address literals are refused.
bool ValidAddress(const std::string& Address);

// Consecutive groups of at most Most addresses (Most below 1 counts as 1).
std::vector<std::vector<std::string>> GroupAddresses(const std::vector<std::string>& Addresses, int Most);

}  // namespace relaybird::mail
