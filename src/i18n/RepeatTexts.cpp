// Repeating tasks: the editor's choice and the rule in words.
#include "LanguageTables.h"

namespace {
constexpr TextProperty Caption = TextProperty::Caption;
} // namespace

namespace LanguageTables {

const std::vector<LanguageEntry> &repeatTexts()
{
    static const std::vector<LanguageEntry> table = {
        {"Repeat", Caption, 0, "&Repeat:", "&Repetir:"},
        {"Never", Caption, 0, "never", "nunca"},
        {"Day", Caption, 0, "every day", "todos os dias"},
        {"Weekday", Caption, 0, "every weekday (Mon-Fri)", "dias úteis (2ª a 6ª)"},
        {"Week", Caption, 0, "every week", "todas as semanas"},
        {"TwoWeeks", Caption, 0, "every 2 weeks", "de 2 em 2 semanas"},
        {"Month", Caption, 0, "every month", "todos os meses"},
        {"Year", Caption, 0, "every year", "todos os anos"},
        {"NDays", Caption, 0, "every N days", "de N em N dias"},
        {"NWeeks", Caption, 0, "every N weeks", "de N em N semanas"},
        {"NMonths", Caption, 0, "every N months", "de N em N meses"},
        {"Elsewhere", Caption, 0, "repeats (rule set elsewhere)",
         "repete (regra definida noutro programa)"},
        // The rule in words, for the note's tooltip.
        {"WordsDay", Caption, 0, "Repeats every %1 days", "Repete de %1 em %1 dias"},
        {"WordsWeek", Caption, 0, "Repeats every %1 weeks", "Repete de %1 em %1 semanas"},
        {"WordsMonth", Caption, 0, "Repeats every %1 months", "Repete de %1 em %1 meses"},
    };
    return table;
}

} // namespace LanguageTables
