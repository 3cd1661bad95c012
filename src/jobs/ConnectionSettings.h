#pragma once
#include <QString>

namespace jobs {

// The device's address and root password as typed in the SSH Login box, checked
// before a job writes anything: an address has no blanks around it and must be
// a complete IPv4 address or host name (never IPv6, which pscp's "root@host:folder"
// cannot carry); the password must not be empty.
class ConnectionSettings {
public:
    ConnectionSettings(const QString &address, const QString &password);

    bool isValid() const { return m_error.isEmpty(); }
    // What to tell the user when the settings are refused.
    const QString &error() const { return m_error; }
    const QString &address() const { return m_address; }
    const QString &password() const { return m_password; }

    static bool isValidAddress(const QString &trimmedAddress);

private:
    QString m_address;
    QString m_password;
    QString m_error;
};

} // namespace jobs
