// The task editor: creation, showing and closing, keys, Ok and Cancel.
#include "TFormAddEdit.h"
#include "i18n/LanguageTables.h"
#include "widgets/DesignCaptions.h"
#include "widgets/Hint.h"

#include "CalendarPanel.h"
#include "ColourComboBox.h"
#include "EditorRules.h"
#include "RepeatChoice.h"
#include "categories/TFormCategory.h"
#include "platform/HandlerGuard.h"
#include "platform/MessageService.h"
#include "reminders/AlarmTimer.h"
#include "store/Clock.h"
#include "store/DateFormat.h"
#include "store/Settings.h"
#include "store/StoreError.h"
#include "store/TaskTable.h"
#include "tasks/CategoryList.h"
#include "tasks/TaskList.h"
#include "widgets/ApplyLanguage.h"
#include "widgets/GlyphButton.h"
#include "widgets/Glyphs.h"
#include "widgets/KeyPreview.h"
#include "widgets/Named.h"
#include "widgets/RepaintOnAltTab.h"
#include "widgets/TextColours.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>

const QString TFormAddEdit::AddCaption = QStringLiteral(" Add New Task");
const QString TFormAddEdit::EditCaption = QStringLiteral(" Edit Task");

namespace {

const DesignCaptions designCaption(LanguageTables::editor(), LanguageTables::editorTwins());

constexpr int TaskTypingLimit = 60;
const QString NoTaskMessage = QStringLiteral("No Task to add ... please correct and try again :)");
const QString InvalidDateSuffix = QStringLiteral(" is not a valid Date ..!  Please correct.");

QLabel *label(QWidget *parent, const char *name, const QString &text)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    return l;
}

QScrollBar *spinner(QWidget *parent, const char *name)
{
    auto *s = new QScrollBar(Qt::Vertical, parent);
    s->setObjectName(QString::fromLatin1(name));
    s->setRange(-1, 1);
    s->setPageStep(1);
    s->setValue(0);
    // Reached with Tab; the arrow keys then step the field.
    s->setFocusPolicy(Qt::StrongFocus);
    return s;
}

QString twoDigits(int value)
{
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

} // namespace

TFormAddEdit::TFormAddEdit(AppContext &ctx, TaskList &tasks, AlarmTimer &alarm,
                           TFormCategory &categoryDialog, QWidget *parent)
    : QDialog(parent), m_ctx(ctx), m_tasks(tasks), m_alarm(alarm), m_categoryDialog(categoryDialog)
{
    setObjectName(QStringLiteral("FormAddEdit"));
    setWindowTitle(AddCaption);
    buildFields();
    buildButtonsAndPanel();
    buildMenus();
    nameControls(this, LanguageTables::editor());
    // The dialog sees every key before its controls do.
    new KeyPreview(
        this, [this](const QKeyEvent &key) { return isVisible() && FormKeyDown(key.key()); },
        [this](int key) { RepaintOnAltTab(this, key, *m_ctx.os); });
    Edit3->installEventFilter(this);
    FormCreate();
    connect(&m_tasks, &TaskList::categoryAdded, this,
            [this](const QString &name) { ComboBox2->addItem(name); });
    connect(&m_tasks, &TaskList::categoryDeleted, this, &TFormAddEdit::categoryDeleted);
    connect(&m_tasks, &TaskList::categoriesRestored, this, &TFormAddEdit::fillCategories);
}

