#include "zcmd/StallWatch.h"

#include "zcmd/system/System.h"

#include <algorithm>
#include <cstdlib>

namespace zcmd {

StallLimits StallLimits::parse(const char *text)
{
    StallLimits defaults;
    if (!text || !*text)
        return defaults;
    int values[3];
    const char *p = text;
    for (int i = 0; i < 3; ++i) {
        char *end = nullptr;
        long v = std::strtol(p, &end, 10);
        if (end == p || v <= 0 || v > 86400)
            return defaults;
        values[i] = static_cast<int>(v);
        if (i < 2 && *end != ',')
            return defaults;
        if (i == 2 && *end != '\0')
            return defaults;
        p = end + 1;
    }
    if (values[0] > values[1])
        return defaults;
    return StallLimits{values[0], values[1], values[2]};
}

StallLimits StallLimits::fromEnvironment()
{
    return parse(System::current().environmentValue("ZORVANE_STALL_LIMITS"));
}

StallWatch::StallWatch(const StallLimits &limits, bool afterStop, std::int64_t startMs)
    : limits_(limits)
    , notice_(afterStop ? std::min(limits.noticeSeconds, limits.afterStopSeconds)
                        : limits.noticeSeconds)
    , stop_(afterStop ? limits.afterStopSeconds : limits.stopSeconds)
    , lastMove_(startMs)
{}

int StallWatch::quietSeconds(std::int64_t ms) const
{
    return static_cast<int>(std::max<std::int64_t>(0, ms - lastMove_) / 1000);
}

StallWatch::Say StallWatch::sample(std::int64_t ms, bool moved)
{
    if (moved) {
        // The device answers again: the step has the whole limit from now.
        notice_ = limits_.noticeSeconds;
        stop_ = limits_.stopSeconds;
        everMoved_ = true;
        lastMove_ = ms;
        const bool wasQuiet = lastSaid_ >= 0;
        lastSaid_ = -1;
        return wasQuiet ? Say::Back : Say::Nothing;
    }
    const std::int64_t quiet = ms - lastMove_;
    if (quiet >= std::int64_t(stop_) * 1000)
        return Say::Stop;
    if (quiet < std::int64_t(notice_) * 1000)
        return Say::Nothing;
    if (lastSaid_ >= 0 && ms - lastSaid_ < std::int64_t(StallLimits::kRepeatSeconds) * 1000)
        return Say::Nothing;
    lastSaid_ = ms;
    return Say::Quiet;
}

std::string StallWatch::quietText(int seconds, int stopSeconds)
{
    return "No data from the device for " + std::to_string(seconds)
           + " s: is it asleep or out of Wi-Fi? (the step stops at " + std::to_string(stopSeconds)
           + " s)";
}

std::string StallWatch::backText()
{
    return "Data from the device again; the job goes on.";
}

std::string StallWatch::stopText(int seconds)
{
    return "Zorvane stopped this step: no data from the device for " + std::to_string(seconds)
           + " s.";
}

} // namespace zcmd
