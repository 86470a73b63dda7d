// The main window's lifecycle: creation steps, showing, activation, closing.
#include "TForm1.h"
#include "widgets/OuterSize.h"

#include "VisibleColumnsMenu.h"
#include "WeekendStop.h"
#include "platform/Clock.h"
#include "platform/HandlerGuard.h"
#include "platform/MessageService.h"
#include "platform/ProgramFolder.h"
#include "platform/TrayIcon.h"
#include "platform/WindowPlacement.h"
#include "reminders/AlarmTimer.h"
#include "store/DateFormat.h"
#include "store/OldFormat.h"
#include "store/Settings.h"
#include "store/StoreError.h"
#include "store/TaskTable.h"
#include "tasks/CategoryList.h"
#include "tasks/TaskList.h"
#include "widgets/TaskGrid.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTimer>
#include <QToolButton>

namespace {
const QString Column0Caption;
} // namespace

bool TForm1::guarded(const std::function<void()> &handler)
{
    return runGuarded(*m_ctx.messages, isVisible() ? this : nullptr, handler);
}

TaskTable &TForm1::table()
{
    return m_tasks.table();
}

QString TForm1::categoryFilter() const
{
    return ComboBox1->currentText();
}

bool TForm1::FormCreate()
{
    Settings &settings = *m_ctx.settings;
    // 1-2: the command line; the settings object is the context's.
    m_autoRunStart = autoRunSwitch(m_ctx.arguments);

    // 3: the weekend stop ends start-up here.
    bool weekendStop = false;
    guarded([&] {
        if (weekendStopApplies(settings, m_autoRunStart, m_ctx.clock->today())) {
            showWeekendBox(*m_ctx.messages);
            weekendStop = true;
        }
    });
    if (weekendStop)
        return false;

    // An error in a later step is shown and skips the rest of the steps.
    guarded([&] {
        createTable();                                                    // 4
        buildTrayIconAtStart();                                           // 5
        applyStoredLanguage();                                            // 6-7
        const QString myFormat = settings.text(SettingKey::MyDateFormat); // 8
        if (!myFormat.isEmpty())
            m_ctx.dates->setShortFormat(myFormat);
        restoreAppearance(); // 9
        // Only tidying: a folder that cannot be written must still show its tasks.
        guarded([&] { settings.remove(SettingKey::SortedHint); }); // 10
        fillCategories();                                          // 11
        convertIfNeeded();                                         // 12
        loadAtStartUp();                                           // 13
        restoreSort();                                             // 14
        restoreAfterLoad();                                        // 15
        m_alarm.reset();                                           // 16
        if (settings.flag(SettingKey::Alert))
            m_alarm.start();
        ApplySort(); // 17
        AdjustLayout();
        selectStoredRow(); // 18
    });
    return true;
}

void TForm1::createTable()
{
    static const int widths[Col::Count] = {12, 206, 61, 31, 12, 0, 0, 0, 0, 0};
    for (int c = 0; c < Col::Count; ++c)
        StringGrid1->setColWidth(c, widths[c]);
    static const char *captions[Col::Count] = {"",      "Task", "Date", "Hour", "Pr",
                                               "order", "Date", "Type", "TxtC", "Note"};
    for (int c = 0; c < Col::Count; ++c)
        m_table->setHeader(c, QString::fromLatin1(captions[c]));
    Memo_notes->setFixedHeight(0);
    setClientSize(328, 177);
}

void TForm1::restoreAppearance()
{
    Settings &s = *m_ctx.settings;
    StringGrid1->setColWidth(Col::Date, dateColumnDefaultWidth());
    setMenuBarShown(!s.flag(SettingKey::HideMainMenu));
    setToolbarShown(!s.flag(SettingKey::HideToolbar));
    if (s.flag(SettingKey::WindowPosition)) {
        const QRect screen = QApplication::primaryScreen()
                                 ? QApplication::primaryScreen()->geometry()
                                 : QRect(0, 0, 1024, 768);
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
    m_alphaBlend = s.flag(SettingKey::Transparency);
    setTransparent(m_alphaBlend);
}

void TForm1::fillCategories()
{
    Settings &s = *m_ctx.settings;
    ComboBox1->clear();
    ComboBox1->addItem(AllItems);
    for (const QString &name : CategoryList(s).names()) {
        if (ComboBox1->findText(name, Qt::MatchFixedString) < 0)
            ComboBox1->addItem(name);
        addCategoryMenuItem(name);
    }
    ComboBox1->setCurrentIndex(0);
    const QList<QAction *> items = Menu_Category->actions();
    for (int i = 3; i < items.size(); ++i)
        items[i]->setChecked(i == 3);
}

void TForm1::addCategoryMenuItem(const QString &name)
{
    QAction *a = Menu_Category->addAction(name);
    a->setCheckable(true);
    connect(a, &QAction::triggered, this,
            [this, a] { guarded([this, a] { categoryMenuItemClick(a); }); });
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
                                                   m_ctx.clock->today(), *m_ctx.damagedFiles);
    } catch (...) {
        QApplication::restoreOverrideCursor();
        m_tasks.blockWrites();
        throw;
    }
    QApplication::restoreOverrideCursor();
    if (converted)
        m_ctx.messages->notice(nullptr, OldFormat::ConvertedMessage);
}

