#pragma once
#include <QString>

namespace platform {

// The file in which pscp and plink (PuTTY's tools) keep the keys of the hosts
// the user has accepted, found the way those tools find it: the file named by
// PUTTYSSHHOSTKEYS, else "sshhostkeys" in PUTTYDIR, in PuTTY's folder under the
// configuration home when that folder exists, or in ~/.putty.
QString puttyHostKeyFile();

} // namespace platform
