#pragma once
#include "platform/AppInfo.h"

#include <QString>

namespace about {

// The texts of the About window: the fixed paragraphs and the three
// information lines made from the program's version information.
namespace AboutText {

QString versionLine(const platform::AppInfo &app);
QString companyLine();
QString applicationLine(const platform::AppInfo &app);

QString credits();
QString description();

} // namespace AboutText

} // namespace about
