#pragma once
#include "platform/FileSystem.h"

#include <QString>
#include <memory>

namespace app {

// The last job's whole transcript on disk beside the backup, written as the
// output arrives, so that a job script that ends the program by force loses
// none of it; the completion program shows it.
class TranscriptFile {
public:
    // Starts a new transcript (the previous job's goes).
    void start(const QString &text);
    void add(const QString &text);

private:
    std::unique_ptr<platform::OpenFile> m_file;
};

} // namespace app
