#pragma once
#include <QString>
#include <QStringList>

namespace jobs {

// A job script: a batch file written beside the program, one line per entry,
// each line (the last too) ending in CR LF, in the system's code page. It is
// created or truncated, written whole and closed before anything starts it.
class JobScript {
public:
    explicit JobScript(QString fileName);

    const QString &fileName() const { return m_fileName; }
    const QStringList &lines() const { return m_lines; }

    JobScript &line(const QString &text);
    JobScript &lines(const QStringList &texts);

    // The token of this run that the script's device-side check repeats on
    // its verdict line ("(check TOKEN)"); empty for a script without one.
    const QString &runToken() const { return m_runToken; }
    void setRunToken(const QString &token) { m_runToken = token; }

    // The file's bytes: every line followed by CR LF.
    QByteArray bytes() const;

    // Writes the file in the current folder. On failure returns false and sets
    // *error to a message that says which file and why; nothing is written
    // when the working folder was refused (platform::WorkFolder::refusal()).
    bool write(QString *error) const;

private:
    QString m_fileName;
    QStringList m_lines;
    QString m_runToken;
};

} // namespace jobs
