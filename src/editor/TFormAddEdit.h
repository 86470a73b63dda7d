#pragma once

#include "platform/AppContext.h"
#include "store/TaskTable.h"

#include <QDialog>
#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QScrollBar;
class QToolButton;
class CalendarPanel;
class RepeatChoice;
class ColourComboBox;
class AlarmTimer;
class TaskList;
class TFormCategory;

// The task editor: one modal dialog for adding and changing a task; its mode is
// its caption (" Add New Task" or " Edit Task"). The caller presets it; Ok
// validates the fields, hands the task to the task list (which writes the file and
// refreshes), pauses the alarm and closes.
class TFormAddEdit : public QDialog
{
    Q_OBJECT
public:
    // categoryDialog: the input dialog that "++" opens for a new category.
    TFormAddEdit(AppContext &ctx, TaskList &tasks, AlarmTimer &alarm, TFormCategory &categoryDialog,
                 QWidget *parent);

    static const QString AddCaption;  // " Add New Task"
    static const QString EditCaption; // " Edit Task"

    // --- What the caller sets before showing the dialog
    // A new task: today, the default hour, no done mark, the filter's category.
    void presetForAdd();
    // The task at a table row; throws when its hour is no time (fields untouched).
    void presetForEdit(int row);
    // The panel is open while its left edge is inside the dialog.
    bool calendarOpen() const;
    // Client height, which the main window stores as NoteHeight.
    int clientHeight() const { return height(); }

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

public slots:
    void done(int result) override;

private:
    // The task text as given, even beyond the 60 characters typing allows.
    void setTaskText(const QString &text);
    // A note cell (lines joined by CR LF) into Memo1, and back.
    void setNoteText(const QString &note);
    QString noteText() const;
    // Selects the item equal to text ignoring case, or no item.
    static void selectItem(QComboBox *box, const QString &text);
    // The text colour index; anything outside the table gives the default entry.
    void setColourIndex(int index);
    // The category list from the stored names, without duplicates ignoring case.
    void fillCategories();

    // --- Handlers
    void Button_okClick();
    void Button_cancelClick();
    void Image1Click();
    void takeCalendarDate();
    void dismissCalendar();
    void ScrollBar2Change(int position);
    void ScrollBar3Change(int position);
    void SpeedButton5Click();
    void pop1_ClearClick();
    void pop1_NowClick();
    void clipboardCommand(QAction *item);
    // Enter takes the calendar's date or confirms, Escape closes the calendar or
    // cancels; true when the key is used up.
    bool FormKeyDown(int key);

    void buildFields();
    void buildButtonsAndPanel();
    void buildMenus();
    void FormCreate();
    void FormShow();
    void FormClose();
    // The task the fields describe; throws when date and hour make no date-time.
    TaskRow fieldsAsTask() const;
    void categoryDeleted(const QString &name);
    bool refuseUnstorable(QWidget *field, const QString &text, const QString &what);
    void parkCalendar();
    bool guarded(const std::function<void()> &handler);

    // Layout (TFormAddEditLayout.cpp): the designed arrangement, grown where the
    // font needs more room, then the resize rules.
    void arrange();
    void FormResize();
    void applySizeLimits();
    int designClientHeight() const;

    // --- Components, named as in the window's design
    QLabel *Label1 = nullptr, *Label2 = nullptr, *Label7 = nullptr, *Label5 = nullptr,
           *Label8 = nullptr, *Label3 = nullptr, *Label9 = nullptr;
    QLineEdit *Edit1 = nullptr; // task
    QLineEdit *Edit3 = nullptr; // date, masked
    QToolButton *Image1 = nullptr;
    QLineEdit *Edit2 = nullptr; // hour
    QScrollBar *ScrollBar2 = nullptr;
    QLineEdit *Edit4 = nullptr; // minutes
    QScrollBar *ScrollBar3 = nullptr;
    ColourComboBox *ComboBox3 = nullptr; // text colour
    QComboBox *ComboBox1 = nullptr;      // priority
    // The category list, kept in step with the stored categories.
    QComboBox *ComboBox2 = nullptr;
    // "++": adds a category through the main window's category command.
    QToolButton *SpeedButton5 = nullptr;
    QPlainTextEdit *Memo1 = nullptr;
    QLabel *Label4 = nullptr; // the done mark
    QPushButton *Button_ok = nullptr;
    QPushButton *Button_cancel = nullptr;
    CalendarPanel *Panel1 = nullptr;
    QMenu *PopupMenu1 = nullptr;
    QAction *pop1_Clear = nullptr, *pop1_Now = nullptr;
    QMenu *PopupMenu2 = nullptr;
    QAction *pop2_Cut = nullptr, *pop2_Copy = nullptr, *pop2_Paste = nullptr,
            *pop2_Selectall = nullptr;

    AppContext &m_ctx;
    TaskList &m_tasks;
    AlarmTimer &m_alarm;
    TFormCategory &m_categoryDialog;
    int m_editRow = 0;
    RepeatChoice *m_repeat = nullptr; // below the note, beside the buttons
    int m_repeatRight = 0;
    QWidget *m_popupField = nullptr; // the field PopupMenu1 was opened on
    // Growth over the design: extra row height, and the field column's left edge.
    int m_grow = 0;
    int m_fieldLeft = 37;
    int m_rowTop[4] = {3, 23, 44, 65};
};
