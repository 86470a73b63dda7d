#pragma once

#include <QObject>
#include <functional>

class QWidget;

// Gives a window every key release inside it, once, before its focused control
// sees it (the control still gets it). Lives as long as the window.
class KeyReleasePreview : public QObject
{
    Q_OBJECT
public:
    KeyReleasePreview(QWidget *window, std::function<void(int key)> handler);
    ~KeyReleasePreview() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_window;
    std::function<void(int)> m_handler;
};
