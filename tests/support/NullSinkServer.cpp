#include "NullSinkServer.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QStandardPaths>
#include <QThread>

NullSinkServer::NullSinkServer()
{
    const QString pulseaudio = QStandardPaths::findExecutable(QStringLiteral("pulseaudio"));
    if (pulseaudio.isEmpty() || !m_dir.isValid())
        return;
    const QString socket = m_dir.filePath("native");
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_RUNTIME_DIR", m_dir.path());
    env.insert("HOME", m_dir.path());
    env.insert("PULSE_RUNTIME_PATH", m_dir.filePath("pulse"));
    m_server.setProcessEnvironment(env);
    m_server.start(pulseaudio,
                   {"--daemonize=no", "--exit-idle-time=-1", "-n", "--use-pid-file=no",
                    "--load=module-null-sink sink_name=orbo_test",
                    "--load=module-native-protocol-unix auth-anonymous=1 socket=" + socket, "--log-target=stderr"});
    if (!m_server.waitForStarted(5000))
        return;
    const QDeadlineTimer deadline(5000);
    while (!QFileInfo::exists(socket) && !deadline.hasExpired())
        QThread::msleep(10);
    if (QFileInfo::exists(socket))
        m_address = "unix:" + socket;
}

NullSinkServer::~NullSinkServer()
{
    m_server.terminate();
    m_server.waitForFinished(5000);
}

QProcessEnvironment NullSinkServer::clientEnvironment() const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("PULSE_SERVER", m_address);
    env.insert("HOME", m_dir.path());
    env.insert("XDG_RUNTIME_DIR", m_dir.path());
    return env;
}

std::optional<QString> NullSinkServer::run(const QString &tool, const QStringList &arguments) const
{
    if (m_address.isEmpty())
        return std::nullopt;
    QProcess process;
    process.setProcessEnvironment(clientEnvironment());
    process.start(tool, arguments);
    if (!process.waitForFinished(10000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return std::nullopt;
    return QString::fromUtf8(process.readAllStandardOutput());
}
