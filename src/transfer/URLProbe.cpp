#include "transfer/URLProbe.h"

#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>

URLProbe::URLProbe(QObject *parent) : QObject(parent), m_network(new QNetworkAccessManager(this))
{}

URLProbe::~URLProbe()
{
    cancel();
}

void URLProbe::fetch(const QUrl &url, std::function<void(bool)> done)
{
    cancel();
    QNetworkRequest request(url);
    request.setTransferTimeout(timeLimitMs);
    // A proxy of the desktop's would answer for a server it cannot reach.
    m_network->setProxy(QNetworkProxy::NoProxy);
    QNetworkReply *reply = m_network->get(request);
    m_reply = reply;
    connect(reply, &QNetworkReply::finished, this, [this, reply, done = std::move(done)] {
        // Any answer of the server counts, an error page too (a server that asks for a code
        // answers 401): only a connection that fails or stays silent does not.
        const bool gotData = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid();
        if (m_reply == reply)
            m_reply = nullptr;
        reply->deleteLater();
        if (done)
            done(gotData);
    });
}

void URLProbe::cancel()
{
    if (!m_reply)
        return;
    QNetworkReply *reply = m_reply;
    m_reply = nullptr;
    reply->disconnect(this);
    reply->abort();
    reply->deleteLater();
}
