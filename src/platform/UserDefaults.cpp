#include "UserDefaults.h"

#include "PropertyList.h"
#include "Sandbox.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QMutexLocker>
#include <QSaveFile>
#include <QThread>

#include <memory>

#include <unistd.h>

Q_LOGGING_CATEGORY(lcDefaults, "orbo.defaults")

namespace {
std::unique_ptr<UserDefaults> &standardStore()
{
    static std::unique_ptr<UserDefaults> store;
    return store;
}
QMutex standardMutex;

// A name beside the unreadable file that does not replace an earlier one.
QString corruptName(const QString &path)
{
    QString candidate = path + QStringLiteral(".corrupt");
    for (int n = 2; QFileInfo::exists(candidate); ++n)
        candidate = path + QStringLiteral(".corrupt-%1").arg(n);
    return candidate;
}
} // namespace

UserDefaults &UserDefaults::standard()
{
    QMutexLocker lock(&standardMutex);
    auto &store = standardStore();
    if (!store) {
        store = std::make_unique<UserDefaults>(Sandbox::settingsFilePath());
        // Debounced saves need an event loop: keep the store on the main thread.
        if (auto *app = QCoreApplication::instance(); app && app->thread() != QThread::currentThread())
            store->moveToThread(app->thread());
    }
    return *store;
}

void UserDefaults::resetStandard()
{
    QMutexLocker lock(&standardMutex);
    standardStore().reset();
}

UserDefaults::UserDefaults(const QString &filePath, QObject *parent) : QObject(parent), m_filePath(filePath)
{
    m_saveTimer.setSingleShot(true);
    m_saveTimer.setInterval(kSaveDelayMs);
    connect(&m_saveTimer, &QTimer::timeout, this, &UserDefaults::synchronize);
    if (auto *app = QCoreApplication::instance())
        connect(app, &QCoreApplication::aboutToQuit, this, &UserDefaults::synchronize);
    load();
}

UserDefaults::~UserDefaults()
{
    synchronize();
}

void UserDefaults::load()
{
    QFile file(m_filePath);
    if (!file.exists())
        return;
    QString error;
    QStringList skipped;
    std::optional<QVariant> root;
    if (file.open(QIODevice::ReadOnly)) {
        root = PropertyList::fromXml(file.readAll(), &error, &skipped);
        file.close();
        if (root && root->typeId() != QMetaType::QVariantMap) {
            root.reset();
            error = QStringLiteral("the top level is not a dictionary");
        }
    } else {
        error = file.errorString();
    }
    if (root) {
        m_values = root->toMap();
        if (!skipped.isEmpty())
            keepDamagedCopy(skipped);
        return;
    }
    // Keep the unreadable file for inspection; the program starts from its defaults.
    const QString aside = corruptName(m_filePath);
    const bool moved = QFile::rename(m_filePath, aside);
    qCWarning(lcDefaults).noquote() << "Settings file" << m_filePath << "could not be read (" + error + ");"
                                    << (moved ? "moved aside to " + aside : QStringLiteral("could not move it aside"))
                                    << "- starting from the defaults";
}

// Values that cannot be held were left out and everything else was read: the original
// stays beside the file for inspection, and the file is soon written again without them,
// so the next start neither skips nor copies again.
void UserDefaults::keepDamagedCopy(const QStringList &skipped)
{
    for (const QString &what : skipped)
        qCWarning(lcDefaults).noquote() << "Settings file" << m_filePath << "- skipped a value:" << what;
    const QString aside = corruptName(m_filePath);
    const bool copied = QFile::copy(m_filePath, aside);
    qCWarning(lcDefaults).noquote() << "Settings file" << m_filePath << "- read without" << skipped.size()
                                    << "value(s);"
                                    << (copied ? "the original is kept as " + aside
                                               : QStringLiteral("could not keep a copy of the original"));
    if (!copied)
        return;
    {
        QMutexLocker lock(&m_mutex);
        m_dirty = true;
    }
    scheduleSave();
}

QVariant UserDefaults::objectForKey(const QString &key) const
{
    QMutexLocker lock(&m_mutex);
    return m_values.value(key);
}

void UserDefaults::setObject(const QVariant &value, const QString &key)
{
    if (!value.isValid()) {
        removeObjectForKey(key);
        return;
    }
    if (!PropertyList::isPropertyList(value)) {
        qCWarning(lcDefaults) << "Refusing to store a value that is not a property list under" << key << value;
        return;
    }
    {
        QMutexLocker lock(&m_mutex);
        m_values.insert(key, value);
        m_dirty = true;
    }
    scheduleSave();
}

void UserDefaults::removeObjectForKey(const QString &key)
{
    {
        QMutexLocker lock(&m_mutex);
        if (m_values.remove(key) == 0)
            return;
        m_dirty = true;
    }
    scheduleSave();
}

QString UserDefaults::stringForKey(const QString &key) const
{
    const QVariant value = objectForKey(key);
    switch (value.typeId()) {
    case QMetaType::QString:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
        return value.toString();
    default:
        return {};
    }
}

QVariantList UserDefaults::arrayForKey(const QString &key) const
{
    const QVariant value = objectForKey(key);
    if (value.typeId() == QMetaType::QVariantList || value.typeId() == QMetaType::QStringList)
        return value.toList();
    return {};
}

QVariantMap UserDefaults::dictionaryForKey(const QString &key) const
{
    const QVariant value = objectForKey(key);
    return value.typeId() == QMetaType::QVariantMap ? value.toMap() : QVariantMap();
}

QVariantMap UserDefaults::dictionaryRepresentation() const
{
    QMutexLocker lock(&m_mutex);
    return m_values;
}

void UserDefaults::scheduleSave()
{
    if (QThread::currentThread() == thread())
        m_saveTimer.start();
    else
        QMetaObject::invokeMethod(&m_saveTimer, qOverload<>(&QTimer::start), Qt::QueuedConnection);
}

bool UserDefaults::synchronize()
{
    QVariantMap snapshot;
    {
        QMutexLocker lock(&m_mutex);
        if (!m_dirty)
            return true;
        snapshot = m_values;
        m_dirty = false;
    }
    const std::optional<QByteArray> xml = PropertyList::toXml(snapshot);
    QDir().mkpath(QFileInfo(m_filePath).absolutePath());
    // QSaveFile writes a temporary file in the same folder and renames it over the
    // old one on commit; the explicit fsync makes the contents durable before that.
    QSaveFile file(m_filePath);
    bool ok = xml && file.open(QIODevice::WriteOnly) && file.write(*xml) == xml->size() && file.flush()
        && ::fsync(file.handle()) == 0 && file.commit();
    if (!ok) {
        qCWarning(lcDefaults).noquote() << "Could not save the settings to" << m_filePath << file.errorString();
        QMutexLocker lock(&m_mutex);
        m_dirty = true;
    }
    return ok;
}
