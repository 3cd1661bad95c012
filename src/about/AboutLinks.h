#pragma once
#include <QString>
#include <QUrl>

namespace about {

// The web addresses of the About window, kept in this one place. Each is held
// without its leading "http://"; the link labels show it with one, and each
// click asks the browser for its own form of it.
class AboutLinks {
public:
    enum Link { MakerSite, MakerChannel, AuthorSite, Donation };

    AboutLinks(const QString &makerSite, const QString &makerChannel, const QString &authorSite);

    // The project's own addresses.
    static AboutLinks standard();

    // Caption of a link label: the full address, beginning with "http://".
    QString caption(Link link) const;
    // What a click asks the browser to open: the maker's site and channel
    // without "http://", the author's site and the donation page with it.
    QString target(Link link) const;

    // How the browser reads an address: one without a scheme is a web address.
    static QUrl browserUrl(const QString &address);

private:
    QString bare(Link link) const;

    QString m_makerSite;
    QString m_makerChannel;
    QString m_authorSite;
};

} // namespace about
