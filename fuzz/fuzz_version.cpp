// The version-file reader: the input as the downloaded version-information file.
#include "updates/VersionCheckLogic.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir dir;
    const QString local = dir.filePath(VersionCheckLogic::LocalFileName);
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));

    // The whole check, with a "download" that writes the input.
    const auto download = [&](const QUrl &, const QString &path) {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly))
            return false;
        f.write(bytes);
        return true;
    };
    try {
        (void)VersionCheckLogic::check(download, local, QStringLiteral("https://a.example/v.xml"),
                                       QStringLiteral("https://b.example/v.xml"),
                                       QStringLiteral("1.2.0.6"));
    } catch (const std::exception &) {
        // Refusing a version that is no number is the reader's answer.
    }

    // The two steps on their own, on the bytes as text.
    const QString text = QString::fromLatin1(bytes);
    const QString offered = VersionCheckLogic::offeredVersion(text);
    try {
        (void)VersionCheckLogic::versionNumber(offered);
    } catch (const std::exception &) {
    }
    try {
        (void)VersionCheckLogic::versionNumber(text);
    } catch (const std::exception &) {
    }
    return 0;
}
