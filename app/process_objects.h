#pragma once

namespace relaybird {

// The objects every role needs before the program entry runs, created in
// dependency order and freed in reverse: the translator, the thread registry,
// the settings-file path, the process-log lock (the service's ServiceLock),
// the language manager (which creates Langs/).
class TProcessObjects {
 public:
  TProcessObjects();
  ~TProcessObjects();
  TProcessObjects(const TProcessObjects&) = delete;
  TProcessObjects& operator=(const TProcessObjects&) = delete;
};

}  // namespace relaybird
