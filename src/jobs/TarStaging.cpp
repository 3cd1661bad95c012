#include "jobs/TarStaging.h"
#include "jobs/TreePaths.h"

#include "jobs/BackupNames.h"
#include "jobs/BackupVerifier.h"
#include "platform/Platform.h"

#include <QFile>
#include <algorithm>
#include <limits>
#include <memory>

namespace jobs {

namespace {

using platform::FileSystem;

constexpr qint64 kBlock = 512;
constexpr qint64 kChunk = 1 << 20;
// Long names and pax records are names, not data: no name is longer.
constexpr qint64 kLongestHeaderData = 64 * 1024;

FileSystem &files() { return platform::Platform::files(); }

// A numeric header field: octal digits, or GNU's base-256 form.
bool field(const char *p, int size, qint64 *value)
{
    const auto *u = reinterpret_cast<const unsigned char *>(p);
    if (u[0] & 0x80) {
        qint64 v = u[0] & 0x3f;
        for (int i = 1; i < size; ++i) {
            if (v > (std::numeric_limits<qint64>::max() >> 8))
                return false;
            v = (v << 8) | u[i];
        }
        *value = v;
        return true;
    }
    int i = 0;
    while (i < size && p[i] == ' ')
        ++i;
    qint64 v = 0;
    bool any = false;
    for (; i < size && p[i] >= '0' && p[i] <= '7'; ++i) {
        if (v > (std::numeric_limits<qint64>::max() >> 3))
            return false;
        v = v * 8 + (p[i] - '0');
        any = true;
    }
    for (; i < size; ++i)
        if (p[i] != ' ' && p[i] != '\0')
            return false;
    *value = v;
    return any;
}

QByteArray text(const char *p, int size) { return QByteArray(p, qstrnlen(p, size)); }

bool checksumSound(const QByteArray &h)
{
    qint64 stored = 0;
    if (!field(h.constData() + 148, 8, &stored))
        return false;
    qint64 sum = 0;
    for (int i = 0; i < kBlock; ++i)
        sum += (i >= 148 && i < 156) ? ' ' : static_cast<unsigned char>(h[i]);
    return sum == stored;
}

// The "path" and "linkpath" of a pax header's records ("LEN key=value\n").
void paxRecords(const QByteArray &data, QByteArray *path, QByteArray *linkPath)
{
    qsizetype at = 0;
    while (at < data.size()) {
        const qsizetype blank = data.indexOf(' ', at);
        bool ok = false;
        const qint64 len = blank > at ? data.mid(at, blank - at).toLongLong(&ok) : 0;
        if (!ok || len <= blank - at || at + len > data.size())
            return;
        const QByteArray record = data.mid(blank + 1, at + len - blank - 2);
        if (record.startsWith("path="))
            *path = record.mid(5);
        else if (record.startsWith("linkpath="))
            *linkPath = record.mid(9);
        at += len;
    }
}

class Reader {
public:
    Reader(const QString &staging, const QSet<QByteArray> &wanted, TarStaging::Result *r)
        : m_root(QFile::encodeName(staging))
        , m_staging(staging)
        , m_wanted(wanted)
        , m_r(r)
    {}

    bool take(const QByteArray &chunk)
    {
        m_buffer += chunk;
        qsizetype at = 0;
        while (m_r->problem.isEmpty()) {
            if (m_left > 0 || m_padding > 0) {
                const qint64 n = std::min<qint64>(m_left + m_padding, m_buffer.size() - at);
                if (n == 0)
                    break;
                const qint64 data = std::min(n, m_left);
                if (data > 0 && !dataPiece(m_buffer.mid(at, data)))
                    return false;
                m_left -= data;
                m_padding -= n - data;
                at += n;
                if (m_left == 0 && m_padding == 0 && !memberDone())
                    return false;
                continue;
            }
            if (m_buffer.size() - at < kBlock)
                break;
            if (!header(m_buffer.mid(at, kBlock)))
                return false;
            at += kBlock;
        }
        m_buffer.remove(0, at);
        return m_r->problem.isEmpty();
    }

    void finish()
    {
        if (!m_r->problem.isEmpty())
            return;
        if (m_left > 0 || m_padding > 0 || !m_buffer.isEmpty() || m_inMember)
            m_r->problem = QStringLiteral("the stream from the device was cut short");
        else if (!m_sawEnd)
            m_r->problem = QStringLiteral("the stream from the device has no end");
        else
            m_r->whole = true;
    }

private:
    enum class Kind { File, Folder, HardLink, LongName, LongLink, Pax, Skip };

