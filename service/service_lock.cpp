#include "service/service_lock.h"

namespace relaybird {

std::recursive_mutex ServiceLock;

}  // namespace relaybird
