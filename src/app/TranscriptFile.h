#pragma once
#include "platform/FileSystem.h"

#include <QString>
#include <memory>

namespace app {

// The last job's transcript on disk beside the backup, written as the output
// arrives, so that a job script that ends the program by force loses none of
// it; the completion program shows it.
//
// A device that prints without end cannot fill the disk: the file never grows
// past its largest size. When it would, its middle goes: it keeps its first
// quarter (where the earliest tool message is), then one line saying how many
// bytes are left out, then the newest eighth, and grows again from there. The job's outcome reads the beginning and the end, so it still finds
// the cause and the verdict.
class TranscriptFile {
public:
    // Ample for a real backup: pscp's progress records take about 140 bytes a
    // file, some 3 MB for 20,000 files.
    static constexpr qint64 kLargest = 256 * 1024 * 1024;
    explicit TranscriptFile(qint64 largest = kLargest)
        : m_largest(largest)
    {}

    // Starts a new transcript (the previous job's goes).
    void start(const QString &text);
    void add(const QString &text);

private:
    void write(const QByteArray &bytes);
    bool leaveOutMiddle(const QByteArray &bytes);

    const qint64 m_largest;
    std::unique_ptr<platform::OpenFile> m_file;
    // Bytes in the file; bytes the job wrote in all.
    qint64 m_size = 0;
    qint64 m_written = 0;
    // Whether the middle has been left out; where the kept beginning ends,
    // and where the kept end starts.
    bool m_cut = false;
    qint64 m_headEnd = 0;
    qint64 m_tailStart = 0;
};

} // namespace app