    bool fail(const QString &why)
    {
        m_r->problem = why;
        dropFile();
        return false;
    }

    bool header(const QByteArray &h)
    {
        if (h.count('\0') == kBlock) {
            m_sawEnd = true; // streams follow one another: go on after their ends
            return true;
        }
        if (!checksumSound(h))
            return fail(QStringLiteral("the stream from the device holds a damaged header"));
        m_sawEnd = false;
        qint64 size = 0;
        if (!field(h.constData() + 124, 12, &size) || size < 0)
            return fail(QStringLiteral("the stream from the device holds a damaged size"));
        QByteArray name = text(h.constData(), 100);
        if (h.mid(257, 5) == "ustar" && h[345] != '\0')
            name = text(h.constData() + 345, 155) + '/' + name;
        const char type = h[156];
        const QByteArray linkName = text(h.constData() + 157, 100);
        if (!m_longName.isEmpty()) {
            name = m_longName;
            m_longName.clear();
        }
        m_linkName = m_longLink.isEmpty() ? linkName : m_longLink;
        m_longLink.clear();
        m_left = size;
        m_padding = (kBlock - size % kBlock) % kBlock;
        m_inMember = true;
        m_name = name;
        m_metaData.clear();
        switch (type) {
        case 'L': m_kind = Kind::LongName; break;
        case 'K': m_kind = Kind::LongLink; break;
        case 'x': m_kind = Kind::Pax; break;
        case 'g': m_kind = Kind::Skip; break;
        case '0':
        case '\0':
        case '7': m_kind = Kind::File; break;
        case '5': m_kind = Kind::Folder; break;
        case '1': m_kind = Kind::HardLink; break;
        default: m_kind = Kind::Skip; refuse(name, QStringLiteral("neither a file nor a folder"));
        }
        if ((m_kind == Kind::LongName || m_kind == Kind::LongLink || m_kind == Kind::Pax)
            && size > kLongestHeaderData)
            return fail(QStringLiteral("the stream from the device holds an overlong name"));
        if (m_kind == Kind::Pax && !m_paxPath.isEmpty())
            m_paxPath.clear();
        if (m_kind == Kind::File || m_kind == Kind::Folder || m_kind == Kind::HardLink) {
            if (!m_paxPath.isEmpty())
                m_name = m_paxPath;
            if (!m_paxLink.isEmpty())
                m_linkName = m_paxLink;
            m_paxPath.clear();
            m_paxLink.clear();
            if (!begin())
                return false;
        }
        if (m_left == 0 && m_padding == 0)
            return memberDone();
        return true;
    }

    void refuse(const QByteArray &name, const QString &why)
    {
        m_r->refused << QStringLiteral("%1 (%2)").arg(BackupVerifier::printable(name), why);
    }

    bool isWanted(const QByteArray &path) const
    {
        if (m_wanted.contains(path))
            return true;
        for (qsizetype slash = path.lastIndexOf('/'); slash > 0;
             slash = path.lastIndexOf('/', slash - 1)) {
            if (m_wanted.contains(path.left(slash)))
                return true;
        }
        return false;
    }

    // Decides where the member goes; an entry refused is read past.
    bool begin()
    {
        QByteArray path = m_name;
        while (path.endsWith('/') && m_kind == Kind::Folder)
            path.chop(1);
        m_path.clear();
        const QString why = TarStaging::nameRefusal(path);
        if (!why.isEmpty()) {
            refuse(m_name, why);
            m_kind = Kind::Skip;
            return true;
        }
        if (!isWanted(path)) {
            refuse(m_name, QStringLiteral("not asked for"));
            m_kind = Kind::Skip;
            return true;
        }
        if (!treepaths::makeFolders(m_root, path, false)) {
            refuse(m_name, QStringLiteral("something else than a folder lies on its way"));
            m_kind = Kind::Skip;
            return true;
        }
        const QByteArray target = m_root + '/' + path;
        if (m_kind == Kind::Folder) {
            const FileSystem::Entry e = files().entryAt(target, nullptr);
            if (e == FileSystem::Entry::None && files().makeFolder(target))
                ++m_r->folders;
            else if (e != FileSystem::Entry::Folder)
                refuse(m_name, QStringLiteral("something else lies at its place"));
            m_kind = Kind::Skip;
            return true;
        }
        m_path = path;
        m_part = QStringLiteral("%1/.zorvane-part-%2").arg(m_staging).arg(++m_parts);
        files().deleteFileAt(QFile::encodeName(m_part));
        if (m_kind == Kind::HardLink) {
            // Only to a file this stream brought: a hard link names no other.
            if (!m_made.contains(m_linkName)
                || !files().linkOrCopy(m_root + '/' + m_linkName, QFile::encodeName(m_part))) {
                refuse(m_name, QStringLiteral("a link to something the stream did not bring"));
                m_kind = Kind::Skip;
            }
            return true;
        }
        QString error;
        m_file = files().createPrivate(m_part, &error);
        if (!m_file)
            return fail(QStringLiteral("%1 could not be written (%2)").arg(m_part, error));
        m_size = m_left;
        return true;
    }

