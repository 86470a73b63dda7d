#include "TFormCategory.h"

#include "i18n/LanguageTables.h"
#include "platform/HandlerGuard.h"
#include "platform/MessageService.h"
#include "store/Settings.h"
#include "tasks/CategoryList.h"
#include "tasks/TaskList.h"
#include "widgets/ApplyLanguage.h"
#include "widgets/DesignCaptions.h"
#include "widgets/RepaintOnAltTab.h"

#include <QApplication>
#include <QComboBox>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>

namespace {

const DesignCaptions designCaption(LanguageTables::input());

// The designed arrangement: inputs 165 wide at top 4, 18 high; the buttons
// below them at top 26, 18 high.
constexpr int InputLeft = 4;
constexpr int InputTop = 4;
constexpr int InputWidth = 165;
constexpr int DesignHeight = 18;
constexpr int NameLimit = 15;
constexpr int DesignWidth = 173;
// The room a caption bar takes beside its text (an icon and up to three buttons),
// and the share by which a window manager's caption font may run wider than ours.
constexpr int CaptionBarExtras = 110;
constexpr double CaptionFontAllowance = 1.3;

} // namespace

TFormCategory::TFormCategory(AppContext &ctx, TaskList &tasks, QWidget *parent)
    : QDialog(parent), m_ctx(ctx), m_tasks(tasks)
{
    setObjectName(QStringLiteral("FormCategory"));
    // A dialog frame: a caption and a close button only, which leaves the narrow
    // caption bar room for the mode's text.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    FormCreate();
    nameControls(this, LanguageTables::input());
}

bool TFormCategory::guarded(const std::function<void()> &handler)
{
    return runGuarded(*m_ctx.messages, this, handler);
}

void TFormCategory::FormCreate()
{
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setMaxLength(NameLimit);
    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    Edit2 = new QLineEdit(this);
    Edit2->setObjectName(QStringLiteral("Edit2"));
    Edit2->setMaxLength(NameLimit);

    SpeedButton1 = new QToolButton(this);
    SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    SpeedButton1->setText(designCaption("SpeedButton1"));
    SpeedButton2 = new QToolButton(this);
    SpeedButton2->setObjectName(QStringLiteral("SpeedButton2"));
    SpeedButton2->setText(designCaption("SpeedButton2"));
    for (QToolButton *b : {SpeedButton1, SpeedButton2}) {
        b->setFocusPolicy(Qt::NoFocus);
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
    }
    connect(SpeedButton1, &QToolButton::clicked, this,
            [this] { guarded([this] { SpeedButton1Click(); }); });
    connect(SpeedButton2, &QToolButton::clicked, this,
            [this] { guarded([this] { SpeedButton2Click(); }); });

    // The designed sizes, taller where the desktop's font needs more room, and
    // wider where the caption bar, beside the window manager's icon and buttons,
    // could not show the longest mode.
    int inputHeight = DesignHeight;
    for (QWidget *input : inputs())
        inputHeight = std::max(inputHeight, input->minimumSizeHint().height());
    const int buttonHeight = std::max(DesignHeight, fontMetrics().height() + 4);
    QFont captionFont = font();
    captionFont.setBold(true);
    const int captionWidth =
        int(QFontMetrics(captionFont).horizontalAdvance(DeleteCaption) * CaptionFontAllowance) +
        CaptionBarExtras;
    const int extra = std::max(0, captionWidth - DesignWidth);
    for (QWidget *input : inputs()) {
        input->setGeometry(InputLeft, InputTop, InputWidth + extra, inputHeight);
        input->installEventFilter(this);
    }
    const int buttonTop = InputTop + inputHeight + 4;
    SpeedButton1->setGeometry(5, buttonTop, 76 + extra / 2, buttonHeight);
    SpeedButton2->setGeometry(88 + extra / 2, buttonTop, 81 + extra - extra / 2, buttonHeight);

    const QRect cancel = SpeedButton2->geometry();
    setFixedSize(cancel.x() + cancel.width() + 4, cancel.y() + cancel.height() + 4);
    hideInputs();
}

