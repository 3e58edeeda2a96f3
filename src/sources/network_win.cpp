#include "sources/network.h"

// The network is not measured yet.
namespace ovra {

void networkUpdate(NetworkInfo&) {}

} // namespace ovra