void TForm1::LoadTasks(const QString &filter)
{
    m_tasks.load(filter);
    if (m_tasks.loaded())
        setWindowTitle(taskCountCaption(*m_table));
}

void TForm1::loadAtStartUp()
{
    LoadTasks(AllItems);
    m_tasks.fillEmptyHours();
}

void TForm1::restoreSort()
{
    Settings &s = *m_ctx.settings;
    const QString sorted = s.text(SettingKey::Sorted);
    int column = 0;
    if (sorted == QLatin1String("Task"))
        column = Col::Task;
    else if (sorted == QLatin1String("Date"))
        column = Col::SortKey;
    else if (sorted == QLatin1String("Hour"))
        column = Col::Hour;
    else if (sorted == QLatin1String("Pr"))
        column = Col::Priority;
    m_tasks.setSortState(column, s.integer(SettingKey::SortedOrdr));
    showSortState();
}

void TForm1::restoreAfterLoad()
{
    Settings &s = *m_ctx.settings;
    Menu_NotesPane->setChecked(!s.flag(SettingKey::NotePane));
    Menu_NotesPaneClick();
    setFlatButtons(s.flag(SettingKey::FlatToolbar));
    if (s.flag(SettingKey::CustomCols)) {
        // A value that does not read as widths leaves the defaults; start-up goes on.
        try {
            const auto widths = ColumnWidths::parse(s.text(
                SettingKey::ColumnWidths, ColumnWidths::defaultValue(dateColumnDefaultWidth())));
            for (int c = 0; c < 5; ++c)
                StringGrid1->setColWidth(c, widths[size_t(c)]);
            // A task column stored at 0 was hidden from the header menu: the layout
            // step must not give it the row's room back.
            PopupMenu4->setTaskColumnHidden(widths[size_t(Col::Task)] == 0);
        } catch (const StoreError &e) {
            m_ctx.messages->error(nullptr, e.message());
        }
    }
}

void TForm1::selectStoredRow()
{
    const int last = m_table->rowCount() - 1;
    int row = m_ctx.settings->integer(SettingKey::SelectedRow, last);
    if (row < 1 || row > last)
        row = last;
    StringGrid1->setCurrentRow(row);
}

void TForm1::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!m_shownOnce) {
        m_shownOnce = true;
        guarded([this] { FormShow(); });
    }
    QTimer::singleShot(0, this, [this] { applySizeLimits(); });
}

void TForm1::moveEvent(QMoveEvent *event)
{
    QMainWindow::moveEvent(event);
    // Framing by the window manager shows as a move; the frame is known from then.
    applySizeLimits();
}

void TForm1::applySizeLimits()
{
    // 360 x 240 at least and the screen at most, both for the outer window.
    const QSize frame = windowFrame(this);
    setMinimumSize(QSize(360, 240) - frame);
    if (const QScreen *s = screen())
        setMaximumSize(s->geometry().size() - frame);
}

void TForm1::FormShow()
{
    ShowAgenda();
    Settings &s = *m_ctx.settings;
    if (s.text(SettingKey::WindowState) == QLatin1String("wsMinimized"))
        QTimer::singleShot(0, this, [this] { guarded([this] { minimiseToTray(); }); });
    updateGridPopupExtras();
    StringGrid1->setShowNoteHints(s.text(SettingKey::ShowHints) == QLatin1String("true"));
    StringGrid1->setFocus();
}

void TForm1::FormActivate()
{
    StringGrid1->viewport()->update();
}

void TForm1::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
    if (event->type() == QEvent::WindowStateChange && isMinimized() && !m_closing && isVisible() &&
        trayIcon->available())
        QTimer::singleShot(0, this, [this] { guarded([this] { minimiseToTray(); }); });
}

void TForm1::closeEvent(QCloseEvent *event)
{
    if (m_closing) {
        event->accept();
        return;
    }
    m_closing = true;
    guarded([this] { FormClose(); });
    showBackupReport(); // before the program ends
    // Whatever failed above, the task data file still holds every task: each change
    // was appended the moment it was made.
    trayIcon->hide();
    event->accept();
    emit closed();
}

bool TForm1::FormClose()
{
    Settings &s = *m_ctx.settings;
    s.setInteger(SettingKey::SelectedRow, StringGrid1->currentRow()); // 1
    ComboBox1->setCurrentIndex(0);                                    // 2
    ComboBox1Change();
    m_tasks.fillEmptyHours(); // start-up showed an empty hour as midnight: stored so
    m_tasks.save();           // 3
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
    if (s.flag(SettingKey::CustomCols)) { // 6
        std::array<int, 5> widths{};
        for (int c = 0; c < 5; ++c)
            widths[size_t(c)] = StringGrid1->colWidth(c);
        s.setText(SettingKey::ColumnWidths, ColumnWidths::format(widths));
    } else {
        s.setText(SettingKey::ColumnWidths, ColumnWidths::defaultValue(dateColumnDefaultWidth()));
    }
    s.setFlag(SettingKey::NotePane, Menu_NotesPane->isChecked()); // 7
    // 8: the settings object needs no closing: every write is already on disk.
    trayIcon->hide(); // 9
    return true;      // 10: the caller ends the program
}

void TForm1::bringToFront()
{
    if (hiddenInTray())
        setHiddenInTray(false);
    raise();
    activateWindow();
}
