#include "jobs/TransferEstimate.h"

#include <cmath>

namespace jobs {

void TransferEstimate::pause()
{
    if (m_samples.size() >= 2)
        m_settledMs += m_samples.back().ms - m_samples.front().ms;
    m_samples.clear();
}

void TransferEstimate::sample(qint64 ms, qint64 files, qint64 bytes)
{
    if (!m_samples.empty() && ms - m_samples.back().ms < kSampleMs)
        return;
    m_samples.push_back({ms, files, bytes});
    while (m_samples.size() > 2 && ms - m_samples[1].ms >= kWindowMs)
        m_samples.pop_front();
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

    // Least squares over the intervals: dt = a df + b db.
    double ff = 0, fb = 0, bb = 0, ft = 0, bt = 0;
    for (size_t i = 1; i < m_samples.size(); ++i) {
        const double dt = double(m_samples[i].ms - m_samples[i - 1].ms) / 1000;
        const double df = double(m_samples[i].files - m_samples[i - 1].files);
        const double db = double(m_samples[i].bytes - m_samples[i - 1].bytes);
        ff += df * df;
        fb += df * db;
        bb += db * db;
        ft += df * dt;
        bt += db * dt;
    }
    const double det = ff * bb - fb * fb;
    double left = -1;
    if (det > 1e-3 * ff * bb) {
        const double perFile = (ft * bb - bt * fb) / det;
        const double perByte = (bt * ff - ft * fb) / det;
        if (perFile >= 0 && perByte >= 0)
            left = perFile * double(filesLeft) + perByte * double(bytesLeft);
    }
    // One kind of work only, or no cost model that fits: the recent rate.
    if (left < 0)
        left = b > 0 ? double(bytesLeft) * t / b : double(filesLeft) * t / f;
    return qint64(std::llround(std::max(0.0, left)));
}

} // namespace jobs
