#pragma once

#include <QObject>
#include <functional>

class QKeyEvent;
class QWidget;

// Gives a window every key typed into it before its focused control sees it,
// once: the delivery to the focused control counts, not its propagation to the
// parents. What reaches the window itself while another window is active (the
// rest of a key that closed a dialog) was not typed into it. Lives as long as the
// window.
class KeyPreview : public QObject
{
    Q_OBJECT
public:
    // pressed: true when the key is used up and must not reach the control;
    // released: not for auto-repeats. Either may be empty.
    KeyPreview(QWidget *window, std::function<bool(const QKeyEvent &)> pressed,
               std::function<void(int key)> released);
    ~KeyPreview() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_window;
    std::function<bool(const QKeyEvent &)> m_pressed;
    std::function<void(int)> m_released;
};
