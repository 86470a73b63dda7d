#pragma once

#include <QAction>
#include <QPoint>
#include <QString>
#include <QWidget>
#include <chrono>
#include <functional>

class TForm1;

// Driving the real windows as a user does, offscreen, and timing what follows
// until the program is idle again.
namespace BenchDriver {

using Steady = std::chrono::steady_clock;
double secondsSince(Steady::time_point t0);

// Why the last command could not be measured; its result is then negative.
QString &failure();
double fail(const char *why);

// The widget of that name in the window itself, not in a dialog it holds.
template <class T> T *component(QWidget &window, const char *name)
{
    for (T *found : window.findChildren<T *>(QString::fromLatin1(name)))
        if (found->window() == &window)
            return found;
    return nullptr;
}

QAction *menuItem(QWidget &window, const char *name);
void sendKey(QWidget &to, int key);
void sendClick(QWidget &to, const QPoint &at);
void sendClick(QWidget &to);
// The main window active with its control focused, as after a click into it.
void focusOn(TForm1 &w, QWidget &control);
// Runs action and waits until the program is idle: the seconds it took.
double timed(const std::function<void()> &action);

// Runs `open`, which shows a modal window; once it is up, `prepare` fills it in
// and the click on its button `ok` starts the clock. The clock stops when the
// program is idle again: after the window closed, or inside it when it stays
// open (it is then closed untimed). Negative when the window or button never came.
double timeModalOk(const std::function<void()> &open, const std::function<void(QWidget &)> &prepare,
                   const char *ok, bool staysOpen = false);

} // namespace BenchDriver
