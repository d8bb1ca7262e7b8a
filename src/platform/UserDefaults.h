#pragma once

#include <QMutex>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QVariant>

// The per-application key/value store of property-list values (see PropertyList).
// A write is visible to every later read at once; the store saves itself to one
// XML file shortly after a change, on synchronize() and when it is destroyed.
// Saving is atomic: a crash at any moment leaves the old or the new file whole.
// Reads and writes may come from any thread; saving is scheduled on the thread
// that created the store.
class UserDefaults : public QObject
{
    Q_OBJECT
public:
    static constexpr int kSaveDelayMs = 300;

    // The store of the running program, opened on first use from Sandbox::settingsFilePath().
    static UserDefaults &standard();
    // Saves and closes the standard store, so that the next standard() opens the
    // file of the current sandbox again (used when the sandbox changes, and at exit).
    static void resetStandard();

    explicit UserDefaults(const QString &filePath, QObject *parent = nullptr);
    ~UserDefaults() override;

    QString filePath() const { return m_filePath; }

    // An invalid QVariant when the key has no value.
    QVariant objectForKey(const QString &key) const;
    // An invalid value removes the key. A value that is not a property list is
    // refused with a warning and leaves the key as it was.
    void setObject(const QVariant &value, const QString &key);
    void removeObjectForKey(const QString &key);

    // Typed reads: a null string / empty container when the key is missing or holds another type.
    // Like the platform's store, stringForKey also answers numbers in their text form.
    QString stringForKey(const QString &key) const;
    QVariantList arrayForKey(const QString &key) const;
    QVariantMap dictionaryForKey(const QString &key) const;

    // Writes pending changes to disk now. False if the file could not be written.
    bool synchronize();

    QVariantMap dictionaryRepresentation() const;

private:
    void load();
    void keepDamagedCopy(const QStringList &skipped);
    void scheduleSave();

    const QString m_filePath;
    mutable QMutex m_mutex;
    QVariantMap m_values;
    bool m_dirty = false;
    QTimer m_saveTimer{this};
};
