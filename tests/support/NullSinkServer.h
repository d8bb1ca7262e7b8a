#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <optional>

// A PulseAudio server of the test's own with one null sink ("orbo_test"), on a socket in
// a temporary folder; stopped at the end. Only what is pointed at address() uses it.
class NullSinkServer
{
public:
    NullSinkServer();
    ~NullSinkServer();
    // "unix:<socket>", or empty when pulseaudio is not installed or did not start.
    QString address() const { return m_address; }
    // Runs a PulseAudio client tool (pactl) against this server: its output, or nothing
    // when it failed.
    std::optional<QString> run(const QString &tool, const QStringList &arguments) const;
    QProcessEnvironment clientEnvironment() const;

private:
    QTemporaryDir m_dir;
    QProcess m_server;
    QString m_address;
};
