#pragma once

#include <QObject>
#include <QRect>
#include <QSize>
#include <functional>

class QWidget;

// Size limits are given for the outer window, frame and caption included; Qt's
// are for the client area. The frame is known once the window manager has framed
// the window (none before it is shown, none offscreen).
QSize windowFrame(const QWidget *window);

// The primary screen's geometry (a 1024 x 768 screen when there is none).
QRect primaryScreenGeometry();

// Keeps a window's outer size within the limits it computes: applied at once,
// after each showing (once the window manager has framed the window) and at every
// move (a framing shows as one).
class OuterSizeLimits : public QObject
{
public:
    struct Limits
    {
        QSize minimum;
        QSize maximum;
    };
    OuterSizeLimits(QWidget *window, std::function<Limits()> limits);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void apply();

    QWidget *m_window;
    std::function<Limits()> m_limits;
};