void TFormAddEdit::buildFields()
{
    // Created in tab order.
    Label1 = label(this, "Label1", designCaption("Label1"));
    Label2 = label(this, "Label2", designCaption("Label2"));
    Label7 = label(this, "Label7", designCaption("Label7"));
    Label5 = label(this, "Label5", designCaption("Label5"));
    Label8 = label(this, "Label8", designCaption("Label8"));
    Label3 = label(this, "Label3", designCaption("Label3"));
    Label9 = label(this, "Label9", designCaption("Label9"));
    for (QLabel *l : {Label1, Label2, Label7, Label5})
        l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    for (QLabel *l : {Label8, Label3, Label9})
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    Edit1 = named<QLineEdit>(this, "Edit1");
    Edit3 = named<QLineEdit>(this, "Edit3");
    Image1 = new GlyphButton(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    setHint(Image1, QStringLiteral("show calendar"));
    Image1->setIcon(glyph(QStringLiteral("calendar")));
    // As wide as the narrow button, so that the glyph is drawn at its own size.
    Image1->setIconSize(QSize(12, 12));
    Image1->setAutoRaise(true);
    Image1->setFocusPolicy(Qt::NoFocus);
    Edit2 = named<QLineEdit>(this, "Edit2");
    Edit2->setReadOnly(true);
    ScrollBar2 = spinner(this, "ScrollBar2");
    Edit4 = named<QLineEdit>(this, "Edit4");
    Edit4->setReadOnly(true);
    ScrollBar3 = spinner(this, "ScrollBar3");

    ComboBox3 = new ColourComboBox(this);
    ComboBox3->setObjectName(QStringLiteral("ComboBox3"));
    ComboBox1 = named<QComboBox>(this, "ComboBox1");
    for (const char *item : {"", "1", "2", "3", "4", "5"})
        ComboBox1->addItem(QString::fromLatin1(item));
    ComboBox2 = named<QComboBox>(this, "ComboBox2");
    SpeedButton5 = new QToolButton(this);
    SpeedButton5->setObjectName(QStringLiteral("SpeedButton5"));
    SpeedButton5->setText(QStringLiteral("++"));
    setHint(SpeedButton5, QStringLiteral("Add category..."));
    SpeedButton5->setFocusPolicy(Qt::NoFocus);

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setTabChangesFocus(true);

    Label4 = label(this, "Label4", QString());
    QFont bold = Label4->font();
    bold.setBold(true);
    Label4->setFont(bold);
    QPalette red = Label4->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    Label4->setPalette(red);

    // Each field is known by its label, to the keyboard (Alt+letter) and to
    // assistive technology; the minutes share the hour's.
    Label1->setBuddy(Edit1);
    Label2->setBuddy(Edit3);
    Label7->setBuddy(Edit2);
    Label5->setBuddy(Memo1);
    Label8->setBuddy(ComboBox3);
    Label3->setBuddy(ComboBox1);
    Label9->setBuddy(ComboBox2);

    connect(Image1, &QToolButton::clicked, this, [this] { guarded([this] { Image1Click(); }); });
    connect(ScrollBar2, &QScrollBar::valueChanged, this,
            [this](int p) { guarded([&] { ScrollBar2Change(p); }); });
    connect(ScrollBar3, &QScrollBar::valueChanged, this,
            [this](int p) { guarded([&] { ScrollBar3Change(p); }); });
    connect(SpeedButton5, &QToolButton::clicked, this,
            [this] { guarded([this] { SpeedButton5Click(); }); });
}

void TFormAddEdit::buildButtonsAndPanel()
{
    Button_ok = new QPushButton(designCaption("Button_ok"), this);
    Button_ok->setObjectName(QStringLiteral("Button_ok"));
    Button_ok->setAutoDefault(false);
    Button_cancel = new QPushButton(designCaption("Button_cancel"), this);
    Button_cancel->setObjectName(QStringLiteral("Button_cancel"));
    Button_cancel->setAutoDefault(false);
    // A task's rule lives with its identity: without the side file there is none.
    m_repeat = new RepeatChoice(this);
    m_repeat->list()->setEnabled(m_tasks.identities() != nullptr);
    connect(Button_ok, &QPushButton::clicked, this, [this] { Button_okClick(); });
    connect(Button_cancel, &QPushButton::clicked, this, [this] { Button_cancelClick(); });

    Panel1 = new CalendarPanel(this);
    connect(Panel1, &CalendarPanel::takeRequested, this,
            [this] { guarded([this] { takeCalendarDate(); }); });
    connect(Panel1, &CalendarPanel::dismissRequested, this,
            [this] { guarded([this] { dismissCalendar(); }); });
}

bool TFormAddEdit::guarded(const std::function<void()> &handler)
{
    return runGuarded(*m_ctx.messages, this, handler);
}

void TFormAddEdit::FormCreate()
{
    // 1: a caption and a sizing frame, but no system menu and no title-bar buttons.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    // 2: the short date format gets two-digit day and month for the whole program.
    DateFormat &dates = *m_ctx.dates;
    dates.normaliseShortFormat();
    Edit3->setInputMask(dates.inputMask());
    Edit3->setToolTip(dates.shortFormat());
    Edit3->clear();
    // 3
    Edit1->setMaxLength(TaskTypingLimit);
    // 4
    parkCalendar();
    // 5: client height = Cancel's bottom + 3, width = the note's right edge + 4; then 6.
    arrange();
    resize(m_fieldLeft + 282 + 4, designClientHeight());
    Settings &settings = *m_ctx.settings;
    if (settings.flag(SettingKey::WindowSize))
        resize(width(), settings.integer(SettingKey::NoteHeight));
    // 7: placed once, beside the main window.
    if (parentWidget())
        move(parentWidget()->x() - 90, parentWidget()->y() + 50);
    fillCategories(); // 8
    // 9
    for (int i = 0; i < TextColourCount; ++i)
        ComboBox3->addItem(i == DefaultTextColour ? ColourComboBox::DefaultItemText : QString());
    arrange();
}

void TFormAddEdit::showEvent(QShowEvent *event)
{
    guarded([this] { FormShow(); });
    QDialog::showEvent(event);
}

void TFormAddEdit::FormShow()
{
    ApplyLanguageEditor(this, m_ctx.settings->text(SettingKey::Language));
    m_repeat->applyLanguage(chosenLanguage(*m_ctx.settings));
    m_repeat->list()->setEnabled(m_tasks.identities() != nullptr);
    Panel1->dropButtonShortcuts();
    arrange();
    Edit1->setFocus();
}

void TFormAddEdit::done(int result)
{
    QDialog::done(result);
    FormClose();
}

void TFormAddEdit::FormClose()
{
    Edit1->clear();
    Edit1->setMaxLength(TaskTypingLimit);
    Memo1->clear();
    parkCalendar();
    // However it was closed, the next showing starts with the buttons usable.
    Button_ok->setEnabled(true);
    Button_cancel->setEnabled(true);
}

bool TFormAddEdit::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    // Tabbing into the date selects it, so typing replaces the whole date rather
    // than overwriting it digit by digit.
    if (watched == Edit3 && type == QEvent::FocusIn) {
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason)
            QTimer::singleShot(0, Edit3, &QLineEdit::selectAll);
    }
    return QDialog::eventFilter(watched, event);
}

