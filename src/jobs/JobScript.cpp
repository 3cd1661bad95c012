#include "jobs/JobScript.h"

#include "platform/Platform.h"
#include "platform/WorkFolder.h"

namespace jobs {

JobScript::JobScript(QString fileName)
    : m_fileName(std::move(fileName))
{}

JobScript &JobScript::line(const QString &text)
{
    m_lines.append(text);
    return *this;
}

JobScript &JobScript::lines(const QStringList &texts)
{
    m_lines.append(texts);
    return *this;
}

QByteArray JobScript::bytes() const
{
    QByteArray out;
    for (const QString &l : m_lines) {
        out.append(l.toLocal8Bit());
        out.append("\r\n");
    }
    return out;
}

bool JobScript::write(QString *error) const
{
    // A folder others may change is never given a script holding the password.
    const QString refused = platform::WorkFolder::refusal();
    if (!refused.isEmpty()) {
        if (error)
            *error = refused;
        return false;
    }
    QString reason;
    if (platform::Platform::files().writeFile(m_fileName, bytes(), &reason))
        return true;
    if (error)
        *error = QStringLiteral("Zorvane could not write the job script \"%1\" in Zorvane's "
                                "working folder \"%2\" (%3), so the job did not start and "
                                "nothing has been sent to your device. Check that the folder is "
                                "writable and that the file is not read-only, then try again.")
                     .arg(m_fileName, platform::Platform::app().workFolder(), reason);
    return false;
}

} // namespace jobs
