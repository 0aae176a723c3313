// Compiled into every module made by relaybird_add_module: the module states
// the contract version of the headers it was built with.
#include "relaybird/module_abi.h"

RELAYBIRD_DEFINE_CONTRACT_VERSION()
