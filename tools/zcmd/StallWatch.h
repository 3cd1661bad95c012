#pragma once
#include <cstdint>
#include <string>

namespace zcmd {

// How long a PuTTY step may go without a sign of life from the device.
// Defaults are the user's; ZORVANE_STALL_LIMITS="NOTICE,STOP,AFTER" (whole
// seconds) sets them for tests.
struct StallLimits {
    // Silence the step reports from, every kRepeatSeconds after that.
    int noticeSeconds = 15;
    // Silence that ends the step: a locked iPod's Wi-Fi is back within
    // seconds of waking, a healthy step is never silent (its socket answers
    // keepalives), and people give up on a frozen copy after about 90 s.
    int stopSeconds = 90;
    // Once a step was stopped, the next steps of the run get this long to
    // show a sign of life before they are stopped too: a device that went
    // away does not cost a full limit per remaining step.
    int afterStopSeconds = 20;
    static constexpr int kRepeatSeconds = 5;

    // The defaults when `text` is null, empty or not three positive numbers
    // (NOTICE no larger than STOP).
    static StallLimits parse(const char *text);
    static StallLimits fromEnvironment();
};

// Decides, from samples of whether anything moved, when a step is quiet,
// when it came back and when it must be stopped. Times are milliseconds on
// any steady clock.
class StallWatch {
public:
    enum class Say {
        Nothing,
        Quiet, // silent for quietSeconds(); say so
        Back,  // moved again after it was said to be quiet
        Stop,  // silent for the limit
    };

    StallWatch(const StallLimits &limits, bool afterStop, std::int64_t startMs);

    Say sample(std::int64_t ms, bool moved);
    int quietSeconds(std::int64_t ms) const;
    int stopSeconds() const { return stop_; }
    // Whether anything moved since the step began.
    bool everMoved() const { return everMoved_; }

    // The texts the step's output carries, CR LF not included.
    static std::string quietText(int seconds, int stopSeconds);
    static std::string backText();
    static std::string stopText(int seconds);

private:
    StallLimits limits_;
    int notice_;
    int stop_;
    std::int64_t lastMove_;
    std::int64_t lastSaid_ = -1; // when Quiet was last said; -1: not quiet
    bool everMoved_ = false;
};

} // namespace zcmd
