#include "about/WebEngineSetup.h"
#include "platform/Platform.h"
#include "platform/ProcessIdentity.h"

#include <QCoreApplication>
#include <QList>
#include <QLoggingCategory>

namespace about {

namespace {

const char kFlagsVariable[] = "QTWEBENGINE_CHROMIUM_FLAGS";

void addSwitch(QByteArray &flags, const QByteArray &flag)
{
    const QList<QByteArray> present = flags.simplified().split(' ');
    if (present.contains(flag))
        return;
    if (!flags.trimmed().isEmpty())
        flags = flags.trimmed() + ' ';
    flags += flag;
}

} // namespace

QByteArray webEngineFlags(const QByteArray &current, bool asRoot, bool headless)
{
    QByteArray flags = current.trimmed();
    addSwitch(flags, "--disable-background-networking");
    if (asRoot)
        addSwitch(flags, "--no-sandbox");
    if (headless)
        addSwitch(flags, "--disable-gpu");
    return flags;
}

bool isHeadlessPlatform(const QByteArray &qpaPlatform)
{
    const QByteArray name = qpaPlatform.split(':').first().trimmed().toLower();
    return name == "offscreen" || name == "minimal";
}

void prepareWebEngine()
{
    platform::Environment &environment = platform::Platform::environment();
    const bool headless = isHeadlessPlatform(environment.variable("QT_QPA_PLATFORM"));
    environment.setVariable(kFlagsVariable, webEngineFlags(environment.variable(kFlagsVariable),
                                                           platform::runningAsRoot(), headless));
    // Rules set here rank below QT_LOGGING_RULES, so a user can still ask for the report.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.webenginecontext.info=false"));
    // The engine shares its OpenGL contexts with the application's windows.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

} // namespace about
