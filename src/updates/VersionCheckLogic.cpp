#include "VersionCheckLogic.h"

#include "store/StoreError.h"
#include "store/Win1252.h"

#include <QFile>
#include <limits>

namespace VersionCheckLogic {

namespace {
const QString Tag = QStringLiteral("<Program_Version>");
constexpr int LookedAt = 20;

// Removes the file when the check leaves, however it leaves.
class RemoveOnExit
{
public:
    explicit RemoveOnExit(QString path) : m_path(std::move(path)) {}
    ~RemoveOnExit() { QFile::remove(m_path); }
    RemoveOnExit(const RemoveOnExit &) = delete;
    RemoveOnExit &operator=(const RemoveOnExit &) = delete;

private:
    QString m_path;
};
} // namespace

QString offeredVersion(const QString &text)
{
    const int tagAt = text.indexOf(Tag); // -1 when absent: counts as position 0
    const int start = tagAt < 0 ? Tag.size() - 1 : tagAt + Tag.size();
    const QString window = text.mid(start, LookedAt);
    const int end = window.indexOf(QLatin1String("</"));
    return end < 0 ? QString() : window.left(end);
}

int versionNumber(const QString &version)
{
    QString digits = version;
    digits.remove(QLatin1Char('.'));

    // Leading blanks and a sign are taken, as the original conversion did; the
    // value must fit 32 bits rather than wrap around.
    int i = 0;
    while (i < digits.size() && digits[i] == QLatin1Char(' '))
        ++i;
    bool negative = false;
    if (i < digits.size() && (digits[i] == QLatin1Char('+') || digits[i] == QLatin1Char('-')))
        negative = digits[i++] == QLatin1Char('-');
    if (i == digits.size())
        throw StoreError::invalidInteger(digits);
    const qint64 limit = qint64(std::numeric_limits<qint32>::max()) + (negative ? 1 : 0);
    qint64 value = 0;
    for (; i < digits.size(); ++i) {
        const QChar c = digits[i];
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            throw StoreError::invalidInteger(digits);
        value = value * 10 + (c.unicode() - '0');
        if (value > limit)
            throw StoreError::invalidInteger(digits);
    }
    return int(negative ? -value : value);
}

QString loadText(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw StoreError::cannotOpen(path, file.errorString());
    const QString raw = Win1252::decode(file.readAll());

    // Lines end at CR, LF or CR LF; the text joins them with CR LF after each.
    QString text;
    text.reserve(raw.size() + raw.size() / 16);
    int lineStart = 0;
    for (int i = 0; i < raw.size(); ++i) {
        if (raw[i] != QLatin1Char('\r') && raw[i] != QLatin1Char('\n'))
            continue;
        text += QStringView(raw).mid(lineStart, i - lineStart);
        text += QLatin1String("\r\n");
        if (raw[i] == QLatin1Char('\r') && i + 1 < raw.size() && raw[i + 1] == QLatin1Char('\n'))
            ++i;
        lineStart = i + 1;
    }
    if (lineStart < raw.size()) {
        text += QStringView(raw).mid(lineStart);
        text += QLatin1String("\r\n");
    }
    return text;
}

QString downloadErrorText(const QString &address)
{
    const QString name = address.mid(address.lastIndexOf(QLatin1Char('/')) + 1);
    return QStringLiteral("Error downloading file \"") + name +
           QStringLiteral("\" for version check.\r"
                          "Please check your internet connection and/or firewall..");
}

QString newVersionText()
{
    return QStringLiteral("There is a *new* version of this freeware available !\r\r"
                          "Please go to our freeware web page and download it,\r"
                          "and replace the existing one by the new version.");
}

QString upToDateText()
{
    return QStringLiteral("You have the most recent version of this freeware..\r"
                          "But keep checking, as this is updated regularly!");
}

Result check(const Download &download, const QString &localPath, const QString &source1,
             const QString &source2, const QString &ownVersion)
{
    const RemoveOnExit cleanUp(localPath);
    if (!download(QUrl(source1), localPath) && !download(QUrl(source2), localPath))
        return {Outcome::DownloadFailed, downloadErrorText(source2)};

    const QString offered = offeredVersion(loadText(localPath));
    QFile::remove(localPath);
    const int offeredNumber = versionNumber(offered);
    const int ownNumber = versionNumber(ownVersion);
    if (offeredNumber > ownNumber)
        return {Outcome::NewVersion, newVersionText()};
    return {Outcome::UpToDate, upToDateText()};
}

} // namespace VersionCheckLogic
