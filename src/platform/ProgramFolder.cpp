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

bool isInside(const QString &folder, const QString &root)
{
    const QString r = QDir::cleanPath(root);
    return folder == r || folder.startsWith(r + QLatin1Char('/'));
}

} // namespace

bool isSystemFolder(const QString &executableFolder)
{
    if (executableFolder.isEmpty())
        return false;
    // Both spellings: /bin may be a link to /usr/bin, and the prefix may be a link.
    QStringList spellings{QDir::cleanPath(QDir(executableFolder).absolutePath())};
    const QString canonical = QFileInfo(executableFolder).canonicalFilePath();
    if (!canonical.isEmpty())
        spellings << canonical;
    QStringList roots{QStringLiteral("/usr"), QStringLiteral("/bin"), QStringLiteral("/sbin")};
#ifdef NUDGERY_INSTALL_BINDIR
    // A prefix elsewhere (/opt/nudgery, ~/.local) is still an installed copy.
    roots << QStringLiteral(NUDGERY_INSTALL_BINDIR);
#endif
    for (const QString &folder : spellings)
        for (const QString &root : roots)
            if (isInside(folder, root))
                return true;
    return false;
}

QString programFolder(const QString &executableFolder)
{
    const QString home = qEnvironmentVariable("NUDGERY_HOME");
    if (!home.isEmpty()) {
        QDir().mkpath(home);
        return withSlash(home);
    }
    // Root can write to /usr/bin, yet an installed copy must not keep its lists there.
    if (!executableFolder.isEmpty() && !isSystemFolder(executableFolder) &&
        canWriteIn(executableFolder))
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
