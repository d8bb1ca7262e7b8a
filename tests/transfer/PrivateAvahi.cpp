#include "transfer/PrivateAvahi.h"

#include "TestHome.h"
#include "transfer/UploadApp.h"

#include <QFile>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QStandardPaths>

#include <csignal>
#include <unistd.h>

namespace {
const QStringList kSystemPaths{"/usr/sbin", "/sbin", "/usr/bin", "/bin"};

QString tool(const QString &name)
{
    const QString found = QStandardPaths::findExecutable(name);
    return found.isEmpty() ? QStandardPaths::findExecutable(name, kSystemPaths) : found;
}

void write(const QString &path, const QByteArray &text)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(text);
}

// avahi-browse writes "\032" for a space and the like.
QString unescape(const QByteArray &label)
{
    QByteArray out;
    for (qsizetype i = 0; i < label.size(); ++i) {
        const QByteArray digits = label.mid(i + 1, 3);
        bool number = false;
        const int code = digits.size() == 3 ? digits.toInt(&number) : 0;
        if (label[i] == '\\' && number) {
            out += char(code);
            i += 3;
        } else if (label[i] == '\\' && i + 1 < label.size()) {
            out += label[++i];
        } else {
            out += label[i];
        }
    }
    return QString::fromUtf8(out);
}
} // namespace

PrivateAvahi::PrivateAvahi()
{
    if (::geteuid() != 0) {
        m_whyNot = QStringLiteral("a private avahi-daemon needs the superuser (network and mount namespaces)");
        return;
    }
    for (const char *name : {"unshare", "ip", "dbus-daemon", "avahi-daemon", "avahi-browse"}) {
        if (tool(QString::fromLatin1(name)).isEmpty()) {
            m_whyNot = QStringLiteral("%1 is not installed (scripts/setup installs it)").arg(QLatin1String(name));
            return;
        }
    }
    const QString d = m_dir.path();
    write(d + "/bus.conf",
          R"(<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>system</type>
  <listen>unix:path=)"
              + QFile::encodeName(d) + R"(/bus</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow user="*"/>
    <allow own="*"/>
    <allow send_destination="*"/>
    <allow receive_sender="*"/>
  </policy>
</busconfig>
)");
    write(d + "/avahi.conf",
          "[server]\nuse-ipv4=yes\nuse-ipv6=no\nenable-dbus=yes\n"
          "[publish]\npublish-hinfo=no\npublish-workstation=no\n");
    // The daemon is started again whenever it ends, until the stop file appears.
    write(d + "/run.sh", R"SH(set -e
D="$1"
ip link set lo up
mount -t tmpfs tmpfs /run
mkdir -p /run/avahi-daemon
dbus-daemon --config-file="$D/bus.conf" --nofork --nopidfile 2>"$D/dbus.log" &
echo $! > "$D/dbus.pid"
i=0
while [ ! -S "$D/bus" ]; do sleep 0.05; i=$((i+1)); [ $i -lt 200 ] || exit 1; done
export DBUS_SYSTEM_BUS_ADDRESS="unix:path=$D/bus"
while [ ! -e "$D/stop" ]; do
    avahi-daemon --no-drop-root --no-chroot --no-rlimits --no-proc-title -f "$D/avahi.conf" >"$D/avahi.log" 2>&1 &
    echo $! > "$D/avahi.pid.new"
    mv "$D/avahi.pid.new" "$D/avahi.pid"
    wait $! || true
    sleep 0.2
done
kill "$(cat "$D/dbus.pid")"
wait
)SH");
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("PATH", environment.value("PATH") + ":/usr/sbin:/sbin");
    m_namespace.setProcessEnvironment(environment);
    m_namespace.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_namespace.start(tool("unshare"), {"--net", "--mount", "--propagation", "private", "sh", d + "/run.sh", d});
    if (!m_namespace.waitForStarted(5000)) {
        m_whyNot = QStringLiteral("unshare did not start: %1").arg(m_namespace.errorString());
        return;
    }
    m_running = waitForDaemon(0);
    if (!m_running)
        m_whyNot = QStringLiteral("the private avahi-daemon did not come up: %1")
                       .arg(QString::fromUtf8(readFile(d + "/avahi.log") + readFile(d + "/dbus.log")));
}

PrivateAvahi::~PrivateAvahi()
{
    if (m_namespace.state() == QProcess::NotRunning)
        return;
    write(m_dir.path() + "/stop", "");
    if (const qint64 pid = daemonPid(); pid > 0)
        ::kill(pid_t(pid), SIGTERM);
    if (!m_namespace.waitForFinished(10000)) {
        m_namespace.kill();
        m_namespace.waitForFinished(5000);
    }
}

QString PrivateAvahi::busAddress() const
{
    return QStringLiteral("unix:path=%1/bus").arg(m_dir.path());
}

qint64 PrivateAvahi::daemonPid() const
{
    return readFile(m_dir.path() + "/avahi.pid").trimmed().toLongLong();
}

bool PrivateAvahi::waitForDaemon(qint64 oldPid)
{
    return waitUntil(
        [&] {
            const qint64 pid = daemonPid();
            return pid > 0 && pid != oldPid
                && readFile(m_dir.path() + "/avahi.log").contains("Server startup complete");
        },
        15000);
}

bool PrivateAvahi::restartDaemon()
{
    const qint64 pid = daemonPid();
    if (pid <= 0 || ::kill(pid_t(pid), SIGTERM) != 0)
        return false;
    return waitForDaemon(pid);
}

QList<PrivateAvahi::Service> PrivateAvahi::browse(const QString &type) const
{
    QProcess browser;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DBUS_SYSTEM_BUS_ADDRESS", busAddress());
    browser.setProcessEnvironment(environment);
    browser.start(tool("avahi-browse"), {"--parsable", "--terminate", "--resolve", "--no-db-lookup", type});
    if (!browser.waitForFinished(10000)) {
        browser.kill();
        browser.waitForFinished(2000);
        return {};
    }
    QList<Service> services;
    for (const QByteArray &line : browser.readAllStandardOutput().split('\n')) {
        const QList<QByteArray> fields = line.split(';');
        if (fields.size() >= 9 && fields[0] == "=")
            services.append({unescape(fields[3]), quint16(fields[8].toUInt())});
    }
    return services;
}
