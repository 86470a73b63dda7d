#include "QtMessageService.h"

#include <QClipboard>
#include <QGridLayout>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMessageBox>
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

// Ctrl+C copies the text, so that an agenda or an error can be pasted elsewhere.
class CopyableBox : public QMessageBox
{
public:
    using QMessageBox::QMessageBox;

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        if (event->matches(QKeySequence::Copy)) {
            QGuiApplication::clipboard()->setText(text());
            return;
        }
        QMessageBox::keyPressEvent(event);
    }
};

} // namespace

MsgResult QtMessageService::show(QWidget *parent, const MessageRequest &request)
{
    // The texts break lines with "\r"; Qt breaks them on "\n" only.
    QString text = request.text;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));

    CopyableBox box(qtIcon(request.icon), request.caption, text, QMessageBox::NoButton, parent);
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