QList<QWidget *> TFormCategory::inputs() const
{
    return {Edit1, ComboBox1, Edit2};
}

void TFormCategory::hideInputs()
{
    for (QWidget *input : inputs()) {
        input->move(2 * width(), input->y());
        // Out of view is also out of the Tab order.
        input->hide();
    }
}

void TFormCategory::showInput(QWidget *input)
{
    input->move(InputLeft, input->y());
    input->show();
}

bool TFormCategory::askNewCategory()
{
    hideInputs();
    showInput(Edit1);
    Edit1->clear();
    setWindowTitle(NewCaption);
    return exec() == QDialog::Accepted;
}

QString TFormCategory::newName() const
{
    return Edit1->text();
}

bool TFormCategory::askDeleteCategory(const QStringList &names, int current)
{
    hideInputs();
    showInput(ComboBox1);
    ComboBox1->clear();
    ComboBox1->addItems(names);
    ComboBox1->setCurrentIndex(current);
    setWindowTitle(DeleteCaption);
    return exec() == QDialog::Accepted && windowTitle() == DeleteCaption;
}

QString TFormCategory::chosenCategory() const
{
    return ComboBox1->currentText();
}

QString TFormCategory::askSearch()
{
    hideInputs();
    showInput(Edit2);
    Edit2->clear();
    setWindowTitle(SearchCaption);
    return exec() == QDialog::Accepted ? Edit2->text() : QString();
}

void TFormCategory::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    guarded([this] { FormShow(); });
}

void TFormCategory::FormShow()
{
    ApplyLanguageInput(this, m_ctx.settings->text(SettingKey::Language));
    const QString mode = windowTitle();
    if (mode == NewCaption)
        Edit1->setFocus();
    else if (mode == DeleteCaption)
        ComboBox1->setFocus();
    else if (mode == SearchCaption)
        Edit2->setFocus();
}

void TFormCategory::SpeedButton1Click()
{
    const QString mode = windowTitle();
    if (mode == NewCaption)
        addCategory();
    else if (mode == DeleteCaption)
        deleteCategory();
    else
        accept();
}

void TFormCategory::SpeedButton2Click()
{
    reject();
}

void TFormCategory::addCategory()
{
    const QString name = Edit1->text();
    if (name.trimmed().isEmpty())
        return;
    const QString refusal = CategoryList::refusal(name);
    if (!refusal.isEmpty()) {
        m_ctx.messages->show(this, {AppTitle, refusal, MsgIcon::Warning, MsgButtons::Ok});
        Edit1->setFocus();
        return;
    }
    CategoryList(*m_ctx.settings).add(name);
    m_tasks.tellCategoryAdded(name);
    accept();
}

void TFormCategory::deleteCategory()
{
    const QString name = ComboBox1->currentText();
    if (name.trimmed().isEmpty())
        return;
    // "All Items" names no stored category: nothing to delete.
    if (ComboBox1->currentIndex() == 0) {
        reject();
        return;
    }
    CategoryList(*m_ctx.settings).remove(name);
    m_tasks.tellCategoryDeleted(name);
    accept();
}

bool TFormCategory::eventFilter(QObject *watched, QEvent *event)
{
    // The dialog sees every key of its inputs before they do (the buttons never
    // take the focus, so an input always holds it).
    const QEvent::Type type = event->type();
    if (type == QEvent::KeyPress || type == QEvent::KeyRelease) {
        if (watched == QApplication::focusWidget()) {
            auto *key = static_cast<QKeyEvent *>(event);
            if (type == QEvent::KeyPress) {
                bool handled = false;
                guarded([&] { handled = FormKeyDown(key->key()); });
                if (handled)
                    return true;
            } else if (!key->isAutoRepeat()) {
                guarded([&] { FormKeyUp(key->key()); });
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

bool TFormCategory::FormKeyDown(int key)
{
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        SpeedButton1Click();
        return true;
    }
    if (key == Qt::Key_Escape) {
        SpeedButton2Click();
        return true;
    }
    return false;
}

void TFormCategory::FormKeyUp(int key)
{
    RepaintOnAltTab(this, key, *m_ctx.os);
}
