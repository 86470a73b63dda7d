#include "UndoAction.h"

#include "i18n/LanguageTables.h"
#include "tasks/TaskList.h"

namespace {

// The caption's key in the language table.
const char *undoCaptionKey(UndoKind kind)
{
    switch (kind) {
    case UndoKind::Add:
        return "UndoAdd";
    case UndoKind::Edit:
        return "UndoEdit";
    case UndoKind::Tick:
        return "UndoTick";
    case UndoKind::Untick:
        return "UndoUntick";
    case UndoKind::Delete:
        return "UndoDelete";
    case UndoKind::Archive:
        return "UndoArchive";
    case UndoKind::Unarchive:
        return "UndoUnarchive";
    case UndoKind::CategoryDelete:
        return "UndoCategoryDelete";
    case UndoKind::ArchiveDelete:
        return "UndoArchiveDelete";
    case UndoKind::Import:
        return "UndoImport";
    }
    return "Undo";
}

} // namespace

UndoAction::UndoAction(TaskList &tasks, const Settings &settings, QObject *parent)
    : QAction(parent), m_tasks(tasks), m_settings(settings)
{
    setObjectName(QStringLiteral("Menu_Undo"));
    connect(&m_tasks, &TaskList::undoChanged, this, &UndoAction::showState);
    showState();
}

void UndoAction::showState()
{
    const bool can = m_tasks.canUndo();
    const char *key = can ? undoCaptionKey(m_tasks.nextUndo()) : "Undo";
    setText(LanguageTables::text(LanguageTables::undoCaptions(), key, chosenLanguage(m_settings)) +
            QStringLiteral("\tCtrl+Z"));
    setEnabled(can);
}

void UndoAction::Menu_UndoClick()
{
    if (m_tasks.canUndo())
        m_tasks.undo();
}
