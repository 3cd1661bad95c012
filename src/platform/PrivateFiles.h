#pragma once

namespace platform {

// From now on, files and folders this process creates — and those of the job
// scripts, interpreter and tools it starts, which inherit the setting — are
// readable by the user alone: job scripts hold the device's root password and
// the backup copy holds the user's mail, messages and contacts.
void restrictNewFilesToUser();

} // namespace platform
