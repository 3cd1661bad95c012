#include "platform/PrivateFiles.h"

#include <sys/stat.h>

namespace platform {

void restrictNewFilesToUser() { umask(S_IRWXG | S_IRWXO); }

} // namespace platform
