#pragma once

#include <QString>
#include <QTemporaryDir>

#include <functional>

// A fresh program home (Documents, Caches, Preferences) for one test, with a new
// settings store opened on it; the previous store is closed first.
class TestHome
{
public:
    TestHome();
    ~TestHome();

    QString path() const { return m_dir.path(); }
    QString documents() const;

    // Closes the settings store, as a quit would, and opens it again from disk.
    void restart();

    // Writes a file (creating its folders) below Documents; returns its path.
    QString writeFile(const QString &relativePath, const QByteArray &contents = "x") const;
    QString makeFolder(const QString &relativePath) const;

private:
    QTemporaryDir m_dir;
};

// Runs the event loop until the condition holds or the time is up.
bool waitUntil(const std::function<bool()> &condition, int timeoutMs = 5000);
