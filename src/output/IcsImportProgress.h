#pragma once

#include "IcsImport.h"

class QWidget;

namespace IcsImport {

// File > Import from iCalendar: the file is read in a thread of its own behind a
// progress dialog (shown once it takes more than a moment), so that the window
// keeps painting; then its tasks are stored as by store(). Nothing is stored when
// the user cancels or the program closes meanwhile (result.cancelled).
Parsed importWithProgress(QWidget *parent, const QString &path, TaskList &tasks, Settings &settings,
                          const DateFormat &dates, const Clock &clock, Language language);

} // namespace IcsImport
