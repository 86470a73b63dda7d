#pragma once

#include <QString>
#include <QUrl>
#include <functional>

// The new-version check without windows: fetch the version-information file,
// read the offered version from it and compare it with the program's own.
namespace VersionCheckLogic {

// "nudgery.xml" in the program folder: both sources are fetched to it.
inline const QString LocalFileName = QStringLiteral("nudgery.xml");

// The text between "<Program_Version>" and the next "</", looked for only in the
// 20 characters after the tag. Without the tag the 20 characters from the 17th
// of the text are taken, as the position of an absent tag counts as 0.
QString offeredVersion(const QString &text);

// The version with every "." removed, read as a decimal 32-bit integer; throws
// StoreError "'<dot-less text>' is not a valid integer value" otherwise.
int versionNumber(const QString &version);

// The downloaded file as text: Windows-1252, every line ended by CR LF. Throws
// StoreError "Cannot open file ..." when it cannot be read.
QString loadText(const QString &path);

// "Error downloading file "<name>" for version check.\rPlease check ...", the
// name being the part of the address after its last "/".
QString downloadErrorText(const QString &address);
QString newVersionText();
QString upToDateText();

enum class Outcome { DownloadFailed, NewVersion, UpToDate };

struct Result
{
    Outcome outcome;
    QString text; // the message to show
};

// Downloads `address` to `localPath`; false when it failed.
using Download = std::function<bool(const QUrl &address, const QString &localPath)>;

// The whole check: source 1, else source 2, to the local file; the offered
// version against `ownVersion`. The local file is gone afterwards on every path.
// Throws StoreError when the file cannot be read or a version is no number.
Result check(const Download &download, const QString &localPath, const QString &source1,
             const QString &source2, const QString &ownVersion);

} // namespace VersionCheckLogic
