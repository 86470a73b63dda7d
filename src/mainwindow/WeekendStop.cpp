#include "WeekendStop.h"

#include "platform/MessageService.h"
#include "store/Settings.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

bool weekendStopApplies(const Settings &settings, bool autoRunStart, const QDate &today)
{
    if (!settings.flag(SettingKey::WeekendStop) || !autoRunStart)
        return false;
    const int day = today.dayOfWeek();
    return day == Qt::Saturday || day == Qt::Sunday;
}

void WeekendBoxTimerProc()
{
    QWidget *front = QApplication::activeModalWidget();
    if (!front)
        front = QApplication::activeWindow();
    if (front)
        front->close();
}

void showWeekendBox(MessageService &messages, int closeAfterMs)
{
    // The caption's "5 sec" is what users have always read; the box waits 6.
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &timer, &WeekendBoxTimerProc);
    timer.start(closeAfterMs);
    messages.show(nullptr,
                  {QStringLiteral("Nudgery  [ dialog closes in 5 sec ]"),
                   QStringLiteral("      Nudgery is set to *not* auto-run on weekends!!\r\r"
                                  "      You can always run it yourself now, from it's own\r"
                                  "      folder or some other existing link."),
                   MsgIcon::None, MsgButtons::Ok});
    timer.stop();
}
