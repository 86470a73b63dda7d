#include "BenchDriver.h"

#include "BenchProgram.h"
#include "mainwindow/TForm1.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>

namespace BenchDriver {

double secondsSince(Steady::time_point t0)
{
    return std::chrono::duration<double>(Steady::now() - t0).count();
}

QString &failure()
{
    static QString why;
    return why;
}

double fail(const char *why)
{
    failure() = QString::fromLatin1(why);
    return -1;
}

QAction *menuItem(QWidget &window, const char *name)
{
    return window.findChild<QAction *>(QString::fromLatin1(name));
}

void sendKey(QWidget &to, int key)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QCoreApplication::sendEvent(&to, &press);
    QCoreApplication::sendEvent(&to, &release);
}

void sendClick(QWidget &to, const QPoint &at)
{
    const QPointF pos(at);
    const QPointF global(to.mapToGlobal(at));
    QMouseEvent press(QEvent::MouseButtonPress, pos, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, pos, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(&to, &press);
    QCoreApplication::sendEvent(&to, &release);
}

void sendClick(QWidget &to)
{
    sendClick(to, to.rect().center());
}

void focusOn(TForm1 &w, QWidget &control)
{
    w.activateWindow();
    for (int i = 0; i < 200 && QApplication::activeWindow() != &w; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    control.setFocus();
    settle();
}

double timed(const std::function<void()> &action)
{
    const Steady::time_point t0 = Steady::now();
    action();
    settle();
    return secondsSince(t0);
}

double timeModalOk(const std::function<void()> &open, const std::function<void(QWidget &)> &prepare,
                   const char *ok, bool staysOpen)
{
    Steady::time_point t0{};
    double inside = -1;
    bool clicked = false;
    QTimer::singleShot(0, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        prepare(*modal);
        auto *button = component<QAbstractButton>(*modal, ok);
        if (button) {
            t0 = Steady::now();
            sendClick(*button);
            clicked = true;
            if (staysOpen) {
                settle();
                inside = secondsSince(t0);
            }
        }
        if (modal->isVisible())
            modal->close();
    });
    open();
    if (!clicked)
        return fail("the command's window or its button did not come");
    settle();
    return staysOpen ? inside : secondsSince(t0);
}

} // namespace BenchDriver