bool TFormAddEdit::FormKeyDown(int key)
{
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    if (enter && QApplication::focusWidget() != Memo1) {
        if (calendarOpen())
            guarded([this] { takeCalendarDate(); });
        else
            Button_okClick();
        return true;
    }
    if (key == Qt::Key_Escape) {
        if (calendarOpen())
            guarded([this] { dismissCalendar(); });
        else
            Button_cancelClick();
        return true;
    }
    return false;
}

void TFormAddEdit::setTaskText(const QString &text)
{
    // The limit is for typing: a longer text given here is kept whole.
    Edit1->setMaxLength(qMax<int>(TaskTypingLimit, int(text.size())));
    Edit1->setText(text);
}

void TFormAddEdit::setNoteText(const QString &note)
{
    Memo1->setPlainText(EditorRules::memoFromNote(note));
}

QString TFormAddEdit::noteText() const
{
    return EditorRules::noteFromMemo(Memo1->toPlainText());
}

void TFormAddEdit::selectItem(QComboBox *box, const QString &text)
{
    box->setCurrentIndex(box->findText(text, Qt::MatchFixedString));
}

void TFormAddEdit::setColourIndex(int index)
{
    ComboBox3->setCurrentIndex(index >= 0 && index < TextColourCount ? index : DefaultTextColour);
}

