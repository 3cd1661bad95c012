#pragma once
#include <QString>

#include <functional>
#include <optional>

namespace jobs {

// Reads what a job's tools print, chunk by chunk as the runner hands it over,
// and picks out pscp's transfer statistics. pscp prints one record per file,
// also into a pipe: "\r" and the file's name (cut to 25 bytes), then
// " | <kB done> kB | <rate> kB/s | ETA: <hh:mm:ss> | <percent>%", blanks after
// it where the record before on the same line was longer, the record printed
// again as the file arrives and ended by "\n" once it is whole. Every
// other line (the script's echo lines, the device's messages) is handed on as
// text. A record or line split across chunks is joined first.
class PscpProgressReader {
public:
    struct Stats {
        QString name;
        qint64 kilobytes = 0; // whole kB of the file done so far
        bool whole = false;   // the file has arrived (or has been sent) completely
    };
    using StatsHandler = std::function<void(const Stats &)>;
    using LineHandler = std::function<void(const QString &)>;

    PscpProgressReader(StatsHandler onStats, LineHandler onLine);

    void feed(const QString &chunk);
    // What is left unterminated (the run has ended).
    void finish();

    // One record without its "\r" and "\n"; nothing when it is not pscp's.
    static std::optional<Stats> parseStats(const QString &record);

    // Longer pieces without a line break are no record nor line of ours.
    static constexpr int kMaxPiece = 4096;

private:
    void piece(const QString &text);

    StatsHandler m_onStats;
    LineHandler m_onLine;
    QString m_pending;
    bool m_overlong = false;
};

} // namespace jobs
