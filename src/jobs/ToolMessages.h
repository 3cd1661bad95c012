#pragma once
#include <QString>
#include <QStringList>

namespace jobs {

// The lines of a job's transcript that can be the tools' own messages. pscp's
// progress records ("\r" NAME " | 12 kB | ... | 100%") show the names of the
// files it copies, which come from the device or the backup; they are left
// out, a name's line breaks included, so that no file name reads as a message.
class ToolMessages {
public:
    static QStringList lines(const QString &transcript);
    // The message of a line without the tools' prefixes ("FATAL ERROR: ",
    // "Network error: ", "pscp: ", ...), which say who speaks, not what.
    static QString withoutPrefixes(const QString &line);
};

} // namespace jobs
