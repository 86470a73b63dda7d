// The sync's texts and the Synchronisation dialog's captions.
#include "LanguageTables.h"

namespace {
constexpr TextProperty Caption = TextProperty::Caption;
constexpr TextProperty Window = TextProperty::WindowCaption;
} // namespace

namespace LanguageTables {

const std::vector<LanguageEntry> &syncTexts()
{
    static const std::vector<LanguageEntry> table = {
        {"ConflictCopy", Caption, 0, " (conflict copy)", " (cópia em conflito)"},
        {"SyncedAt", Caption, 0, "Synchronised at %1: %2 sent, %3 received.",
         "Sincronizado às %1: %2 enviados, %3 recebidos."},
        {"NotSyncedAt", Caption, 0, "Not synchronised at %1: %2", "Não sincronizado às %1: %2"},
        {"NeverSynced", Caption, 0, "Not synchronised yet.", "Ainda não sincronizado."},
        {"SyncOff", Caption, 0, "Synchronisation is off.", "A sincronização está desligada."},
        {"Syncing", Caption, 0, "Synchronising: %1 of %2 tasks sent...",
         "A sincronizar: %1 de %2 eventos enviados..."},
        {"SyncFailed", Caption, 0, "Nudgery: not synchronised", "Nudgery: não sincronizado"},
        {"CalendarGone", Caption, 0,
         "The calendar %1 is no longer on the server.\rMake it again and send every task to it?",
         "O calendário %1 já não está no servidor.\rCriá-lo de novo e enviar-lhe todos os "
         "eventos?"},
        {"MassDelete", Caption, 0,
         "%1 tasks were deleted on the server. Delete them here too?\r(No keeps them here and "
         "sends them back to the server.)",
         "%1 eventos foram apagados no servidor. Apagá-los aqui também?\r(Não mantém-nos aqui e "
         "envia-os de novo para o servidor.)"},
        // The password.
        {"NoPassword", Caption, 0, "No password was given for the sync.",
         "Não foi dada nenhuma palavra-passe para a sincronização."},
        {"NoPasswordKept", Caption, 0, "The desktop's secret store holds no password for %1.",
         "O cofre de senhas do ambiente de trabalho não guarda nenhuma palavra-passe de %1."},
        {"SecretStoreFailed", Caption, 0, "The desktop's secret store could not be used (%1).",
         "Não foi possível usar o cofre de senhas do ambiente de trabalho (%1)."},
        {"NoSecretStore", Caption, 0,
         "%1\r\rThe password is not kept: Nudgery asks for it once each time it starts.",
         "%1\r\rA palavra-passe não fica guardada: o Nudgery pede-a uma vez de cada vez que "
         "arranca."},
        {"PasswordOf", Caption, 0, "Password of %1 on %2:", "Palavra-passe de %1 em %2:"},
        // The connection.
        {"PlainHttpNotSent", Caption, 0,
         "The password was not sent: \"%1\" is a plain http address, which anyone on the way "
         "can read.",
         "A palavra-passe não foi enviada: \"%1\" é um endereço http simples, que qualquer um "
         "pelo caminho pode ler."},
        {"NoAnswerWithin", Caption, 0, "The server did not answer within %1 seconds.",
         "O servidor não respondeu em %1 segundos."},
        {"AnswerTooLarge", Caption, 0, "The server's answer is larger than %1 MB: it was cut off.",
         "A resposta do servidor tem mais de %1 MB: foi cortada."},
        {"CertificateRefused", Caption, 0,
         "The certificate of %1 was refused: %2. Its SHA-256 fingerprint is %3.",
         "O certificado de %1 foi recusado: %2. A sua impressão digital SHA-256 é %3."},
        {"Unreachable", Caption, 0, "The server %1 could not be reached: %2.",
         "Não foi possível chegar ao servidor %1: %2."},
        {"RedirectedAway", Caption, 0,
         "The server sent the request on to another server, %1: give that address instead.",
         "O servidor reencaminhou o pedido para outro servidor, %1: indique antes esse "
         "endereço."},
        {"RedirectLoop", Caption, 0,
         "The server sent the request round in a loop of redirections (%1).",
         "O servidor fez o pedido andar num ciclo de redirecionamentos (%1)."},
        {"Unreadable", Caption, 0, "The server's answer could not be read: %1.",
         "Não foi possível ler a resposta do servidor: %1."},
        // Finding the calendars.
        {"RefusedLogin", Caption, 0, "The server refused the user name or password.",
         "O servidor recusou o nome de utilizador ou a palavra-passe."},
        {"NoTaskCalendar", Caption, 0, "The calendar at %1 holds no tasks (to-dos).",
         "O calendário em %1 não guarda eventos (tarefas)."},
        {"NoCalendarsFound", Caption, 0, "No CalDAV calendars were found at %1 (status %2).",
         "Não foram encontrados calendários CalDAV em %1 (estado %2)."},
        {"NoCalendarHome", Caption, 0, "The server names no calendar home for the user at %1.",
         "O servidor não indica nenhuma pasta de calendários para o utilizador em %1."},
        {"CalendarsNotListed", Caption, 0,
         "The server did not list the calendars at %1 (status %2).",
         "O servidor não listou os calendários em %1 (estado %2)."},
        {"CalendarNotMade", Caption, 0, "The calendar could not be made (status %1).",
         "Não foi possível criar o calendário (estado %1)."},
        // A sync's failures; %1 of the answers is what was asked.
        {"RefusedLoginAt", Caption, 0, "The server refused the user name or password for %1.",
         "O servidor recusou o nome de utilizador ou a palavra-passe para %1."},
        {"RefusedAccess", Caption, 0, "The server refused access to %1.",
         "O servidor recusou o acesso a %1."},
        {"NoCalendarAt", Caption, 0, "There is no calendar at %1.",
         "Não há nenhum calendário em %1."},
        {"AnsweredWebPage", Caption, 0,
         "The server answered %1 with a web page (status %2) instead of calendar data: is %3 the "
         "address of a calendar?",
         "O servidor respondeu com uma página web (estado %2) em vez de dados de calendário "
         "(%1): %3 é o endereço de um calendário?"},
        {"AnsweredStatus", Caption, 0, "The server answered %1 with status %2.",
         "O servidor respondeu com o estado %2 (%1)."},
        {"AskedList", Caption, 0, "the list of tasks", "lista de eventos"},
        {"AskedNewCalendar", Caption, 0, "the new calendar", "novo calendário"},
        {"AskedTasks", Caption, 0, "the tasks asked for", "eventos pedidos"},
        {"AskedTask", Caption, 0, "a task asked for", "evento pedido"},
        {"AskedSent", Caption, 0, "a task sent", "evento enviado"},
        {"CalendarVanished", Caption, 0,
         "The calendar %1 is no longer on the server. Nothing was changed here.",
         "O calendário %1 já não está no servidor. Nada foi alterado aqui."},
        // What a sync left alone.
        {"NoteUnreadable", Caption, 0,
         "The task at %1 of the server cannot be read, so the change of \"%2\" was not sent.",
         "O evento em %1 do servidor não pode ser lido, por isso a alteração de \"%2\" não foi "
         "enviada."},
        {"NoteChangedThere", Caption, 0,
         "The task at %1 changed on the server while it was being sent: it is sent again next "
         "time.",
         "O evento em %1 mudou no servidor enquanto era enviado: é enviado de novo da próxima "
         "vez."},
        {"NoteRefused", Caption, 0, "The server refused the task \"%1\" (status %2).",
         "O servidor recusou o evento \"%1\" (estado %2)."},
        {"NoteLeftAsItWas", Caption, 0, "The task at %1 of the server was left as it was: %2.",
         "O evento em %1 do servidor ficou como estava: %2."},
        {"NoteLeftAlone", Caption, 0, "The item %1 of the server was left alone: %2.",
         "O item %1 do servidor não foi tocado: %2."},
        // Why an item of the server is no task the program can hold.
        {"ReasonNoCalendar", Caption, 0, "it is no iCalendar object", "não é um objeto iCalendar"},
        {"ReasonNoTodo", Caption, 0, "it holds no to-do", "não contém nenhuma tarefa"},
        {"ReasonNoUid", Caption, 0, "its to-do has no UID", "a sua tarefa não tem UID"},
        {"ReasonUnreadable", Caption, 0, "it could not be read", "não foi possível lê-lo"},
        {"ReasonNoSummary", Caption, 0, "its to-do has no summary", "a sua tarefa não tem resumo"},
        {"NoteSameUid", Caption, 0,
         "The item %1 of the server was left alone: another item has its UID \"%2\".",
         "O item %1 do servidor não foi tocado: outro item tem o seu UID \"%2\"."},
    };
    return table;
}

const std::vector<LanguageEntry> &syncWindow()
{
    static const std::vector<LanguageEntry> table = {
        {"", Window, 0, "Synchronisation", "Sincronização"},
        {"Label_syncAddress", Caption, 0, "Server &address:", "&Endereço do servidor:"},
        {"Label_syncUser", Caption, 0, "&User name:", "&Utilizador:"},
        {"Label_syncPassword", Caption, 0, "&Password:", "&Palavra-passe:"},
        {"Label_syncCalendar", Caption, 0, "Task &calendar:", "&Calendário de eventos:"},
        {"Button_syncTest", Caption, 0, "&Test connection", "&Testar ligação"},
        {"CheckBox_syncOn", Caption, 0, "&Synchronise this task list",
         "&Sincronizar esta lista de eventos"},
        {"Button_syncOk", Caption, 0, "OK", "OK"},
        {"Button_syncCancel", Caption, 0, "Cancel", "Cancelar"},
        // Texts the dialog shows by key.
        {"CreateCalendar", Caption, 0, "Create one named Nudgery", "Criar um com o nome Nudgery"},
        {"PasswordKept", Caption, 0, "(kept in the desktop's secret store)",
         "(guardada no cofre de senhas do ambiente de trabalho)"},
        {"LastSync", Caption, 0, "Last synchronisation: %1", "Última sincronização: %1"},
        {"Connecting", Caption, 0, "Connecting...", "A ligar..."},
        {"Connected", Caption, 0, "Connected. Task calendars found: %1.",
         "Ligado. Calendários de eventos encontrados: %1."},
        {"NotConnected", Caption, 0, "Not connected: %1", "Sem ligação: %1"},
        {"NoAddress", Caption, 0, "\"%1\" is no http or https address.",
         "\"%1\" não é um endereço http ou https."},
        {"PlainHttp", Caption, 0,
         "\"%1\" is a plain http address: the password would go unencrypted to %2.\r\r"
         "Send it there anyway?",
         "\"%1\" é um endereço http simples: a palavra-passe seguiria sem cifra para %2.\r\r"
         "Enviá-la mesmo assim?"},
        {"PlainHttpRefused", Caption, 0, "the password was not sent over plain http.",
         "a palavra-passe não foi enviada por http simples."},
        {"TrustCertificate", Caption, 0,
         "The certificate of %1 does not verify: %2\r\rSHA-256 fingerprint:\r%3\r\r"
         "Trust this one certificate for this account?",
         "O certificado de %1 não é válido: %2\r\rImpressão digital SHA-256:\r%3\r\r"
         "Confiar neste certificado para esta conta?"},
    };
    return table;
}

} // namespace LanguageTables
