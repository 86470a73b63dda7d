#include "ReminderBoxes.h"

#include "i18n/LanguageTables.h"
#include "platform/AppContext.h"
#include "platform/HandlerGuard.h"
#include "platform/MessageService.h"
#include "platform/NotificationService.h"
#include "reminders/AlarmTimer.h"
#include "reminders/Reminders.h"
#include "store/Clock.h"
#include "store/Settings.h"
#include "tasks/TaskList.h"

#include <QPointer>
#include <QWidget>

ReminderBoxes::ReminderBoxes(AppContext &ctx, const TaskList &tasks, AlarmTimer &alarm,
                             QWidget *window)
    : QObject(window), m_ctx(ctx), m_tasks(tasks), m_alarm(alarm), m_window(window)
{
    connect(&m_alarm, &AlarmTimer::checkDue, this,
            [this] { runGuardedIn(*m_ctx.messages, m_window, [this] { Timer1Timer(); }); });
}

// The same tasks in the desktop's notification list, under a summary of their own;
// picking the notification brings the main window to the front.
void ReminderBoxes::notifyDesktop(const char *summaryKey, const QString &text, bool urgent)
{
    if (!m_ctx.notifications || !m_ctx.settings->flag(SettingKey::DesktopNotify))
        return;
    const Language language = chosenLanguage(*m_ctx.settings);
    const auto caption = [language](const char *key) {
        return LanguageTables::text(LanguageTables::reminderTexts(), key, language);
    };
    m_ctx.notifications->notify(caption(summaryKey), Reminders::taskLines(text),
                                urgent ? NotificationService::Urgency::Critical
                                       : NotificationService::Urgency::Normal,
                                caption("NotifyShow"), [self = QPointer<ReminderBoxes>(this)] {
                                    if (self)
                                        emit self->windowWanted();
                                });
}

void ReminderBoxes::ShowAgenda()
{
    if (!m_ctx.settings->flag(SettingKey::Alert_s))
        return;
    const QString text = Reminders::agendaText(m_tasks.table(), *m_ctx.dates, m_ctx.clock->today());
    if (!Reminders::listsTasks(text, Reminders::AgendaHeading))
        return;
    notifyDesktop("NotifyAgenda", text, false);
    m_ctx.messages->show(m_window->isVisible() ? m_window : nullptr,
                         {QLatin1Char(' ') + AppTitle, text, MsgIcon::Information, MsgButtons::Ok});
}

void ReminderBoxes::Timer1Timer()
{
    // A late tick also alerts the minutes it skipped, in the same box.
    const auto minutes = m_alarm.minutesToCheck(m_ctx.clock->now());
    const QString text = minutes
                             ? Reminders::alertText(m_tasks.table(), *m_ctx.dates, minutes->first,
                                                    minutes->last, &m_alarm.alertedTasks())
                             : Reminders::AlertHeading + QLatin1Char('\r');
    if (Reminders::listsTasks(text, Reminders::AlertHeading)) {
        m_alarm.alerted();
        notifyDesktop("NotifyAlert", text, true);
        // No parent: the box must come to the front on its own even while the
        // window is hidden in the tray, and must not bring the window back.
        m_ctx.messages->show(nullptr, {AppTitle, text, MsgIcon::None, MsgButtons::Ok});
    }
    // The grid's colours depend on today's date.
    emit checked();
}
