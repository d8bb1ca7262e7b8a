#pragma once

#include <QObject>
#include <QUrl>

#include <functional>

class QNetworkAccessManager;

// Fetches an address once, without blocking: the answer is whether the server answered
// within the time limit (5 s). Used to check that the mobile URL really reaches us.
class URLProbe : public QObject
{
    Q_OBJECT
public:
    static constexpr int timeLimitMs = 5000;

    explicit URLProbe(QObject *parent = nullptr);
    ~URLProbe() override;

    // Replaces a probe still running (its answer is dropped). `done` runs on this thread.
    void fetch(const QUrl &url, std::function<void(bool answered)> done);
    void cancel();
    bool isRunning() const { return m_reply != nullptr; }

private:
    QNetworkAccessManager *m_network;
    class QNetworkReply *m_reply = nullptr;
};