void TFormAddEdit::Button_okClick()
{
    if (!Button_ok->isEnabled())
        return;
    guarded([this] {
        // 1
        const QString line = EditorRules::firstLine(Memo1->toPlainText()).trimmed();
        if (Edit1->text().trimmed().isEmpty() && !line.isEmpty())
            setTaskText(line);
        // 2
        if (Edit1->text().trimmed().isEmpty()) {
            m_ctx.messages->notice(this, NoTaskMessage);
            Edit1->setFocus();
            return;
        }
        // Text the task data file cannot hold is refused, so nothing is lost or corrupted.
        if (refuseUnstorable(Edit1, Edit1->text(), QStringLiteral("task")) ||
            refuseUnstorable(Memo1, Memo1->toPlainText(), QStringLiteral("note")))
            return;
        // 3
        const std::optional<QDate> date =
            m_ctx.dates->parseDate(Edit3->text(), m_ctx.clock->today());
        if (!date) {
            m_ctx.messages->notice(this, Edit3->text() + InvalidDateSuffix);
            Edit3->setFocus();
            return;
        }
        // 4
        Edit3->setText(m_ctx.dates->shortDate(*date));
        const TaskRow task = fieldsAsTask();
        const QByteArray rule = m_repeat->rule(*date).stored();
        if (windowTitle() == EditCaption)
            m_tasks.replace(m_editRow, task, rule); // 5-9
        else
            m_tasks.add(task, rule);
        m_alarm.pause(); // 10
        accept();        // 11
    });
}

bool TFormAddEdit::refuseUnstorable(QWidget *field, const QString &text, const QString &what)
{
    const std::optional<EditorRules::Unstorable> bad = EditorRules::firstUnstorable(text);
    if (!bad)
        return false;
    m_ctx.messages->notice(this, QStringLiteral("The %1 contains the character %2, which cannot be "
                                                "stored.  Please correct.")
                                     .arg(what, bad->description));
    field->setFocus();
    return true;
}

TaskRow TFormAddEdit::fieldsAsTask() const
{
    const DateFormat &dates = *m_ctx.dates;
    TaskRow task;
    task[Col::Done] = Label4->text();
    task[Col::Task] = Edit1->text();
    task[Col::Date] = Edit3->text();
    task[Col::Note] = noteText();
    task[Col::Priority] = ComboBox1->currentText();
    const QTime time(Edit2->text().toInt(), Edit4->text().toInt());
    task[Col::Hour] = dates.formatTime(time, QStringLiteral("hh:nn"));
    task[Col::Category] = ComboBox2->currentIndex() < 0 ? QString() : ComboBox2->currentText();
    task[Col::TextColor] = QString::number(ComboBox3->currentIndex());
    const QString dateHour = task[Col::Date] + QLatin1Char(' ') + task[Col::Hour];
    const std::optional<QDateTime> when = dates.parseDateTime(dateHour, m_ctx.clock->today());
    if (!when)
        throw StoreError(QStringLiteral("'%1' is not a valid date and time").arg(dateHour));
    task[Col::SortKey] = dates.formatDateTime(*when, QStringLiteral("yyyy-MM-dd HH:mm"));
    return task;
}

