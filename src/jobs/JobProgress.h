#pragma once
#include "jobs/PscpProgressReader.h"
#include "jobs/TransferEstimate.h"

#include <QString>
#include <optional>

namespace jobs {

// How far a backup or a restore is, read from the job's own output as it
// arrives: the totals its script announces, pscp's record of every file as it
// arrives (backup) or has been sent (restore), and the script's lines that say
// when the copies begin, pause and end and whether the check afterwards
// passed. Only the copies count: the helpers a script sends to the device are
// no part of the job's files. The figures never go backwards and never pass the
// totals; the job is complete (100 %) only once its check has passed.
class JobProgress {
public:
    enum class Kind { Backup, Restore };
    enum class Stage {
        Preparing, // nothing copied yet
        Verifying, // a restore checks the backup on this computer before sending it
        Copying,
        Paused,   // between two copies (the device lists its files)
        Checking, // the copies have ended; the check runs
        Passed,   // the check passed
        Failed,   // the check failed
        Cut,      // the run ended before its check said anything
    };
    struct Figures {
        Stage stage = Stage::Preparing;
        bool totalsKnown = false;
        // A backup fetching the applications: the device lists its files (and
        // so gives the totals) after them.
        bool totalsFollow = false;
        qint64 files = 0;
        qint64 bytes = 0;
        qint64 totalFiles = 0;
        qint64 totalBytes = 0;
        int percent = 0;                   // of the bytes (of the files when there are none)
        std::optional<qint64> secondsLeft; // nothing while estimating
        // The check before a restore sends anything: how far it has read.
        qint64 checkedFiles = 0;
        qint64 checkedBytes = 0;
        qint64 checkFiles = 0;
        qint64 checkBytes = 0;
        bool notSent = false; // that check refused the backup
        // How long the device has sent nothing, as the job's watchdog last
        // said; nothing while data moves.
        std::optional<qint64> quietSeconds;
    };

    // A restore's check says its verdict on a line ending "(check TOKEN)" with
    // this run's token; without the token no verdict is read.
    explicit JobProgress(Kind kind, QString runToken = QString());

    Kind kind() const { return m_kind; }
    // A chunk of the job's output, at a time in milliseconds.
    void feed(const QString &chunk, qint64 ms);
    // Time passes without output (the estimate takes a stall into account).
    void tick(qint64 ms);
    // The run has ended: its output ended, or it was cancelled.
    void runEnded();

    Figures figures() const;

    // The lines a job's script prints, which the progress follows.
    static QString totalsLine(Kind kind, qint64 files, qint64 bytes);
    // A restore sends these too: the entries laid apart for their names,
    // announced before it begins. They add to the totals.
    static QString apartLine(qint64 files, qint64 bytes);
    // A backup that copies only what changed: what it fetches, said before
    // the device's own totals, which then count for nothing.
    static QString quickTotalsLine(qint64 files, qint64 bytes);
    static const QString kQuickCopyingLine;   // the fetch of what changed begins
    static const QString kBackupHelpersLine;  // the helpers go to the device
    static const QString kBackupCheckingLine; // the fetches have ended
    static const QString kRestoreSentLine;    // the copies to the device have ended

private:
    void onStats(const PscpProgressReader::Stats &stats);
    void onLine(const QString &line);
    void setStage(Stage stage);
    qint64 bytesDone() const { return m_wholeBytes + m_partialBytes; }

    Kind m_kind;
    QString m_runToken;
    Stage m_stage = Stage::Preparing;
    PscpProgressReader m_reader;
    TransferEstimate m_estimate;
    qint64 m_now = 0;
    bool m_totalsKnown = false;
    bool m_listingBegun = false; // the backup's helpers went out, the listing follows
    bool m_apartKnown = false;
    qint64 m_apartFiles = 0;
    qint64 m_apartBytes = 0;
    qint64 m_checked[4] = {}; // files, bytes, of files, of bytes
    bool m_notSent = false;
    qint64 m_totalFiles = 0;
    qint64 m_totalBytes = 0;
    qint64 m_files = 0;
    qint64 m_wholeBytes = 0;
    qint64 m_partialBytes = 0; // of the file arriving now
    std::optional<qint64> m_quietSeconds;
    // The most shown so far: the figures never go backwards.
    mutable qint64 m_shownFiles = 0;
    mutable qint64 m_shownBytes = 0;
};

} // namespace jobs
