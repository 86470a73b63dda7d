// The task editor's context menus and the calendar panel's opening and closing.
#include "TFormAddEdit.h"
#include "i18n/LanguageTables.h"
#include "widgets/DesignCaptions.h"

#include "CalendarPanel.h"
#include "store/Clock.h"
#include "store/DateFormat.h"
#include "store/StoreError.h"

#include <QAction>
#include <QApplication>
#include <QCalendarWidget>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>

void TFormAddEdit::buildMenus()
{
    const DesignCaptions caption(LanguageTables::editor(), LanguageTables::editorTwins());
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    pop1_Clear = caption.item(PopupMenu1, "pop1_Clear");
    PopupMenu1->addSeparator();
    pop1_Now = caption.item(PopupMenu1, "pop1_Now");
    connect(pop1_Clear, &QAction::triggered, this,
            [this] { guarded([this] { pop1_ClearClick(); }); });
    connect(pop1_Now, &QAction::triggered, this, [this] { guarded([this] { pop1_NowClick(); }); });
    for (QLineEdit *field : {Edit3, Edit2, Edit4}) {
        field->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(field, &QWidget::customContextMenuRequested, this, [this, field](const QPoint &p) {
            m_popupField = field;
            PopupMenu1->popup(field->mapToGlobal(p));
        });
    }

    PopupMenu2 = new QMenu(this);
    PopupMenu2->setObjectName(QStringLiteral("PopupMenu2"));
    pop2_Cut = caption.item(PopupMenu2, "pop2_Cut");
    pop2_Copy = caption.item(PopupMenu2, "pop2_Copy");
    pop2_Paste = caption.item(PopupMenu2, "pop2_Paste");
    PopupMenu2->addSeparator();
    pop2_Selectall = caption.item(PopupMenu2, "pop2_Selectall");
    for (QAction *a : {pop2_Cut, pop2_Copy, pop2_Paste, pop2_Selectall})
        connect(a, &QAction::triggered, this, [this, a] { clipboardCommand(a); });
    for (QWidget *field : {static_cast<QWidget *>(Edit1), static_cast<QWidget *>(Memo1)}) {
        field->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(field, &QWidget::customContextMenuRequested, this,
                [this, field](const QPoint &p) { PopupMenu2->popup(field->mapToGlobal(p)); });
    }
}

void TFormAddEdit::pop1_ClearClick()
{
    Edit2->setText(QStringLiteral("00"));
    Edit4->setText(QStringLiteral("00"));
}

void TFormAddEdit::pop1_NowClick()
{
    const QDateTime now = m_ctx.clock->now();
    if (m_popupField == Edit3) {
        Edit3->setText(m_ctx.dates->shortDate(now.date()));
        return;
    }
    Edit2->setText(m_ctx.dates->formatTime(now.time(), QStringLiteral("hh")));
    Edit4->setText(m_ctx.dates->formatTime(now.time(), QStringLiteral("nn")));
}

void TFormAddEdit::clipboardCommand(QAction *command)
{
    // The command goes to the control with the keyboard focus, wherever the menu opened.
    QWidget *focused = QApplication::focusWidget();
    if (auto *combo = qobject_cast<QComboBox *>(focused); combo && combo->lineEdit())
        focused = combo->lineEdit();
    if (auto *line = qobject_cast<QLineEdit *>(focused)) {
        if (command == pop2_Cut)
            line->cut();
        else if (command == pop2_Copy)
            line->copy();
        else if (command == pop2_Paste)
            line->paste();
        else
            line->selectAll();
    } else if (auto *memo = qobject_cast<QPlainTextEdit *>(focused)) {
        if (command == pop2_Cut)
            memo->cut();
        else if (command == pop2_Copy)
            memo->copy();
        else if (command == pop2_Paste)
            memo->paste();
        else
            memo->selectAll();
    }
}

bool TFormAddEdit::calendarOpen() const
{
    return Panel1->x() < frameGeometry().width();
}

void TFormAddEdit::parkCalendar()
{
    const QScreen *s = screen() ? screen() : QGuiApplication::primaryScreen();
    const int screenWidth = s ? s->geometry().width() : 1024;
    Panel1->move(screenWidth + 10, 14);
    // Out of the Tab chain while it is out of view.
    Panel1->hide();
}

void TFormAddEdit::Image1Click()
{
    const std::optional<QDate> date = m_ctx.dates->parseDate(Edit3->text(), m_ctx.clock->today());
    if (!date)
        throw StoreError(QStringLiteral("'%1' is not a valid date").arg(Edit3->text()));
    Panel1->setDate(*date);
    Panel1->move(82, Panel1->y());
    Panel1->show();
    Panel1->raise();
    Button_ok->setEnabled(false);
    Panel1->focusCalendar();
}

void TFormAddEdit::takeCalendarDate()
{
    Edit3->setText(m_ctx.dates->shortDate(Panel1->date()));
    dismissCalendar();
}

void TFormAddEdit::dismissCalendar()
{
    parkCalendar();
    Button_ok->setEnabled(true);
    Button_cancel->setEnabled(true);
    Edit3->setFocus();
}