void TFormAddEdit::presetForAdd()
{
    const DateFormat &dates = *m_ctx.dates;
    setWindowTitle(AddCaption); // 2
    const QDateTime now = m_ctx.clock->now();
    Edit3->setText(dates.shortDate(now.date()));                              // 3
    const QString defaultTime = m_ctx.settings->text(SettingKey::DefNewTime); // 4: "09h:30"
    if (defaultTime != QLatin1String("current")) {
        Edit2->setText(defaultTime.mid(0, 2));
        Edit4->setText(defaultTime.mid(4, 2));
    } else {
        Edit2->setText(dates.formatTime(now.time(), QStringLiteral("hh")));
        Edit4->setText(dates.formatTime(now.time(), QStringLiteral("nn")));
    }
    Label4->clear(); // 5
    ComboBox1->setCurrentIndex(0);
    const QString filter = m_tasks.filter();
    if (filter == AllItems)
        ComboBox2->setCurrentIndex(-1);
    else
        selectItem(ComboBox2, filter);
    setColourIndex(18);
    m_repeat->show({});
}

void TFormAddEdit::presetForEdit(int r)
{
    const TaskTable &table = m_tasks.table();
    // The hour is read first: a row it fails on leaves the fields as they were.
    // None is midnight, as start-up shows it; a task can come without one during
    // the run too (a sync, an import).
    QString hour = table.cell(Col::Hour, r);
    if (hour.trimmed().isEmpty())
        hour = QStringLiteral("00:00");
    const std::optional<QTime> time = m_ctx.dates->parseTime(hour);
    if (!time)
        throw StoreError(QStringLiteral("'%1' is not a valid time").arg(hour));
    m_editRow = r;
    setWindowTitle(EditCaption);
    setTaskText(table.cell(Col::Task, r));
    Edit3->setText(table.cell(Col::Date, r));
    selectItem(ComboBox1, table.cell(Col::Priority, r));
    Label4->setText(table.cell(Col::Done, r));
    setNoteText(table.cell(Col::Note, r));
    Edit2->setText(m_ctx.dates->formatTime(*time, QStringLiteral("hh")));
    Edit4->setText(m_ctx.dates->formatTime(*time, QStringLiteral("nn")));
    selectItem(ComboBox2, table.cell(Col::Category, r));
    bool isNumber = false;
    const int colour = table.cell(Col::TextColor, r).trimmed().toInt(&isNumber);
    setColourIndex(isNumber ? colour : 18);
    m_repeat->show(m_tasks.repeatRule(r));
}

void TFormAddEdit::fillCategories()
{
    Settings &settings = *m_ctx.settings;
    ComboBox2->clear();
    for (const QString &name : CategoryList(settings).names()) {
        if (ComboBox2->findText(name, Qt::MatchFixedString) < 0)
            ComboBox2->addItem(name);
    }
}

void TFormAddEdit::categoryDeleted(const QString &name)
{
    for (int i = 0; i < ComboBox2->count(); ++i) {
        if (ComboBox2->itemText(i) == name) {
            ComboBox2->removeItem(i);
            return;
        }
    }
}

void TFormAddEdit::Button_cancelClick()
{
    if (!Button_cancel->isEnabled())
        return;
    Button_ok->setEnabled(true);
    reject();
}

void TFormAddEdit::SpeedButton5Click()
{
    // Only a name the dialog added is chosen; Cancel leaves the choice as it was.
    if (m_categoryDialog.askNewCategory())
        selectItem(ComboBox2, m_categoryDialog.newName());
}

void TFormAddEdit::ScrollBar2Change(int position)
{
    // Putting the bar back to 0 reports a change too.
    if (position == 0)
        return;
    Edit2->setText(twoDigits(EditorRules::spinnerStep(Edit2->text().toInt(), position, 23)));
    ScrollBar2->setValue(0);
}

void TFormAddEdit::ScrollBar3Change(int position)
{
    if (position == 0)
        return;
    Edit4->setText(twoDigits(EditorRules::spinnerStep(Edit4->text().toInt(), position, 59)));
    ScrollBar3->setValue(0);
}
