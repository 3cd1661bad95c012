#include "jobs/TransferEstimate.h"

#include <algorithm>
#include <cmath>

namespace jobs {

void TransferEstimate::pause()
{
    if (m_samples.size() >= 2)
        m_settledMs += m_samples.back().ms - m_samples.front().ms;
    m_samples.clear();
    m_fitFrom.reset();
}

void TransferEstimate::sample(qint64 ms, qint64 files, qint64 bytes)
{
    if (!m_samples.empty() && ms - m_samples.back().ms < kSampleMs)
        return;
    if (!m_fitFrom) {
        m_fitFrom = Sample{ms, files, bytes};
    } else if (ms - m_fitFrom->ms >= kFitIntervalMs) {
        const double dt = double(ms - m_fitFrom->ms) / 1000;
        const double df = double(files - m_fitFrom->files);
        const double db = double(bytes - m_fitFrom->bytes);
        m_ff += df * df;
        m_fb += df * db;
        m_bb += db * db;
        m_ft += df * dt;
        m_bt += db * dt;
        m_fitFrom = Sample{ms, files, bytes};
    }
    m_samples.push_back({ms, files, bytes});
    while (m_samples.size() > 2 && ms - m_samples[1].ms >= kWindowMs)
        m_samples.pop_front();
}

bool TransferEstimate::costModel(double *perFile, double *perByte) const
{
    const double det = m_ff * m_bb - m_fb * m_fb;
    if (!(det > 1e-3 * m_ff * m_bb))
        return false;
    *perFile = (m_ft * m_bb - m_bt * m_fb) / det;
    *perByte = (m_bt * m_ff - m_ft * m_fb) / det;
    return *perFile >= 0 && *perByte >= 0;
}

std::optional<qint64> TransferEstimate::secondsLeft(qint64 filesLeft, qint64 bytesLeft) const
{
    if (m_samples.size() < 3)
        return std::nullopt;
    const Sample &first = m_samples.front();
    const Sample &last = m_samples.back();
    const double t = double(last.ms - first.ms) / 1000;
    const double f = double(last.files - first.files);
    const double b = double(last.bytes - first.bytes);
    if (m_settledMs + (last.ms - first.ms) < kSettleMs || (f <= 0 && b <= 0))
        return std::nullopt;
    if (filesLeft <= 0 && bytesLeft <= 0)
        return 0;
    double left = -1;
    double perFile = 0;
    double perByte = 0;
    if (costModel(&perFile, &perByte)) {
        // The work of the recent window in the model's terms, against the time it took.
        const double work = perFile * f + perByte * b;
        if (work > 0)
            left = (perFile * double(filesLeft) + perByte * double(bytesLeft)) * t / work;
    }
    // No cost model that fits: the recent rate of bytes (of files without bytes).
    if (left < 0)
        left = b > 0 ? double(bytesLeft) * t / b : double(filesLeft) * t / f;
    return qint64(std::llround(std::max(0.0, left)));
}

} // namespace jobs
