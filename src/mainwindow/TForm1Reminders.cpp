// The start-up agenda and the alarm timer.

#include "TForm1.h"

#include "i18n/LanguageTables.h"
#include "platform/Clock.h"
#include "platform/MessageService.h"
#include "platform/NotificationService.h"
#include "reminders/AlarmTimer.h"
#include "reminders/Reminders.h"
#include "store/Settings.h"
#include "widgets/TaskGrid.h"

#include <QPointer>

namespace {

// The same tasks in the desktop's notification list, under a summary of their own;
// picking the notification brings the main window to the front.
void notifyDesktop(const AppContext &ctx, TForm1 *window, Language language, const char *summaryKey,
                   const QString &text, NotificationService::Urgency urgency)
{
    if (!ctx.notifications || !ctx.settings->flag(SettingKey::DesktopNotify))
        return;
    const auto caption = [language](const char *key) {
        return LanguageTables::text(LanguageTables::reminderTexts(), key, language);
    };
    ctx.notifications->notify(caption(summaryKey), Reminders::taskLines(text), urgency,
                              caption("NotifyShow"), [window = QPointer<TForm1>(window)] {
                                  if (window)
                                      window->bringToFront();
                              });
}

} // namespace

void TForm1::ShowAgenda()
{
    if (!m_ctx.settings->flag(SettingKey::Alert_s))
        return;
    const QString text = Reminders::agendaText(*m_table, *m_ctx.dates, m_ctx.clock->today());
    if (!Reminders::listsTasks(text, Reminders::AgendaHeading))
        return;
    notifyDesktop(m_ctx, this, language(), "NotifyAgenda", text,
                  NotificationService::Urgency::Normal);
    m_ctx.messages->show(isVisible() ? this : nullptr,
                         {QLatin1Char(' ') + AppTitle, text, MsgIcon::Information, MsgButtons::Ok});
}

void TForm1::Timer1Timer()
{
    // A late tick also alerts the minutes it skipped, in the same box.
    const auto minutes = m_alarm.minutesToCheck(m_ctx.clock->now());
    const QString text = minutes ? Reminders::alertText(*m_table, *m_ctx.dates, minutes->first,
                                                        minutes->last, &m_alarm.alertedTasks())
                                 : Reminders::AlertHeading + QLatin1Char('\r');
    if (Reminders::listsTasks(text, Reminders::AlertHeading)) {
        m_alarm.alerted();
        notifyDesktop(m_ctx, this, language(), "NotifyAlert", text,
                      NotificationService::Urgency::Critical);
        // No parent: the box must come to the front on its own even while this
        // window is hidden in the tray, and must not bring the window back.
        m_ctx.messages->show(nullptr, {AppTitle, text, MsgIcon::None, MsgButtons::Ok});
    }
    // The grid's colours depend on today's date.
    StringGrid1->viewport()->update();
}
