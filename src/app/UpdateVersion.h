#pragma once
#include <QList>
#include <QString>
#include <optional>

namespace app {

// Version texts as the update location publishes them: decimal numbers joined
// by "." (1.0.5). Blanks and line breaks around the text do not count.
class UpdateVersion {
public:
    // The numbers of a version text; nothing when the text is not a version.
    static std::optional<QList<quint64>> parse(const QString &text);

    // True when the fetched text names a version later than the current one,
    // compared number by number (1.10.0 is later than 1.9.0; a missing number
    // counts as 0). A fetched text that is not a version is never an update.
    static bool isNewer(const QString &fetched, const QString &current);
};

} // namespace app
