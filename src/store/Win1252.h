#pragma once

#include <QByteArray>
#include <QString>

// Every file the program keeps is Windows-1252 text; in memory text is QString.
namespace Win1252 {

QString decode(const QByteArray &bytes);
// Characters the code page cannot hold become '?'; callers that must not lose
// text check canEncode() first.
QByteArray encode(const QString &text);
bool canEncode(QChar c);
// Index of the first character that Windows-1252 cannot hold, or -1.
int firstUnencodable(const QString &text);

} // namespace Win1252
