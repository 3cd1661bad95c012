#pragma once
#include <QtGlobal>

#include <deque>
#include <optional>

namespace jobs {

// How long the rest of a copy will take, from how it went lately (the last
// half minute), not from the whole job's average: a link's speed changes. The
// many small files of a media library cost time beyond their bytes, so the
// job's intervals so far are fitted to "time = a per file + b per byte", which
// tells how the rest's files and bytes weigh against each other; the recent
// rate then says how fast that work goes now. Says nothing until it has enough
// to go on.
class TransferEstimate {
public:
    static constexpr qint64 kSampleMs = 500;
    // The cost model's intervals: long enough that pscp's output arriving in
    // bursts, and a connection's set-up, weigh as little as they cost.
    static constexpr qint64 kFitIntervalMs = 5000;
    static constexpr qint64 kWindowMs = 30000;
    // The copy has run this long since it began or resumed.
    static constexpr qint64 kSettleMs = 8000;

    // The copy pauses (the device lists its files, another step runs): the
    // time until it resumes is no copying time.
    void pause();
    // Files and bytes done so far, at a time in milliseconds.
    void sample(qint64 ms, qint64 files, qint64 bytes);
    // Seconds left for the files and bytes still to come; nothing yet when the
    // copy has not run long enough to tell.
    std::optional<qint64> secondsLeft(qint64 filesLeft, qint64 bytesLeft) const;

private:
    struct Sample {
        qint64 ms;
        qint64 files;
        qint64 bytes;
    };
    // The cost per file and per byte from every interval so far; false when
    // the intervals' mix of files and bytes has been too even to tell them apart.
    bool costModel(double *perFile, double *perByte) const;

    std::deque<Sample> m_samples;
    // Where the cost model's current interval began; none after a pause.
    std::optional<Sample> m_fitFrom;
    // Sums of the least-squares fit over all intervals: files, bytes, seconds.
    double m_ff = 0, m_fb = 0, m_bb = 0, m_ft = 0, m_bt = 0;
    // Copying time before the last pause that still counts as settled.
    qint64 m_settledMs = 0;
};

} // namespace jobs
