// Task commands: add, edit, check/uncheck, delete, double click, the grid menu.

#include "TForm1.h"

#include "widgets/TaskGrid.h"
#include "editor/TFormAddEdit.h"
#include "platform/Clock.h"
#include "platform/MessageService.h"
#include "store/DateFormat.h"
#include "store/Settings.h"
#include "store/StoreError.h"
#include "store/TaskDataFile.h"
#include "store/TaskTable.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QWidget>

namespace {

const QString DeleteQuestion = QStringLiteral("Sure to delete this Task ?");

void showEditor(TFormAddEdit &editor)
{
    editor.raise();
    editor.activateWindow();
    editor.exec();
}

} // namespace

void TForm1::SpeedButton4Click()
{
    TFormAddEdit &editor = *FormAddEdit;
    Settings &settings = *m_ctx.settings;
    const DateFormat &dates = *m_ctx.dates;
    // 1: out of the topmost band while the editor is up, so it shows above us.
    const bool onTop = windowFlags() & Qt::WindowStaysOnTopHint;
    if (onTop)
        setStayOnTop(false);
    editor.setWindowTitle(TFormAddEdit::AddCaption); // 2
    const QDateTime now = m_ctx.clock->now();
    editor.Edit3->setText(dates.shortDate(now.date())); // 3
    const QString defaultTime = settings.text(SettingKey::DefNewTime); // 4: "09h:30"
    if (defaultTime != QLatin1String("current")) {
        editor.Edit2->setText(defaultTime.mid(0, 2));
        editor.Edit4->setText(defaultTime.mid(4, 2));
    } else {
        editor.Edit2->setText(dates.formatTime(now.time(), QStringLiteral("hh")));
        editor.Edit4->setText(dates.formatTime(now.time(), QStringLiteral("nn")));
    }
    editor.Label4->clear(); // 5
    editor.ComboBox1->setCurrentIndex(0);
    const QString filter = categoryFilter();
    if (filter == AllItems)
        editor.ComboBox2->setCurrentIndex(-1);
    else
        TFormAddEdit::selectItem(editor.ComboBox2, filter);
    editor.setColourIndex(18);
    showEditor(editor); // 6
    StringGrid1->viewport()->update(); // 7
    if (onTop)
        setStayOnTop(true);
}

void TForm1::SpeedButton6Click()
{
    if (m_table->isEmpty())
        return;
    TFormAddEdit &editor = *FormAddEdit;
    const int r = StringGrid1->currentRow();
    // The hour is read first: a row it fails on leaves the editor's fields as they were.
    const QString hour = m_table->cell(Col::Hour, r);
    const std::optional<QTime> time = m_ctx.dates->parseTime(hour);
    if (!time)
        throw StoreError(QStringLiteral("'%1' is not a valid time").arg(hour));
    editor.setWindowTitle(TFormAddEdit::EditCaption);
    editor.setTaskText(m_table->cell(Col::Task, r));
    editor.Edit3->setText(m_table->cell(Col::Date, r));
    TFormAddEdit::selectItem(editor.ComboBox1, m_table->cell(Col::Priority, r));
    editor.Label4->setText(m_table->cell(Col::Done, r));
    editor.setNoteText(m_table->cell(Col::Note, r));
    editor.Edit2->setText(m_ctx.dates->formatTime(*time, QStringLiteral("hh")));
    editor.Edit4->setText(m_ctx.dates->formatTime(*time, QStringLiteral("nn")));
    TFormAddEdit::selectItem(editor.ComboBox2, m_table->cell(Col::Category, r));
    bool isNumber = false;
    const int colour = m_table->cell(Col::TextColor, r).trimmed().toInt(&isNumber);
    editor.setColourIndex(isNumber ? colour : 18);
    showEditor(editor);
}

void TForm1::SpeedButton3Click()
{
    // An empty table has no task to tick.
    if (m_table->isEmpty())
        return;
    const int r = StringGrid1->currentRow();
    const qint64 old = TaskDataFile::orderOffset(m_table->cell(Col::Order, r));
    const TaskDataFile file = dataFile();
    const QString before = m_table->cell(Col::Done, r);
    const bool wasDone = before == DoneMark;
    m_table->setCell(Col::Done, r, wasDone ? QStringLiteral(" ") : DoneMark);
    try {
        file.ReplaceTask(*m_table, r, old);
    } catch (...) {
        m_table->setCell(Col::Done, r, before); // the file is as it was
        throw;
    }
    if (!wasDone && m_ctx.settings->flag(SettingKey::AutoArchiv))
        Menu_ArchiveTaskClick(SpeedButton3);
    StringGrid1->viewport()->update();
}

void TForm1::SpeedButton5Click()
{
    if (m_table->isEmpty())
        return;
    if (m_ctx.messages->confirm(isVisible() ? this : nullptr, DeleteQuestion))
        DeleteTask();
}

void TForm1::DeleteTask()
{
    const int top = StringGrid1->selectionTop();
    const int bottom = StringGrid1->selectionBottom();
    const TaskDataFile file = dataFile();
    try {
        for (int r = bottom; r >= top; --r)
            file.BlankTask(TaskDataFile::orderOffset(m_table->cell(Col::Order, r)));
    } catch (...) {
        // Rows already blanked must leave the table too, or the exit would write them back.
        LoadTasks(categoryFilter());
        ApplySort();
        AdjustLayout();
        throw;
    }
    LoadTasks(categoryFilter());
    ApplySort();
    if (top >= 2)
        StringGrid1->setCurrentRow(top - 1);
    AdjustLayout();
}

void TForm1::StringGrid1DblClick()
{
    if (StringGrid1->hoverRow() == 0)
        return;
    if (m_table->cell(Col::Task, StringGrid1->currentRow()).isEmpty())
        return;
    if (StringGrid1->hoverCol() == Col::Done)
        SpeedButton3Click();
    else
        SpeedButton6Click();
}

void TForm1::ConfigureGridPopup(bool toolbarForm)
{
    pop2_N1->setVisible(toolbarForm);
    pop2_About->setVisible(toolbarForm);
    for (QAction *taskItem : {pop2_EditTask, pop2_Deletetask, pop2_Archivetask, pop2_N9})
        taskItem->setVisible(!toolbarForm);
}

int TForm1::editorClientHeight() const
{
    if (FormAddEdit)
        return FormAddEdit->clientHeight();
    return m_ctx.settings->integer(SettingKey::NoteHeight);
}
