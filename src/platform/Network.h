#pragma once
#include <QByteArray>

class QNetworkReply;
class QNetworkRequest;

namespace platform {

// The network: sends a request to a web server. The reply arrives on the
// caller's event loop; the caller owns it and deletes it.
class Network {
public:
    virtual ~Network() = default;
    // Starts the request with the operation ("GET", "HEAD", ...).
    virtual QNetworkReply *send(const QNetworkRequest &request, const QByteArray &operation) = 0;
};

} // namespace platform
