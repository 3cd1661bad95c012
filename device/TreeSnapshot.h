#pragma once
#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>

// What a folder tree on the host holds, entry by entry, without following
// links: used to compare a device tree with a backup copy or with itself
// before and after a job.
class TreeSnapshot {
public:
    struct Entry {
        char type = '?'; // d folder, f file, l link, o other
        uint uid = 0;
        uint gid = 0;
        uint mode = 0; // permission bits with set-uid/set-gid/sticky
        qint64 size = 0;
        QByteArray digest; // files: MD5 of the content; links: the target
    };

    enum Compare { Content = 1, OwnersAndModes = 2, Everything = Content | OwnersAndModes };

    // Reads the tree in root (a link given as root is followed). Paths are
    // relative to root, "." for root itself; paths starting with any of
    // excluded (relative, e.g. "Library/Lockdown") are left out.
    static TreeSnapshot read(const QString &root, const QStringList &excluded = {});

    bool isEmpty() const { return m_entries.isEmpty(); }
    int size() const { return m_entries.size(); }
    qint64 totalBytes() const;
    bool contains(const QString &path) const { return m_entries.contains(path); }
    Entry entry(const QString &path) const { return m_entries.value(path); }
    const QMap<QString, Entry> &entries() const { return m_entries; }

    // Human-readable differences from other (at most limit lines); empty when equal.
    QStringList differences(const TreeSnapshot &other, Compare what, int limit = 20) const;

private:
    QMap<QString, Entry> m_entries;
};
