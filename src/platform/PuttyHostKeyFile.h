#pragma once
#include <QString>
#include <functional>
#include <optional>

namespace platform {

// The file in which pscp and plink (PuTTY's tools) keep the keys of the hosts
// the user has accepted, found the way those tools find it: the file named by
// PUTTYSSHHOSTKEYS, else "sshhostkeys" in PUTTYDIR, in PuTTY's folder under the
// configuration home when that folder exists, or in the first ".putty" folder
// that exists of $HOME, the account's own home (from the passwd database) and
// the root folder.
QString puttyHostKeyFile();

// What that search reads: the variables (unset or set, even empty), the
// account's home, and whether a folder exists.
struct PuttyLookup {
    std::optional<QString> hostKeysFile; // PUTTYSSHHOSTKEYS
    std::optional<QString> puttyDir;     // PUTTYDIR
    std::optional<QString> home;         // HOME
    QString configHome;                  // XDG_CONFIG_HOME (empty: unset)
    QString accountHome;
    std::function<bool(const QString &)> exists;
};
QString puttyHostKeyFile(const PuttyLookup &lookup);

} // namespace platform
