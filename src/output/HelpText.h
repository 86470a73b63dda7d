#pragma once

#include <QString>

struct AppContext;
class QWidget;

// The help text "Tasklyn.txt": looked for in the current working directory, then
// in the program folder, then beside the executable, and opened in the desktop's
// text viewer. When it is in none of them, the notice "'Tasklyn.txt'  not found..."
// is shown.
namespace HelpText {
inline const QString FileName = QStringLiteral("Tasklyn.txt");
// The help file's full path, or an empty text when there is none.
QString locate(const AppContext &ctx);
void open(AppContext &ctx, QWidget *parent);
} // namespace HelpText
