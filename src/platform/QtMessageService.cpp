#include "QtMessageService.h"

#include <QClipboard>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QSpacerItem>
#include <QTimer>
#include <QWidget>

namespace {

QMessageBox::Icon qtIcon(MsgIcon icon)
{
    switch (icon) {
    case MsgIcon::Information:
        return QMessageBox::Information;
    case MsgIcon::Warning:
        return QMessageBox::Warning;
    case MsgIcon::Error:
        return QMessageBox::Critical;
    case MsgIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

// Ctrl+C copies the whole text, so that an agenda or an error can be pasted
// elsewhere.
class CopyableBox : public QMessageBox
{
public:
    using QMessageBox::QMessageBox;
    QString wholeText;

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        if (event->matches(QKeySequence::Copy)) {
            QGuiApplication::clipboard()->setText(wholeText);
            return;
        }
        QMessageBox::keyPressEvent(event);
    }
};

// Room a box needs besides its text: the title bar, the margins, the buttons.
constexpr int BoxFurniture = 170;
// The widest a scrolling list grows before its lines wrap.
constexpr int ListWidth = 460;

// A text taller than the screen (thousands of tasks due today) would push the
// box's title and buttons off it: its first line stays the box's text and the rest
// scrolls in a list under it, in a box no taller than the screen.
void fitToScreen(CopyableBox &box, QWidget *parent)
{
    const QScreen *screen =
        parent && parent->screen() ? parent->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QStringList lines = box.wholeText.split(QLatin1Char('\n'));
    const QFontMetrics metrics = box.fontMetrics();
    const int room = screen->availableGeometry().height() - BoxFurniture;
    if (qsizetype(metrics.lineSpacing()) * lines.size() <= room)
        return;
    auto *grid = qobject_cast<QGridLayout *>(box.layout());
    auto *buttons = box.findChild<QDialogButtonBox *>();
    auto *label = box.findChild<QLabel *>(QStringLiteral("qt_msgbox_label"));
    if (!grid || !buttons || !label || grid->indexOf(buttons) < 0 || grid->indexOf(label) < 0)
        return;

    QStringList rest = lines.mid(1);
    while (!rest.isEmpty() && rest.first().trimmed().isEmpty())
        rest.removeFirst();
    box.setText(lines.first());
    auto *list = new QPlainTextEdit(&box);
    list->setObjectName(QStringLiteral("MessageList"));
    list->setReadOnly(true);
    list->setPlainText(rest.join(QLatin1Char('\n')));
    list->setAccessibleName(lines.first().trimmed());
    list->setFocusPolicy(Qt::ClickFocus);
    int widest = 0;
    for (const QString &line : rest.mid(0, 2000))
        widest = qMax(widest, metrics.horizontalAdvance(line));
    const int frame = 2 * list->frameWidth() + 2 * int(list->document()->documentMargin());
    list->setMinimumWidth(
        qMin(ListWidth, widest + frame + list->verticalScrollBar()->sizeHint().width()));
    list->setFixedHeight(room - metrics.lineSpacing());

    int row = 0, column = 0, rows = 0, columns = 0;
    int labelRow = 0, labelColumn = 0;
    grid->getItemPosition(grid->indexOf(label), &labelRow, &labelColumn, &rows, &columns);
    grid->getItemPosition(grid->indexOf(buttons), &row, &column, &rows, &columns);
    grid->removeWidget(buttons);
    grid->addWidget(list, row, labelColumn, 1, columns - labelColumn);
    grid->addWidget(buttons, row + 1, column, rows, columns);
}

} // namespace

MsgResult QtMessageService::show(QWidget *parent, const MessageRequest &request)
{
    // The texts break lines with "\r"; Qt breaks them on "\n" only.
    QString text = request.text;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));

    CopyableBox box(qtIcon(request.icon), request.caption, text, QMessageBox::NoButton, parent);
    box.wholeText = text;
    box.setTextFormat(Qt::PlainText);
    // A short text would make the box narrower than its own caption, which the
    // window manager then cuts ("Nu… ry"): keep room for the caption.
    if (auto *grid = qobject_cast<QGridLayout *>(box.layout())) {
        const int captionWidth = box.fontMetrics().horizontalAdvance(request.caption) + 120;
        grid->addItem(new QSpacerItem(captionWidth, 0, QSizePolicy::Minimum, QSizePolicy::Minimum),
                      grid->rowCount(), 0, 1, grid->columnCount());
    }

    switch (request.buttons) {
    case MsgButtons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        box.setDefaultButton(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Ok);
        break;
    case MsgButtons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
        break;
    case MsgButtons::YesCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::Cancel);
        break;
    }

    fitToScreen(box, parent);

    // Reminders and the second-copy notice come while the main window is hidden
    // in the tray (or before it exists); the box must still reach the front.
    if (!parent || !parent->isVisible())
        box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    // Once exec() has shown it modally.
    QTimer::singleShot(0, &box, [&box] {
        box.raise();
        box.activateWindow();
    });

    const int answer = box.exec();
    switch (request.buttons) {
    case MsgButtons::Ok:
        return MsgResult::Ok;
    case MsgButtons::YesNo:
        return answer == QMessageBox::Yes ? MsgResult::Yes : MsgResult::No;
    case MsgButtons::YesCancel:
        return answer == QMessageBox::Yes ? MsgResult::Yes : MsgResult::Cancel;
    }
    return MsgResult::Ok;
}
