#include "platform/ProcessIdentity.h"

#include <unistd.h>

namespace platform {

bool runningAsRoot() { return geteuid() == 0; }

} // namespace platform
