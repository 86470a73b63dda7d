#include "ProgramFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace {

QString withSlash(const QString &dir)
{
    QString d = QDir::cleanPath(QDir(dir).absolutePath());
    if (!d.endsWith(QLatin1Char('/')))
        d += QLatin1Char('/');
    return d;
}

// Permission bits alone mislead when running as root, so a file is really made.
bool canWriteIn(const QString &dir)
{
    if (!QFileInfo(dir).isWritable())
        return false;
    QTemporaryFile probe(dir + QStringLiteral("/.nudgery-probe-XXXXXX"));
    return probe.open(); // removed again when probe goes
}

} // namespace

QString programFolder(const QString &executableFolder)
{
    const QString home = qEnvironmentVariable("NUDGERY_HOME");
    if (!home.isEmpty()) {
        QDir().mkpath(home);
        return withSlash(home);
    }
    if (!executableFolder.isEmpty() && canWriteIn(executableFolder))
        return withSlash(executableFolder);
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (data.isEmpty() || !QDir().mkpath(data))
        return withSlash(executableFolder); // every write will then report its own error
    return withSlash(data);
}

bool autoRunSwitch(const QStringList &args)
{
    return !args.isEmpty() && args.first().left(3).toLower() == QLatin1String("/ar");
}
