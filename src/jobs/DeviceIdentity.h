#pragma once
#include <QString>

namespace jobs {

// Which device a backup came from: the host key that PuTTY's cache holds for
// the device's address, recorded beside the backup as one line,
// "hostkey <key type> <32 hex digits of the key's SHA-256>". The line holds
// only letters, digits and dashes, so a script can write it with echo.
class DeviceIdentity {
public:
    // The record for the device at the address; empty when PuTTY's cache holds
    // no key for it.
    static QString ofAddress(const QString &address);
    // The record kept beside the backup in place (or in the folder that holds
    // it while a backup runs); empty when there is none or it says nothing.
    static QString ofBackup(const QString &folder = QString());
    // The record from a key cache entry "<key type> <key>".
    static QString fromKey(const QByteArray &entry);
    // The device's own name (and serial number, where it told it) that the
    // backup in `folder` brought from the device; empty when it holds none.
    // Printable characters only: the text comes from the device.
    static QString nameOfBackup(const QString &folder = QString());
    // The record in the user's words: "host key ssh-ed25519 1a2b3c4d...",
    // after the device's name when there is one ("iPod, host key ...").
    static QString describe(const QString &record, const QString &name = QString());
};

} // namespace jobs