    bool dataPiece(const QByteArray &piece)
    {
        switch (m_kind) {
        case Kind::LongName:
        case Kind::LongLink:
        case Kind::Pax: m_metaData += piece; return true;
        case Kind::File:
            if (m_file && !m_file->write(piece))
                return fail(QStringLiteral("%1 could not be written (%2)")
                                .arg(m_part, m_file->errorString()));
            return true;
        default: return true;
        }
    }

    bool memberDone()
    {
        m_inMember = false;
        switch (m_kind) {
        case Kind::LongName: m_longName = text(m_metaData.constData(), m_metaData.size()); break;
        case Kind::LongLink: m_longLink = text(m_metaData.constData(), m_metaData.size()); break;
        case Kind::Pax: paxRecords(m_metaData, &m_paxPath, &m_paxLink); break;
        case Kind::File:
        case Kind::HardLink: {
            m_file.reset();
            const QByteArray part = QFile::encodeName(m_part);
            if (m_kind == Kind::HardLink && m_path.isEmpty())
                break;
            if (!files().replaceFileAt(part, m_root + '/' + m_path)) {
                files().deleteFileAt(part);
                refuse(m_name, QStringLiteral("something else lies at its place"));
                break;
            }
            m_made.insert(m_path);
            ++m_r->files;
            m_r->bytes += m_size;
            break;
        }
        default: break;
        }
        m_metaData.clear();
        m_size = 0;
        return true;
    }

    void dropFile()
    {
        if (m_file) {
            m_file.reset();
            files().deleteFileAt(QFile::encodeName(m_part));
        }
    }

    QByteArray m_root;
    QString m_staging;
    const QSet<QByteArray> &m_wanted;
    TarStaging::Result *m_r;
    QByteArray m_buffer;
    qint64 m_left = 0, m_padding = 0, m_size = 0;
    bool m_inMember = false, m_sawEnd = false;
    Kind m_kind = Kind::Skip;
    QByteArray m_name, m_path, m_linkName, m_longName, m_longLink, m_paxPath, m_paxLink;
    QByteArray m_metaData;
    QString m_part;
    int m_parts = 0;
    std::unique_ptr<platform::ScratchFile> m_file;
    QSet<QByteArray> m_made;
};

} // namespace

QString TarStaging::nameRefusal(const QByteArray &name)
{
    if (name.isEmpty())
        return QStringLiteral("an empty name");
    if (name.startsWith('/'))
        return QStringLiteral("an absolute name");
    if (name.contains('\0'))
        return QStringLiteral("a name holding a NUL");
    const QList<QByteArray> parts = name.split('/');
    for (const QByteArray &part : parts) {
        if (part == "..")
            return QStringLiteral("a name that leads out through \"..\"");
        if (part.isEmpty() || part == ".")
            return QStringLiteral("a name with an empty or \".\" part");
    }
    if (parts.size() < 2 || !backupTreeNames().contains(parts.first()))
        return QStringLiteral("a name outside the backup's trees");
    return QString();
}

TarStaging::Result TarStaging::extract(const QString &archive, const QString &staging,
                                       const QSet<QByteArray> &wanted)
{
    Result r;
    Reader reader(staging, wanted, &r);
    const bool read = files().readChunks(QFile::encodeName(archive), kChunk,
                                         [&reader](const QByteArray &c) { return reader.take(c); });
    if (!read && r.problem.isEmpty())
        r.problem = QStringLiteral("%1 could not be read").arg(archive);
    reader.finish();
    return r;
}

QStringList TarStaging::report(const Result &r)
{
    QStringList lines;
    lines << QStringLiteral("Fetched what changed: %1.")
                 .arg(BackupVerifier::amount(r.files, r.bytes));
    for (const QString &entry : r.refused.mid(0, 20))
        lines << QStringLiteral("  not taken from the device's stream: ") + entry;
    if (r.refused.size() > 20)
        lines << QStringLiteral("  and %1 more not taken.").arg(r.refused.size() - 20);
    if (!r.whole)
        lines << QStringLiteral("The copy of what changed is NOT whole: %1.").arg(r.problem);
    return lines;
}

} // namespace jobs
