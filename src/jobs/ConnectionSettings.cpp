#include "jobs/ConnectionSettings.h"
#include "jobs/BatchQuoting.h"

#include <QHostAddress>
#include <QRegularExpression>

namespace jobs {

namespace {

bool isDottedQuad(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char('.'));
    if (parts.size() != 4)
        return false;
    for (const QString &part : parts) {
        if (part.isEmpty() || part.size() > 3)
            return false;
        for (QChar c : part) {
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                return false;
        }
        if (part.toInt() > 255)
            return false;
    }
    return true;
}

bool isHostName(const QString &text)
{
    // Labels of letters, digits and hyphens, joined by dots, not starting or
    // ending in a hyphen; the last label is not all digits (that would be an
    // incomplete IP address such as "192.168.").
    static const QRegularExpression label(
        QStringLiteral("^[A-Za-z0-9]([A-Za-z0-9-]{0,61}[A-Za-z0-9])?$"));
    static const QRegularExpression digits(QStringLiteral("^[0-9]+$"));
    if (text.isEmpty() || text.size() > 253)
        return false;
    const QStringList labels = text.split(QLatin1Char('.'));
    for (const QString &l : labels) {
        if (!label.match(l).hasMatch())
            return false;
    }
    return !digits.match(labels.last()).hasMatch();
}

// An IPv6 address, also in brackets or with a zone ("fe80::1%en0").
bool isIpv6(QString text)
{
    if (text.startsWith(QLatin1Char('[')) && text.endsWith(QLatin1Char(']')))
        text = text.mid(1, text.size() - 2);
    return text.contains(QLatin1Char(':'))
           && QHostAddress(text).protocol() == QAbstractSocket::IPv6Protocol;
}

} // namespace

// The scripts write the address into "root@%IP%:folder" for pscp, which would
// read an IPv6 address there as a host name cut at its first colon; so only
// IPv4 addresses and host names are taken. The devices show their IPv4
// address in Settings.
bool ConnectionSettings::isValidAddress(const QString &a)
{
    return isDottedQuad(a) || isHostName(a);
}

ConnectionSettings::ConnectionSettings(const QString &address, const QString &password)
    : m_address(address.trimmed())
    , m_password(password)
{
    if (isIpv6(m_address)) {
        m_error = QStringLiteral(
                      "\"%1\" is an IPv6 address, which the job scripts' copy tools cannot use. "
                      "Type the IPv4 address of your iPod Touch or iPhone as Settings shows it "
                      "(for example 192.168.1.5): Settings->Wi-Fi, then the blue \">\" next to "
                      "your Wi-Fi network.")
                      .arg(m_address);
    } else if (!isValidAddress(m_address)) {
        m_error = QStringLiteral(
                      "\"%1\" is not a complete IP address. Type the IP address of your iPod "
                      "Touch or iPhone in the SSH Login box (for example 192.168.1.5); you find "
                      "it under Settings->Wi-Fi, by clicking the blue \">\" next to your Wi-Fi "
                      "network.")
                      .arg(m_address);
    } else if (m_password.isEmpty()) {
        m_error = QStringLiteral("Type the SSH root password of your iPod Touch or iPhone in the "
                                 "SSH Login box. By default, this is fennel.");
    } else if (!isBatchWritable(m_password)) {
        m_error = QStringLiteral("The SSH password holds a line break or control character that "
                                 "a job script cannot carry. Type the password again.");
    }
}

} // namespace jobs
