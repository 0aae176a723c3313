#pragma once
// What the log writer needs to know about the object that writes a line.
#include <string>

#include "relaybird/export.h"

namespace relaybird {

class RELAYBIRD_API TObject {
 public:
  virtual ~TObject() = default;
  virtual std::string ClassName() const { return "TObject"; }
};

// A worker thread of a module service: it writes to a log file of its own
// and its event-log copies are module errors.
class RELAYBIRD_API TWorkerLogSender : public TObject {
 public:
  virtual std::string LogServiceName() const = 0;
};

}  // namespace relaybird
