#pragma once
// relaybird_core is built with hidden visibility: what modules and the
// executable may call is marked RELAYBIRD_API, and nothing else leaves it.
#define RELAYBIRD_API __attribute__((visibility("default")))
