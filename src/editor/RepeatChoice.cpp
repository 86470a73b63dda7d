#include "RepeatChoice.h"

#include "i18n/LanguageTables.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QSpinBox>

#include <algorithm>
#include <iterator>

namespace {

using Unit = RepeatRule::Unit;

// The list's items in order: the key of the caption, the unit and the interval
// (0: the count's).
struct Item
{
    const char *key;
    Unit unit;
    int interval;
};
const Item Items[] = {
    {"Never", Unit::Never, 1},         {"Day", Unit::Day, 1},
    {"Weekday", Unit::Weekday, 1},     {"Week", Unit::Week, 1},
    {"TwoWeeks", Unit::Week, 2},       {"Month", Unit::Month, 1},
    {"Year", Unit::Year, 1},           {"NDays", Unit::Day, 0},
    {"NWeeks", Unit::Week, 0},         {"NMonths", Unit::Month, 0},
    {"Elsewhere", Unit::Elsewhere, 1},
};
constexpr int ElsewhereItem = int(std::size(Items)) - 1;

} // namespace

RepeatChoice::RepeatChoice(QWidget *dialog)
    : QObject(dialog), m_label(new QLabel(dialog)), m_list(new QComboBox(dialog)),
      m_count(new QSpinBox(dialog))
{
    m_label->setObjectName(QStringLiteral("Label_repeat"));
    m_list->setObjectName(QStringLiteral("ComboBox_repeat"));
    m_count->setObjectName(QStringLiteral("SpinEdit_repeat"));
    m_label->setBuddy(m_list);
    // Narrow, so the row fits beside the buttons at the dialog's smallest; the open
    // list shows the captions whole.
    m_list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_list->setMinimumContentsLength(10);
    m_count->setRange(2, RepeatRule::MaxInterval);
    m_count->setValue(2);
    for (int i = 0; i < ElsewhereItem; ++i)
        m_list->addItem(QString());
    connect(m_list, &QComboBox::currentIndexChanged, this, [this] { countShownOrHidden(); });
    applyLanguage(Language::English);
    show({});
}

void RepeatChoice::applyLanguage(Language language)
{
    m_language = language;
    m_label->setText(text("Repeat"));
    // The count is known by the label's words with the N it stands for.
    m_count->setAccessibleName(text("Repeat").remove(QLatin1Char('&')).remove(QLatin1Char(':')) +
                               QStringLiteral(" N"));
    for (int i = 0; i < m_list->count(); ++i)
        m_list->setItemText(i, text(Items[i].key));
}

QString RepeatChoice::words(const RepeatRule &rule, Language language)
{
    const auto text = [language](const char *key) {
        return LanguageTables::text(LanguageTables::repeatTexts(), key, language);
    };
    if (!rule.repeats())
        return {};
    if (rule.unit() == Unit::Elsewhere)
        return text("Elsewhere");
    if (rule.interval() > 1 && rule.unit() != Unit::Elsewhere) {
        const char *key = rule.unit() == Unit::Day    ? "WordsDay"
                          : rule.unit() == Unit::Week ? "WordsWeek"
                                                      : "WordsMonth";
        return text(key).arg(rule.interval());
    }
    for (const Item &item : Items)
        if (item.unit == rule.unit() && item.interval == 1)
            return text("Repeat").remove(QLatin1Char('&')) + QLatin1Char(' ') + text(item.key);
    return {};
}

QString RepeatChoice::text(const char *key) const
{
    return LanguageTables::text(LanguageTables::repeatTexts(), key, m_language);
}

void RepeatChoice::show(const RepeatRule &rule)
{
    const bool elsewhere = rule.unit() == Unit::Elsewhere;
    if (elsewhere && m_list->count() == ElsewhereItem)
        m_list->addItem(text(Items[ElsewhereItem].key));
    else if (!elsewhere && m_list->count() > ElsewhereItem)
        m_list->removeItem(ElsewhereItem);
    m_elsewhere = elsewhere ? rule : RepeatRule();
    int index = 0;
    if (elsewhere) {
        index = ElsewhereItem;
    } else {
        for (int i = 0; i < ElsewhereItem; ++i) {
            const Item &item = Items[i];
            const bool counted = item.interval == 0 && rule.interval() > 1;
            if (item.unit == rule.unit() && (item.interval == rule.interval() || counted)) {
                index = i;
                break;
            }
        }
        if (Items[index].interval == 0)
            m_count->setValue(rule.interval());
    }
    m_list->setCurrentIndex(index);
    countShownOrHidden();
}

RepeatRule RepeatChoice::rule(const QDate &taskDate) const
{
    const int index = m_list->currentIndex();
    if (index < 0)
        return {};
    if (index == ElsewhereItem)
        return m_elsewhere;
    const Item &item = Items[index];
    if (item.unit == Unit::Never)
        return {};
    return RepeatRule::every(item.unit, item.interval == 0 ? m_count->value() : item.interval,
                             taskDate);
}

void RepeatChoice::countShownOrHidden()
{
    const int index = m_list->currentIndex();
    m_count->setVisible(index >= 0 && index < ElsewhereItem && Items[index].interval == 0);
    if (m_arrangeAgain)
        m_arrangeAgain();
}

int RepeatChoice::arrange(int labelLeft, int fieldLeft, int top, int rowHeight, int right)
{
    m_arrangeAgain = [=] { arrange(labelLeft, fieldLeft, top, rowHeight, right); };
    const int labelWidth = m_label->sizeHint().width();
    m_label->setGeometry(labelLeft, top, labelWidth, rowHeight);
    const int listLeft = std::max(fieldLeft, labelLeft + labelWidth + 4);
    const int countWidth = m_count->sizeHint().width();
    const int wanted = m_list->sizeHint().width();
    const bool counted = m_count->isVisibleTo(m_list->parentWidget());
    const int room = right - listLeft - (counted ? 3 + countWidth : 0);
    const int narrow = counted ? std::max(40, std::min(wanted, room)) : wanted;
    // The chosen caption is shown whole where the row has room for it.
    const QFontMetrics metrics = m_list->fontMetrics();
    const int whole = wanted + metrics.horizontalAdvance(m_list->currentText()) -
                      metrics.horizontalAdvance(QLatin1Char('x')) * m_list->minimumContentsLength();
    const int listWidth = std::max(narrow, std::min(whole, room));
    m_list->setGeometry(listLeft, top, listWidth, rowHeight);
    m_count->setGeometry(listLeft + listWidth + 3, top, countWidth, rowHeight);
    return listLeft + wanted;
}
