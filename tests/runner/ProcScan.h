#pragma once
#include <QDir>
#include <QFile>
#include <QStringList>

#include <unistd.h>

// What the system says about processes and descriptors, read straight from
// /proc, so that tests check the runner against the system and not against
// the runner's own bookkeeping.
namespace procscan {

struct Entry {
    qint64 pid = 0;
    char state = '?';
    qint64 ppid = 0;
    qint64 pgrp = 0;
};

inline QList<Entry> processes()
{
    QList<Entry> result;
    const QStringList names =
        QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &name : names) {
        bool isPid = false;
        const qint64 pid = name.toLongLong(&isPid);
        if (!isPid)
            continue;
        QFile stat(QStringLiteral("/proc/%1/stat").arg(name));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray line = stat.readAll();
        const int close = line.lastIndexOf(')');
        const QList<QByteArray> fields = line.mid(close + 2).split(' ');
        if (close < 0 || fields.size() < 3)
            continue;
        result.append({pid, fields[0].at(0), fields[1].toLongLong(), fields[2].toLongLong()});
    }
    return result;
}

// Members of a process group that have not ended (zombies have ended).
inline int liveInGroup(qint64 pgrp)
{
    int live = 0;
    for (const Entry &e : processes())
        live += (e.pgrp == pgrp && e.state != 'Z' && e.state != 'X') ? 1 : 0;
    return live;
}

// Children of this process, ended-but-unreaped ones included.
inline int childCount()
{
    int count = 0;
    for (const Entry &e : processes())
        count += e.ppid == ::getpid() ? 1 : 0;
    return count;
}

inline int openFdCount()
{
    return int(QDir(QStringLiteral("/proc/self/fd"))
                   .entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot)
                   .size());
}

} // namespace procscan
