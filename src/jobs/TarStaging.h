#pragma once
#include <QByteArray>
#include <QSet>
#include <QString>
#include <QStringList>

namespace jobs {

// Reads the tar streams a device sent (one after the other in one file:
// ustar, with GNU long names and pax paths) and puts what was asked for into
// the folder a backup copies into. Everything in the stream comes from the
// device: only files and folders are made, each under a name that lies
// inside one of the three trees and was asked for (or lies inside a subtree
// or link that was), with no "..", no absolute name, and only folders on the
// way (no link is followed, none is made). A file goes in as a new file,
// then one rename, so a file linked there from an older backup is never
// written into.
class TarStaging {
public:
    struct Result {
        bool whole = false; // the stream was read to its end, every header sound
        QString problem;    // why not
        qint64 files = 0, bytes = 0, folders = 0;
        QStringList refused; // entries not made, with why
    };
    // `wanted`: the paths asked for ("mobile/Library/SMS/sms.db"); an entry
    // is also taken when a folder above it was asked for.
    static Result extract(const QString &archive, const QString &staging,
                          const QSet<QByteArray> &wanted);
    // Why the entry name may not be made in the staging folder; empty when it may.
    static QString nameRefusal(const QByteArray &name);
    static QStringList report(const Result &result);
};

} // namespace jobs
