// The main window's lifecycle: creation steps, showing, activation, closing.
#include "TForm1.h"
#include "BackupReport.h"
#include "CategoryFilter.h"
#include "ReminderBoxes.h"
#include "TaskPane.h"

#include "WeekendStop.h"
#include "platform/MessageService.h"
#include "platform/ProgramFolder.h"
#include "platform/TrayIcon.h"
#include "platform/WindowPlacement.h"
#include "reminders/AlarmTimer.h"
#include "store/Clock.h"
#include "store/DateFormat.h"
#include "store/OldFormat.h"
#include "store/Settings.h"
#include "store/StoreError.h"
#include "store/TaskTable.h"
#include "tasks/TaskList.h"
#include "widgets/OuterSize.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QMenu>
#include <QTimer>

bool TForm1::FormCreate()
{
    Settings &settings = *m_ctx.settings;
    // 1-2: the command line; the settings object is the context's.
    const bool autoRunStart = autoRunSwitch(m_ctx.arguments);

    // 3: the weekend stop ends start-up here.
    bool weekendStop = false;
    guarded([&] {
        if (weekendStopApplies(settings, autoRunStart, m_ctx.clock->today())) {
            showWeekendBox(*m_ctx.messages);
            weekendStop = true;
        }
    });
    if (weekendStop)
        return false;

    // An error in a later step is shown and skips the rest of the steps.
    guarded([&] {
        // 4: the pane has the designed column widths and captions, its notes pane
        // no height.
        setClientSize(328, 177);
        buildTrayIconAtStart();                                           // 5
        applyStoredLanguage();                                            // 6-7
        const QString myFormat = settings.text(SettingKey::MyDateFormat); // 8
        if (!myFormat.isEmpty())
            m_ctx.dates->setShortFormat(myFormat);
        restoreAppearance(); // 9
        // Only tidying: a folder that cannot be written must still show its tasks.
        guarded([&] { settings.remove(SettingKey::SortedHint); }); // 10
        m_filter->fill();                                          // 11
        convertIfNeeded();                                         // 12
        loadAtStartUp();                                           // 13
        m_pane->restoreSort();                                     // 14
        restoreAfterLoad();                                        // 15
        m_alarm.reset();                                           // 16
        if (settings.flag(SettingKey::Alert))
            m_alarm.start();
        m_pane->ApplySort(); // 17
        AdjustLayout();
        selectStoredRow(); // 18
    });
    return true;
}

void TForm1::restoreAppearance()
{
    Settings &s = *m_ctx.settings;
    m_pane->fitDateColumn();
    setMenuBarShown(!s.flag(SettingKey::HideMainMenu));
    setToolbarShown(!s.flag(SettingKey::HideToolbar));
    if (s.flag(SettingKey::WindowPosition)) {
        const QRect screen = primaryScreenGeometry();
        const int left =
            s.integer(SettingKey::WindowPositionLeft, screen.width() / 2 - width() / 2);
        const int top =
            s.integer(SettingKey::WindowPositionTop, screen.height() / 2 - height() / 2);
        move(left, top);
    } else {
        move(265, 108);
    }
    if (s.text(SettingKey::FormStyle) == QLatin1String("fsStayOnTop"))
        setStayOnTop(true);
    if (s.flag(SettingKey::WindowSize))
        setClientSize(s.integer(SettingKey::WindowWidth), s.integer(SettingKey::WindowHeight));
    // Start minimised: FormShow sends the window to the tray once it is shown.
    setTransparent(s.flag(SettingKey::Transparency));
}

void TForm1::convertIfNeeded()
{
    if (QFileInfo::exists(m_tasks.dataFileName()))
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const OldFormat::FirstStartPaths paths{m_ctx.settings->path(), m_tasks.dataFileName(),
                                           m_ctx.file(FileNames::Archive),
                                           m_ctx.file(FileNames::OldArchive)};
    bool converted = false;
    try {
        converted = OldFormat::convertAtFirstStart(paths, m_ctx.settings->file(), *m_ctx.dates,
                                                   m_ctx.clock->today(), *m_ctx.damagedFiles,
                                                   m_tasks.firstWriteOfDay());
    } catch (...) {
        QApplication::restoreOverrideCursor();
        m_tasks.blockWrites();
        throw;
    }
    QApplication::restoreOverrideCursor();
    if (converted)
        m_ctx.messages->notice(nullptr, OldFormat::ConvertedMessage);
}

