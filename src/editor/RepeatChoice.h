#pragma once

#include "i18n/LanguageTables.h"
#include "tasks/RepeatRule.h"

#include <QObject>

#include <functional>

class QComboBox;
class QLabel;
class QSpinBox;
class QWidget;

// The editor's "Repeat" choice: a list of the rules the editor makes, a count for
// "every N ...", and, for a task whose rule was set by another program, that rule
// kept as it came.
class RepeatChoice : public QObject
{
    Q_OBJECT
public:
    explicit RepeatChoice(QWidget *dialog);

    void applyLanguage(Language language);
    // The rule in words, as the grid's note tooltip gives it; empty for Never.
    static QString words(const RepeatRule &rule, Language language);
    // Shows the rule; Never for none.
    void show(const RepeatRule &rule);
    // The rule chosen, hung on the task's date.
    RepeatRule rule(const QDate &taskDate) const;
    // Lays the label out at labelLeft and the list at fieldLeft (or after the label
    // when that is wider) on the row at top, the count after it; the list gives the
    // count room before right. The right edge the label and the list need.
    int arrange(int labelLeft, int fieldLeft, int top, int rowHeight, int right);
    QComboBox *list() const { return m_list; }

private:
    void countShownOrHidden();
    QString text(const char *key) const;

    QLabel *m_label;
    QComboBox *m_list;
    QSpinBox *m_count;
    RepeatRule m_elsewhere; // the rule set elsewhere, while the list offers it
    Language m_language = Language::English;
    std::function<void()> m_arrangeAgain; // the last arrange, for the count shown or hidden
};
