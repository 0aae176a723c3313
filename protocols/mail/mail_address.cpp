#include "mail_address.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace relaybird::mail {

namespace {

std::string Trim(const std::string& Text) {
  std::size_t First = 0;
  std::size_t Last = Text.size();
  while (First < Last && static_cast<unsigned char>(Text[First]) <= ' ') ++First;
  while (Last > First && static_cast<unsigned char>(Text[Last - 1]) <= ' ') --Last;
  return Text.substr(First, Last - First);
}

bool AtomCharacter(unsigned char C) {
  return std::isalnum(C) != 0 || C >= 0x80 || std::strchr("!#$%&'*+-/=?^_`{|}~", C) != nullptr;
}

bool ValidLocalPart(const std::string& Local) {
  if (Local.empty() || Local.size() > 64 || Local.front() == '.' || Local.back() == '.') return false;
  for (std::size_t I = 0; I < Local.size(); ++I) {
    const auto C = static_cast<unsigned char>(Local[I]);
    if (C == '.') {
      if (Local[I + 1] == '.') return false;
    } else if (!AtomCharacter(C)) {
      return false;
    }
  }
  return true;
}

bool ValidLabel(const std::string& Label) {
  if (Label.empty() || Label.size() > 63 || Label.front() == '-' || Label.back() == '-') return false;
  return std::all_of(Label.begin(), Label.end(), [](char Character) {
    const auto C = static_cast<unsigned char>(Character);
    return std::isalnum(C) != 0 || C == '-' || C >= 0x80;
  });
}

bool ValidDomain(const std::string& Domain) {
  if (Domain.empty() || Domain.size() > 253) return false;
  std::size_t Start = 0;
  while (true) {
    const std::size_t Dot = Domain.find('.', Start);
    if (!ValidLabel(Domain.substr(Start, Dot == std::string::npos ? std::string::npos : Dot - Start))) {
      return false;
    }
    if (Dot == std::string::npos) return true;
    Start = Dot + 1;
  }
}

}  // namespace

std::vector<std::string> SplitAddresses(const std::string& Field) {
  std::vector<std::string> Addresses;
  std::size_t Start = 0;
  while (Start <= Field.size()) {
    const std::size_t End = Field.find_first_of(";,", Start);
    std::string Address = Trim(Field.substr(Start, End == std::string::npos ? std::string::npos : End - Start));
    if (Address.size() >= 2 && Address.front() == '<' && Address.back() == '>') {
      Address = Trim(Address.substr(1, Address.size() - 2));
    }
    if (!Address.empty()) Addresses.push_back(Address);
    if (End == std::string::npos) break;
    Start = End + 1;
  }
  return Addresses;
}

bool ValidAddress(const std::string& Address) {
  const std::size_t At = Address.rfind('@');
  if (At == std::string::npos || Address.size() > 254) return false;
  return ValidLocalPart(Address.substr(0, At)) && ValidDomain(Address.substr(At + 1));
}

std::vector<std::vector<std::string>> GroupAddresses(const std::vector<std::string>& Addresses, int Most) {
  const std::size_t Size = static_cast<std::size_t>(std::max(Most, 1));
  std::vector<std::vector<std::string>> Groups;
  for (std::size_t I = 0; I < Addresses.size(); I += Size) {
    Groups.emplace_back(Addresses.begin() + static_cast<std::ptrdiff_t>(I),
                        Addresses.begin() + static_cast<std::ptrdiff_t>(std::min(I + Size, Addresses.size())));
  }
  return Groups;
}

}  // namespace relaybird::mail
