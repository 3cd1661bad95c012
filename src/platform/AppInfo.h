#pragma once
#include <QString>

namespace platform {

// The application's version numbers, title and folders.
class AppInfo {
public:
    virtual ~AppInfo() = default;
    virtual int major() const = 0;
    virtual int minor() const = 0;
    virtual int revision() const = 0;
    virtual QString title() const = 0;
    // The program's own folder, without a trailing separator.
    virtual QString folder() const = 0;
    // The folder the program works in, chosen once at start (WorkFolder): job
    // scripts, their notes and the backup copy are there. Without a trailing
    // separator.
    virtual QString workFolder() const = 0;

    // Major, minor and revision in decimal without leading zeros, joined by ".".
    QString versionText() const
    {
        return QString::number(major()) + QLatin1Char('.') + QString::number(minor())
               + QLatin1Char('.') + QString::number(revision());
    }
};

} // namespace platform