void TForm1::loadAtStartUp()
{
    m_tasks.load(AllItems);
    if (m_tasks.loaded())
        setWindowTitle(taskCountCaption(m_tasks.table()));
    m_tasks.fillEmptyHours();
}

void TForm1::restoreAfterLoad()
{
    Settings &s = *m_ctx.settings;
    Menu_NotesPane->setChecked(!s.flag(SettingKey::NotePane));
    Menu_NotesPaneClick();
    setFlatButtons(s.flag(SettingKey::FlatToolbar));
    m_pane->restoreColumnWidths();
}

void TForm1::selectStoredRow()
{
    const int last = m_tasks.table().rowCount() - 1;
    int row = m_ctx.settings->integer(SettingKey::SelectedRow, last);
    if (row < 1 || row > last)
        row = last;
    m_pane->selectRow(row);
}

void TForm1::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!m_shownOnce) {
        m_shownOnce = true;
        guarded([this] { FormShow(); });
    }
}

void TForm1::FormShow()
{
    m_reminders->ShowAgenda();
    Settings &s = *m_ctx.settings;
    if (s.text(SettingKey::WindowState) == QLatin1String("wsMinimized"))
        QTimer::singleShot(0, this, [this] { guarded([this] { setHiddenInTray(true); }); });
    updateGridPopupExtras();
    m_pane->setShowNoteHints(s.text(SettingKey::ShowHints) == QLatin1String("true"));
    m_pane->focusGrid();
}

void TForm1::FormActivate()
{
    m_pane->repaintGrid();
}

void TForm1::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
    if (event->type() == QEvent::WindowStateChange && isMinimized() && !m_closing && isVisible() &&
        trayIcon->available())
        QTimer::singleShot(0, this, [this] { guarded([this] { setHiddenInTray(true); }); });
}

void TForm1::closeEvent(QCloseEvent *event)
{
    if (m_closing) {
        event->accept();
        return;
    }
    m_closing = true;
    guarded([this] { FormClose(); });
    if (m_backupReport)
        m_backupReport->showPending(); // before the program ends
    // Whatever failed above, the task data file still holds every task: each change
    // was appended the moment it was made.
    trayIcon->hide();
    event->accept();
    emit closed();
}

void TForm1::FormClose()
{
    Settings &s = *m_ctx.settings;
    s.setInteger(SettingKey::SelectedRow, m_pane->currentRow()); // 1
    m_filter->showAll();                                         // 2
    m_tasks.save(); // 3; start-up showed an empty hour as midnight: stored so
    if (s.flag(SettingKey::WindowPosition) && windowPositionsKnown()) { // 4
        s.setInteger(SettingKey::WindowPositionLeft, x());
        s.setInteger(SettingKey::WindowPositionTop, y());
    }
    if (s.flag(SettingKey::WindowSize)) { // 5
        s.setInteger(SettingKey::WindowHeight, clientHeight());
        s.setInteger(SettingKey::WindowWidth, clientWidth());
        s.setInteger(SettingKey::NoteHeight, editorClientHeight());
    } else {
        s.setInteger(SettingKey::WindowHeight, 240);
        s.setInteger(SettingKey::WindowWidth, 336);
    }
    m_pane->storeColumnWidths();                                  // 6
    s.setFlag(SettingKey::NotePane, Menu_NotesPane->isChecked()); // 7
    // 8: the settings object needs no closing: every write is already on disk.
    trayIcon->hide(); // 9
    // 10: the caller ends the program.
}

void TForm1::bringToFront()
{
    if (hiddenInTray())
        setHiddenInTray(false);
    raise();
    activateWindow();
}
