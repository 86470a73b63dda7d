#include "OuterSize.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWidget>

QSize windowFrame(const QWidget *window)
{
    return window->isVisible() ? window->frameGeometry().size() - window->size() : QSize(0, 0);
}

QRect primaryScreenGeometry()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry() : QRect(0, 0, 1024, 768);
}

OuterSizeLimits::OuterSizeLimits(QWidget *window, std::function<Limits()> limits)
    : QObject(window), m_window(window), m_limits(std::move(limits))
{
    window->installEventFilter(this);
    apply();
}

bool OuterSizeLimits::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window && event->type() == QEvent::Show)
        QTimer::singleShot(0, this, [this] { apply(); });
    else if (watched == m_window && event->type() == QEvent::Move)
        apply();
    return false;
}

void OuterSizeLimits::apply()
{
    const QSize frame = windowFrame(m_window);
    const Limits limits = m_limits();
    m_window->setMinimumSize(limits.minimum - frame);
    m_window->setMaximumSize(limits.maximum - frame);
}
