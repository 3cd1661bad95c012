#include "about/AboutLinks.h"

namespace about {

namespace {

const QString kHttp = QStringLiteral("http://");

// Drops a scheme and trailing slashes, so every address is held the same way.
QString withoutScheme(QString address)
{
    address = address.trimmed();
    if (address.startsWith(kHttp, Qt::CaseInsensitive))
        address.remove(0, kHttp.size());
    while (address.endsWith(QLatin1Char('/')))
        address.chop(1);
    return address;
}

} // namespace

AboutLinks::AboutLinks(const QString &makerSite, const QString &makerChannel,
                       const QString &authorSite)
    : m_makerSite(withoutScheme(makerSite))
    , m_makerChannel(withoutScheme(makerChannel))
    , m_authorSite(withoutScheme(authorSite))
{}

AboutLinks AboutLinks::standard()
{
    return AboutLinks(QStringLiteral("www.farrowmoss.com"),
                      QStringLiteral("www.youtube.com/user/farrowmoss"),
                      QStringLiteral("www.pellridge.com"));
}

QString AboutLinks::bare(Link link) const
{
    switch (link) {
    case MakerSite: return m_makerSite;
    case MakerChannel: return m_makerChannel;
    case AuthorSite: return m_authorSite;
    case Donation: return m_makerSite + QStringLiteral("/donate.html");
    }
    return QString();
}

QString AboutLinks::caption(Link link) const { return kHttp + bare(link); }

QString AboutLinks::target(Link link) const
{
    switch (link) {
    case MakerSite:
    case MakerChannel: return bare(link);
    case AuthorSite:
    case Donation: return kHttp + bare(link);
    }
    return QString();
}

QUrl AboutLinks::browserUrl(const QString &address) { return QUrl::fromUserInput(address); }

} // namespace about
