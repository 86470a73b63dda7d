#pragma once

#include <QString>
#include <QStringList>

struct AppContext;
class QWidget;

// The help text "Tasklyn.txt": looked for in the current working directory, then
// in the program folder, then beside the executable, then in the system data
// folders (an installed copy: /usr/share/Nudgery), and opened in the desktop's
// text viewer. When it is in none of them, the notice "'Tasklyn.txt'  not found..."
// is shown.
namespace HelpText {
inline const QString FileName = QStringLiteral("Tasklyn.txt");
// The help file's full path, or an empty text when there is none.
QString locate(const AppContext &ctx);
// The same, with the data folders given (each holding the help file directly).
QString locate(const AppContext &ctx, const QStringList &dataFolders);
void open(AppContext &ctx, QWidget *parent);
} // namespace HelpText
