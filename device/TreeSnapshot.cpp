#include "TreeSnapshot.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sys/stat.h>
#include <unistd.h>

namespace {

char typeOf(mode_t m)
{
    if (S_ISDIR(m))
        return 'd';
    if (S_ISREG(m))
        return 'f';
    if (S_ISLNK(m))
        return 'l';
    return 'o';
}

QByteArray fileDigest(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArrayLiteral("<unreadable>");
    QCryptographicHash hash(QCryptographicHash::Md5);
    hash.addData(&f);
    return hash.result().toHex();
}

QString describe(const TreeSnapshot::Entry &e)
{
    return QStringLiteral("%1 %2:%3 %4 %5 bytes %6")
        .arg(QChar::fromLatin1(e.type))
        .arg(e.uid)
        .arg(e.gid)
        .arg(e.mode, 4, 8, QLatin1Char('0'))
        .arg(e.size)
        .arg(QString::fromUtf8(e.digest));
}

} // namespace

TreeSnapshot TreeSnapshot::read(const QString &root, const QStringList &excluded)
{
    TreeSnapshot snap;
    const QString top = QFileInfo(root).canonicalFilePath();
    if (top.isEmpty())
        return snap;
    QStringList pending{QStringLiteral(".")};
    while (!pending.isEmpty()) {
        const QString rel = pending.takeLast();
        const QString abs = rel == QLatin1String(".") ? top : top + QLatin1Char('/') + rel;
        struct stat st;
        if (lstat(QFile::encodeName(abs).constData(), &st) != 0)
            continue;
        Entry e;
        e.type = typeOf(st.st_mode);
        e.uid = st.st_uid;
        e.gid = st.st_gid;
        e.mode = st.st_mode & 07777;
        if (e.type == 'f') {
            e.size = st.st_size;
            e.digest = fileDigest(abs);
        } else if (e.type == 'l') {
            QByteArray target(4096, '\0');
            const ssize_t n =
                readlink(QFile::encodeName(abs).constData(), target.data(), target.size());
            if (n >= 0)
                e.digest = target.left(n);
        }
        snap.m_entries.insert(rel, e);
        if (e.type != 'd')
            continue;
        const QStringList names = QDir(abs).entryList(QDir::AllEntries | QDir::Hidden | QDir::System
                                                      | QDir::NoDotAndDotDot);
        for (const QString &name : names) {
            const QString child = rel == QLatin1String(".") ? name : rel + QLatin1Char('/') + name;
            bool skip = false;
            for (const QString &x : excluded)
                skip = skip || child == x || child.startsWith(x + QLatin1Char('/'));
            if (!skip)
                pending << child;
        }
    }
    return snap;
}

qint64 TreeSnapshot::totalBytes() const
{
    qint64 total = 0;
    for (const Entry &e : m_entries)
        total += e.size;
    return total;
}

QStringList TreeSnapshot::differences(const TreeSnapshot &other, Compare what, int limit) const
{
    QStringList out;
    auto add = [&](const QString &line) {
        if (out.size() < limit)
            out << line;
    };
    for (auto it = m_entries.cbegin(); it != m_entries.cend(); ++it) {
        if (!other.m_entries.contains(it.key())) {
            add(QStringLiteral("only in first: %1 (%2)").arg(it.key(), describe(it.value())));
            continue;
        }
        const Entry &a = it.value();
        const Entry &b = other.m_entries[it.key()];
        bool differ = a.type != b.type;
        if (what & Content)
            differ = differ || a.size != b.size || a.digest != b.digest;
        // A link's mode means nothing (and is not kept): only its owner counts.
        if (what & OwnersAndModes)
            differ =
                differ || a.uid != b.uid || a.gid != b.gid || (a.type != 'l' && a.mode != b.mode);
        if (differ)
            add(QStringLiteral("%1: %2 | %3").arg(it.key(), describe(a), describe(b)));
    }
    for (auto it = other.m_entries.cbegin(); it != other.m_entries.cend(); ++it) {
        if (!m_entries.contains(it.key()))
            add(QStringLiteral("only in second: %1 (%2)").arg(it.key(), describe(it.value())));
    }
    return out;
}
