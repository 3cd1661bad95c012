#include "PrivatePutty.h"

QString PrivatePutty::folder(const QString &home) { return home + QStringLiteral("/.putty"); }

void PrivatePutty::apply(QProcessEnvironment *env, const QString &home)
{
    env->insert(QStringLiteral("HOME"), home);
    env->insert(QStringLiteral("PUTTYDIR"), folder(home));
}

void PrivatePutty::applyToProcess(const QString &home)
{
    qputenv("HOME", home.toLocal8Bit());
    qputenv("PUTTYDIR", folder(home).toLocal8Bit());
}
