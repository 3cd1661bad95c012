#pragma once
#include <QString>

namespace platform {

// Plays a wave file asynchronously and returns at once; plays nothing (and
// reports false) when the file or the sound device is missing.
class Sound {
public:
    virtual ~Sound() = default;
    virtual bool playAsync(const QString &waveFile) = 0;
};

} // namespace platform
