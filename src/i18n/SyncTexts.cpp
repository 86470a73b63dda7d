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
        {"NoSecretStore", Caption, 0,
         "%1\r\rThe password is not kept: Nudgery asks for it once each time it starts.",
         "%1\r\rA palavra-passe não fica guardada: o Nudgery pede-a uma vez de cada vez que "
         "arranca."},
    };
    return table;
}

} // namespace LanguageTables
