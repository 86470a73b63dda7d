// The caption tables. Each row: component, property, English, Portuguese.
#include "LanguageTables.h"

#include "store/Settings.h"

bool languageFromName(const QString &name, Language &language)
{
    if (name == QLatin1String("English"))
        language = Language::English;
    else if (name == QLatin1String("Portuguese"))
        language = Language::Portuguese;
    else
        return false;
    return true;
}

Language chosenLanguage(const Settings &settings)
{
    Language language = Language::English;
    languageFromName(settings.text(SettingKey::Language), language);
    return language;
}

QString LanguageEntry::text(Language language) const
{
    return QString::fromUtf8(language == Language::English ? english : portuguese);
}

namespace {
constexpr TextProperty Caption = TextProperty::Caption;
constexpr TextProperty Hint = TextProperty::Hint;
constexpr TextProperty Header = TextProperty::Header;
constexpr TextProperty Window = TextProperty::WindowCaption;
constexpr TextProperty Name = TextProperty::Name;
} // namespace

namespace LanguageTables {

QString englishCaption(const std::vector<LanguageEntry> &table, const char *component,
                       const std::vector<CaptionTwin> &twins)
{
    const QLatin1String name(component);
    for (const LanguageEntry &e : table)
        if (e.property == TextProperty::Caption && name == QLatin1String(e.component))
            return e.text(Language::English);
    for (const CaptionTwin &twin : twins)
        if (name == QLatin1String(twin.target))
            return englishCaption(table, twin.source);
    return {};
}

// The main window: menus, context menus, tray menu, grid headers, tool-button hints.
const std::vector<LanguageEntry> &mainWindow()
{
    static const std::vector<LanguageEntry> table = {
        {"Menu_File", Caption, 0, "&File", "&Ficheiro"},
        {"Menu_ArchiveTask", Caption, 0, "&Archive Task", "Arquivar &Evento"},
        {"Menu_OpenArchive", Caption, 0, "&Open Archive...", "&Abrir Arquivo..."},
        {"Menu_Restore", Caption, 0, "&Restore from backup...", "&Restaurar cópia de segurança..."},
        {"Menu_ExportIcs", Caption, 0, "&Export to iCalendar...", "E&xportar para iCalendar..."},
        {"Menu_ImportIcs", Caption, 0, "&Import from iCalendar...", "Im&portar de iCalendar..."},
        {"Menu_Sync", Caption, 0, "S&ynchronisation...", "Sincroni&zação..."},
        {"Menu_SyncNow", Caption, 0, "Synchronise no&w\tF5", "Sincronizar a&gora\tF5"},
        {"Menu_Minimize", Caption, 0, "Mi&nimize", "Mi&nimizar"},
        {"Menu_Print", Caption, 0, "&Print...", "&Imprimir..."},
        {"Menu_SavetoFile", Caption, 0, "&Show in Notepad...", "&Mostrar no Notepad..."},
        {"Menu_Exit", Caption, 0, "E&xit", "&Sair"},
        {"Menu_Edit", Caption, 0, "&Edit", "&Editar"},
        {"Menu_CheckUncheck", Caption, 0, "&Check/Uncheck Task", "&Marca/Desmarca Evento"},
        {"Menu_AddTask", Caption, 0, "&Add Task", "&Adiciona Evento"},
        {"Menu_EditTask", Caption, 0, "&Edit Task", "&Editar Evento"},
        {"Menu_DeleteTask", Caption, 0, "&Delete Task", "Apa&gar Evento"},
        {"Menu_Preferences", Caption, 0, "&Options ...", "&Opções ..."},
        {"Menu_Search", Caption, 0, "Searc&h list ...", "&Procura na lista ..."},
        {"Menu_View", Caption, 0, "&View", "&Visualizar"},
        {"Menu_Sort", Caption, 0, "&Sort", "&Organizar"},
        {"Menu_SortByTask", Caption, 0, "By &task", "Por &evento"},
        {"Menu_SortByDate", Caption, 0, "By &date", "Por &data"},
        {"Menu_SortByHour", Caption, 0, "By &hour", "Por &hora"},
        {"Menu_SortByCategory", Caption, 0, "By &category", "Por &categoria"},
        {"Menu_SortByStatus", Caption, 0, "By &status", "Por &status"},
        {"Menu_NotesPane", Caption, 0, "&Note's pane", "Painel de &Notas"},
        {"Menu_Category", Caption, 0, "&Category", "&Categoria"},
        {"Menu_AddCategory", Caption, 0, "&Add Category", "&Nova Categoria"},
        {"Menu_DeleteCategory", Caption, 0, "&Delete Category", "&Apaga Categoria"},
        {"Menu_AllItems", Caption, 0, "All &Items", "All &Items"},
        {"Menu_Help", Caption, 0, "&Help", "&Ajuda"},
        {"Menu_HelpFile", Caption, 0, "&Help ...", "&Ajuda ..."},
        {"Menu_SoftwareNews", Caption, 0, "Software &news...", "&Novidades do Software..."},
        {"Menu_CheckNewVersion", Caption, 0, "Check new versions *", "Nova &versão *"},
        {"Menu_Donations", Caption, 0, "&Donations...", "&Donativos..."},
        {"Menu_About", Caption, 0, "&About ...", "A&cerca ..."},
        {"pop2_Preferences", Caption, 0, "Pre&ferences ...", "&Opções ..."},
        {"pop3_Copy", Caption, 0, "Copy all to clipbrd", "Copia tudo pª clipbrd"},
        {"pop3_HideNotespane", Caption, 0, "Hide note's pane", "Esconde painel de Notas"},
        {"pop1_Show", Caption, 0, "&Show", "&Mostrar"},
        {"pop1_AddTask", Caption, 0, "&Add Task", "&Novo Evento"},
        {"StringGrid1", Header, 0, "", ""},
        {"StringGrid1", Header, 1, "Task", "Evento"},
        {"StringGrid1", Header, 2, "Date", "Data"},
        {"StringGrid1", Header, 3, "Hour", "Hora"},
        {"StringGrid1", Header, 4, "Pr", "Pr"},
        {"SpeedButton2", Hint, 0, " Minimize ", " Minimizar "},
        {"SpeedButton3", Hint, 0, " Check/Uncheck ", " Marca/Desmarca "},
        {"SpeedButton4", Hint, 0, " Add New Task ", " Adiciona Novo Evento "},
        {"SpeedButton6", Hint, 0, " Edit Task ", " Editar Evento "},
        {"SpeedButton5", Hint, 0, " Delete Task ", " Apagar Evento "},
        {"SpeedButton14", Hint, 0, " Archive Task ", " Arquivar Evento "},
        {"SpeedButton7", Hint, 0, " Preferences ", " Opções "},
        {"SpeedButton9", Hint, 0, " About ... ", " Acerca ... "},
        {"SpeedButton1", Hint, 0, " Exit ", " Sair "},
        {"pop4_VisibleCols", Caption, 0, "Visible cols :", "Mostrar cols :"},
        {"pop4_DoneCol", Caption, 0, "Done", "X"},
        {"pop4_TaskDescript", Caption, 0, "Task descript.", "evento"},
        {"pop4_DateCol", Caption, 0, "Date", "Data"},
        {"pop4_HourCol", Caption, 0, "Hour", "Hora"},
        {"pop4_PriorityCol", Caption, 0, "Priority", "Prioridade"},
        {"StringGrid1", Name, 0, "Tasks", "Eventos"},
        {"Memo_notes", Name, 0, "Note", "Nota"},
        {"ComboBox1", Name, 0, "Category", "Categoria"},
    };
    return table;
}

// The task editor.
const std::vector<LanguageEntry> &editor()
{
    static const std::vector<LanguageEntry> table = {
        {"Button_ok", Caption, 0, "&Ok", "&Ok"},
        {"Button_cancel", Caption, 0, "&Cancel", "&Cancelar"},
        {"Label1", Caption, 0, "Task:", "Evento:"},
        {"Label2", Caption, 0, "Date:", "Data:"},
        {"Label7", Caption, 0, "Time:", "Hora:"},
        {"Label5", Caption, 0, "Note:", "Nota:"},
        {"Label8", Caption, 0, "Txt Color:", "Cor do txt:"},
        {"Label3", Caption, 0, "Priority:", "Prioridade:"},
        {"Label9", Caption, 0, "Category:", "Categoria:"},
        {"Image1", Hint, 0, "show calendar", "mostra calendario"},
        {"SpeedButton5", Hint, 0, "Add category...", "Nova categoria..."},
        {"pop1_Clear", Caption, 0, "Clear", "Limpar"},
        {"pop1_Now", Caption, 0, "Now ...", "Agora ..."},
        {"pop2_Cut", Caption, 0, "Cut", "Cortar"},
        {"pop2_Copy", Caption, 0, "Copy", "Copiar"},
        {"pop2_Paste", Caption, 0, "Paste", "Colar"},
        {"pop2_Selectall", Caption, 0, "Select all", "Selecionar tudo"},
        {"ScrollBar1", Hint, 0, "scrool months", "passar meses"},
        {"ScrollBar2", Name, 0, "Hour", "Hora"},
        {"Edit4", Name, 0, "Minutes", "Minutos"},
        {"ScrollBar3", Name, 0, "Minutes", "Minutos"},
        {"Calendar1", Name, 0, "Calendar", "Calendário"},
    };
    return table;
}

// The preferences dialog.
const std::vector<LanguageEntry> &preferences()
{
    static const std::vector<LanguageEntry> table = {
        {"", Window, 0, "  Preferences ...", "  Opções ..."},
        {"Label2", Caption, 0, "  Interface *  ", "  Interface *  "},
        {"CheckBox1", Caption, 0, "Stay on Top", "Sempre por cima"},
        {"CheckBox12", Caption, 0, "Hide top menus", "Esconde menu principal"},
        {"CheckBox13", Caption, 0, "Hide toolbar", "Esconde barra de botões"},
        {"CheckBox18", Caption, 0, "Semi-transparent Window", "Janela semi-transparente"},
        {"CheckBox19", Caption, 0, "Flat toolbar buttons", "Botões da barra planos"},
        {"CheckBox3", Caption, 0, "Save Window Position", "Salvar posição"},
        {"CheckBox7", Caption, 0, "Save Window Size", "Salvar tamanho"},
        {"CheckBox2", Caption, 0, "Start Minimized", "Iniciar Minimizado"},
        {"CheckBox21", Caption, 0, "Save your custom col widths", "Salvar larguras de colunas"},
        {"Button_resetCols", Caption, 0, "< reset to default", "< repor a default"},
        {"Button_resetCols", Hint, 0, " reset column widths to default ",
         " repor larguras de colunas a default "},
        {"CheckBox22", Caption, 0, "Choose your language :", "Escolher idioma a usar :"},
        {"Label3", Caption, 0, "  Running && Tasks *  ", "  Utilização && Tarefas *  "},
        {"CheckBox6", Caption, 0, "Auto Run [on Windows start]",
         "Correr Auto [ao iniciar Windows]"},
        {"CheckBox15", Caption, 0, "Don't start on weekends if auto-run",
         "Não correr Auto nos fins de semana"},
        {"CheckBox9", Caption, 0, "Alert me of today's events [on start] ",
         "Alertar para eventos de hoje [ao iniciar] "},
        {"CheckBox8", Caption, 0, "Alert me at task finish time",
         "Alertar ao atingir hora do evento"},
        {"CheckBox11", Caption, 0, "Email me for tomorrow's events",
         "Enviar email de eventos pª amanhã"},
        {"CheckBox16", Caption, 0,
         "Default time for new items:", "Hora default para novos eventos:"},
        {"CheckBox5", Caption, 0, "Show Notes as Hints for rows",
         "Mostrar Notas como Hints nas linhas"},
        {"CheckBox17", Caption, 0, "Color code rows by priority",
         "Codificar prioridades por cor, por linha"},
        {"CheckBox23", Caption, 0, "Also show alerts as desktop notifications",
         "Mostrar alertas também como notificações"},
        {"Label4", Caption, 0, "  Archive *  ", "  Arquivar *  "},
        {"CheckBox10", Caption, 0, "Auto-archive finished items",
         "Auto-arquivar eventos finalizados"},
        {"CheckBox14", Caption, 0, "but don't ask everytime", "mas não confirmar todas as vezes"},
        {"Label5", Caption, 0, "  Network use *  ", "  Network *  "},
        {"CheckBox20", Caption, 0, "Save INI and Data to different/shared folder :",
         "Salvar INI e eventos em diretório partilhado :"},
        {"Button_option_dir", Hint, 0, " choose default save path ... ",
         " escolher diretorio para salvar ... "},
        {"CheckBox4", Caption, 0,
         "Date Format to use between PC's :", "Formato da Data a utilizar entre PC's :"},
        {"Button_pp_ok", Caption, 0, "Ok", "Ok"},
        {"Button_pp_cancel", Caption, 0, "Cancel", "Cancelar"},
        {"Edit_option_savepath", Name, 0, "Folder", "Pasta"},
        {"ComboBox2", Name, 0, "Language", "Idioma"},
        {"ComboBox1", Name, 0, "Default time for new items", "Hora default para novos eventos"},
    };
    return table;
}

// The archive viewer.
const std::vector<LanguageEntry> &archive()
{
    static const std::vector<LanguageEntry> table = {
        {"", Window, 0, " Nudgery - Archived Events", " Nudgery - Eventos Arquivados"},
        {"pop1_Unarchive", Caption, 0, "&Unarchive", "&Des-arquivar"},
        {"pop1_Delete", Caption, 0, "&Delete", "&Apagar"},
        {"pop1_Sort", Caption, 0, "&Sort", "&Organizar"},
        {"pop1_sortByname", Caption, 0, "By &name", "Por &evento"},
        {"pop1_sortBydate", Caption, 0, "By &date", "Por &data"},
        {"pop1_sortBycategory", Caption, 0, "By &category", "Por &categoria"},
        {"Preferences1", Caption, 0, "Pre&ferences...", "&Opções..."},
        {"pop1_Print", Caption, 0, "&Print...", "&Imprimir..."},
        {"StringGrid1", Header, 0, "", ""},
        {"StringGrid1", Header, 1, "Task", "Eventos"},
        {"StringGrid1", Header, 2, "Date", "Data"},
        {"StringGrid1", Header, 4, "Pr", "Pr"},
        {"Button_Del", Caption, 0, "Delete", "Apagar"},
        {"Button_Unarchive", Caption, 0, "Unarchive ...", "Des-arquivar ..."},
        {"Button_Menu", Hint, 0, " menu ", " menu "},
        {"Button_close", Caption, 0, "Close", "Fechar"},
        {"StringGrid1", Name, 0, "Archived tasks", "Eventos arquivados"},
    };
    return table;
}

// The archive viewer's preferences.
const std::vector<LanguageEntry> &archivePreferences()
{
    static const std::vector<LanguageEntry> table = {
        {"", Window, 0, " Preferences ...", " Opções ..."},
        {"CheckBox1", Caption, 0, "Save Window Position", "Salvar posição da janela"},
        {"CheckBox2", Caption, 0, "Save Window Size", "Salvar tamanho da janela"},
        {"CheckBox3", Caption, 0, "Confirm on un-archiving items", "Confirmar des-arquivar items"},
        {"Button_pp_ok", Caption, 0, "Done", "Fechar"},
    };
    return table;
}

// The one-line input dialog.
const std::vector<LanguageEntry> &input()
{
    static const std::vector<LanguageEntry> table = {
        {"SpeedButton1", Caption, 0, "Ok", "Ok"},
        {"SpeedButton2", Caption, 0, "Cancel", "Cancelar"},
        {"Edit1", Name, 0, "New category", "Nova categoria"},
        {"ComboBox1", Name, 0, "Category to delete", "Categoria a apagar"},
        {"Edit2", Name, 0, "Text to find", "Texto a procurar"},
    };
    return table;
}

// The main window's Edit > Undo item, by what it takes back; "Undo" when nothing.
const std::vector<LanguageEntry> &undoCaptions()
{
    static const std::vector<LanguageEntry> table = {
        {"Undo", Caption, 0, "&Undo", "&Desfazer"},
        {"UndoAdd", Caption, 0, "&Undo add", "&Desfazer adição"},
        {"UndoEdit", Caption, 0, "&Undo edit", "&Desfazer edição"},
        {"UndoTick", Caption, 0, "&Undo tick", "&Desfazer marca"},
        {"UndoUntick", Caption, 0, "&Undo untick", "&Desfazer desmarca"},
        {"UndoDelete", Caption, 0, "&Undo delete", "&Desfazer apagar"},
        {"UndoArchive", Caption, 0, "&Undo archive", "&Desfazer arquivar"},
        {"UndoUnarchive", Caption, 0, "&Undo unarchive", "&Desfazer desarquivar"},
        {"UndoCategoryDelete", Caption, 0, "&Undo category delete", "&Desfazer apagar categoria"},
        {"UndoArchiveDelete", Caption, 0, "&Undo delete in archive", "&Desfazer apagar no arquivo"},
        {"UndoImport", Caption, 0, "&Undo import", "&Desfazer importação"},
    };
    return table;
}

// The desktop notifications of the agenda and the alert: their summaries and the
// action that brings the window back.
const std::vector<LanguageEntry> &reminderTexts()
{
    static const std::vector<LanguageEntry> table = {
        {"NotifyAgenda", Caption, 0, "Today's tasks", "Eventos de hoje"},
        {"NotifyAlert", Caption, 0, "Alert", "Alerta"},
        {"NotifyShow", Caption, 0, "Show Nudgery", "Mostrar Nudgery"},
    };
    return table;
}

// The daily backups' messages, the restore dialog's and the iCalendar export's texts.
const std::vector<LanguageEntry> &backupTexts()
{
    static const std::vector<LanguageEntry> table = {
        {"BackupFailed", Caption, 0,
         "The daily backup of the task files could not be made in \"%1\".%2 The change itself "
         "was saved.",
         "Não foi possível fazer a cópia de segurança diária dos ficheiros em \"%1\".%2 "
         "A alteração foi guardada."},
        {"ExportTitle", Caption, 0, "Export to iCalendar", "Exportar para iCalendar"},
        {"Exported", Caption, 0, "%1 tasks exported to \"%2\".",
         "%1 eventos exportados para \"%2\"."},
        {"ImportTitle", Caption, 0, "Import from iCalendar", "Importar de iCalendar"},
        {"ImportProgress", Caption, 0, "Importing \"%1\" ...", "A importar \"%1\" ..."},
        {"ImportCancel", Caption, 0, "Cancel", "Cancelar"},
        {"Imported", Caption, 0, "%1 tasks imported.", "%1 eventos importados."},
        {"ImportedOne", Caption, 0, "1 task imported.", "1 evento importado."},
        {"ImportUpdated", Caption, 0,
         "%1 tasks of the file were in the list already (the same UID) and were updated "
         "instead of added again.",
         "%1 eventos do ficheiro já estavam na lista (o mesmo UID) e foram atualizados em vez "
         "de acrescentados de novo."},
        {"ImportUpdatedOne", Caption, 0,
         "1 task of the file was in the list already (the same UID) and was updated instead of "
         "added again.",
         "1 evento do ficheiro já estava na lista (o mesmo UID) e foi atualizado em vez de "
         "acrescentado de novo."},
        {"ImportOnlyEvents", Caption, 0, "0 tasks imported: the file holds no tasks, only events.",
         "0 eventos importados: o ficheiro não tem tarefas, só eventos de agenda."},
        {"TaskCount", Caption, 0, "%1 tasks", "%1 eventos"},
        {"TaskCountOne", Caption, 0, "1 task", "1 evento"},
        {"AndMore", Caption, 0, "and %1 more", "e mais %1"},
        {"ImportRefused", Caption, 0, "The file was not imported, nothing was changed: %1",
         "O ficheiro não foi importado, nada foi alterado: %1"},
        {"ImportReason", Caption, 0, "%1", "%1"},
        {"ImportTooLarge", Caption, 0, "it is larger than %1 MB.", "tem mais de %1 MB."},
        {"ImportLineTooLong", Caption, 0,
         "line %1 is longer than 1 MB (with its continuation lines).",
         "a linha %1 tem mais de 1 MB (com as linhas que a continuam)."},
        {"ImportTooDeep", Caption, 0, "its components are nested more than %1 deep.",
         "os componentes estão encaixados a mais de %1 níveis."},
        {"ImportBinary", Caption, 0, "it holds a NUL byte: it is not iCalendar text.",
         "contém um byte NUL: não é texto iCalendar."},
        {"ImportChanged", Caption, 0, "Changed:", "Alterados:"},
        {"ImportSkipped", Caption, 0, "Skipped:", "Ignorados:"},
        {"ImportCharacters", Caption, 0,
         "characters the task file cannot hold were replaced by the closest or \"?\"",
         "caracteres que o ficheiro não suporta foram substituídos pelo mais próximo ou \"?\""},
        {"ImportSeparator", Caption, 0, "a \"¦\" or a control character was replaced",
         "um \"¦\" ou um carácter de controlo foi substituído"},
        {"ImportTimeZone", Caption, 0, "the time was converted to local time from its time zone",
         "a hora foi convertida do seu fuso horário para a hora local"},
        {"ImportUnknownZone", Caption, 0, "unknown time zone: the time was taken as local time",
         "fuso horário desconhecido: a hora foi tomada como hora local"},
        {"ImportUnusableZone", Caption, 0,
         "a time zone whose rules cannot be used: the time was taken as local time",
         "fuso horário com regras que não se podem usar: a hora foi tomada como hora local"},
        {"ImportOutOfRange", Caption, 0,
         "the due date, in local time, lies outside the years 1 to 9999: taken as none",
         "a data, na hora local, fica fora dos anos 1 a 9999: tomada como nenhuma"},
        {"ImportStartDate", Caption, 0, "no due date: the start date was taken",
         "sem data limite: foi usada a data de início"},
        {"ImportNoDue", Caption, 0, "no due date: today, without an hour",
         "sem data: hoje, sem hora"},
        {"ImportBadHour", Caption, 0, "not a time of day: no hour was set",
         "não é uma hora do dia: ficou sem hora"},
        {"ImportBadPriority", Caption, 0, "a priority other than 0 to 9: none was set",
         "prioridade fora de 0 a 9: ficou sem prioridade"},
        {"ImportCategories", Caption, 0, "only the first category was kept",
         "só a primeira categoria foi mantida"},
        {"ImportCancelled", Caption, 0, "cancelled: imported as done",
         "cancelado: importado como feito"},
        {"ImportRepeat", Caption, 0,
         "its repetition gives no dates: imported as a task that does not repeat",
         "a repetição não dá datas: importado como tarefa que não se repete"},
        {"ImportAlarm", Caption, 0, "its alarm was left out: Nudgery alerts when a task falls due",
         "o alarme foi deixado de fora: o Nudgery avisa quando a tarefa vence"},
        {"ImportNoSummary", Caption, 0, "no summary", "sem resumo"},
        {"ImportBadDue", Caption, 0, "the due date is not a valid date", "a data não é válida"},
        {"RestoreTitle", Caption, 0, "Restore from backup", "Restaurar cópia de segurança"},
        {"RestoreLabel", Caption, 0, "Backup to restore (the current files are backed up first):",
         "Cópia a restaurar (os ficheiros atuais são copiados primeiro):"},
        {"RestoreItem", Caption, 0,
         "%1: as it was before that day's first change (%2 tasks, %3 "
         "archived)",
         "%1: como estava antes da primeira alteração desse dia (%2 eventos, %3 arquivados)"},
        {"RestoreItemBeforeRestore", Caption, 0,
         "%1 %2: as it was just before a restore (%3 tasks, %4 archived)",
         "%1 %2: como estava logo antes de um restauro (%3 eventos, %4 arquivados)"},
        {"RestoreEmpty", Caption, 0,
         "This backup holds no task: it was made before the first task was stored. Nothing was "
         "restored.",
         "Esta cópia não tem nenhum evento: foi feita antes de ser guardado o primeiro. Nada foi "
         "restaurado."},
        {"NoBackup", Caption, 0, "There is no backup yet.", "Ainda não há cópias de segurança."},
        {"RestoreRefused", Caption, 0,
         "The current files could not be backed up in \"%1\".%2 Nothing was restored.",
         "Não foi possível copiar os ficheiros atuais para \"%1\".%2 Nada foi restaurado."},
    };
    return table;
}

QString text(const std::vector<LanguageEntry> &table, const char *key, Language language)
{
    const QLatin1String name(key);
    for (const LanguageEntry &e : table)
        if (name == QLatin1String(e.component))
            return e.text(language);
    return {};
}

const std::vector<CaptionTwin> &mainTwins()
{
    static const std::vector<CaptionTwin> twins = {
        {"pop2_EditTask", "Menu_EditTask"},
        {"pop2_Deletetask", "Menu_DeleteTask"},
        {"pop2_Archivetask", "Menu_ArchiveTask"},
        {"pop2_Sort", "Menu_Sort"},
        {"pop2_SortByTask", "Menu_SortByTask"},
        {"pop2_SortByDate", "Menu_SortByDate"},
        {"pop2_SortByHour", "Menu_SortByHour"},
        {"pop2_SortByCategory", "Menu_SortByCategory"},
        {"pop2_SortByStatus", "Menu_SortByStatus"},
        {"pop2_About", "Menu_About"},
        {"pop1_Exit", "Menu_Exit"},
    };
    return twins;
}

const std::vector<CaptionTwin> &editorTwins()
{
    static const std::vector<CaptionTwin> twins = {
        {"SpeedButton4", "Button_ok"},
        {"SpeedButton3", "Button_cancel"},
    };
    return twins;
}

const std::vector<LanguageLeft> &preferencesLefts()
{
    static const std::vector<LanguageLeft> lefts = {
        {"CheckBox3", 158, 176},
        {"CheckBox7", 166, 176},
        {"CheckBox2", 174, 176},
        {"ComboBox1", 164, 188},
    };
    return lefts;
}

} // namespace LanguageTables
