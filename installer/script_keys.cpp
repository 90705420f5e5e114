#include "installer/script_keys.h"

namespace installer {

// The German texts are Windows-1252 bytes: \xE4 is "ä", \xF6 "ö", \xFC "ü". A literal is split
// behind each escape so that the following letter is not read as a further hex digit.
constexpr ScriptKey kScriptKeys[] = {
    {ScriptKeyId::ZeltEnabled, "Zelt", "Enabled", "0"},
    {ScriptKeyId::StdFont, "fonts", "stdfont", "Tahoma"},
    {ScriptKeyId::AltFont, "fonts", "altfont", "MS Sans Serif"},
    {ScriptKeyId::PluginName, "plugin", "name", "Unbekanntes Plugin"},
    {ScriptKeyId::PluginVersion, "plugin", "version", "Unbekannte Version"},
    {ScriptKeyId::PluginCopyright, "plugin", "copyright", "Unbekanntes Copyright"},
    {ScriptKeyId::PluginWww, "plugin", "www", ""},
    {ScriptKeyId::PluginEmail, "plugin", "email", ""},
    {ScriptKeyId::Caption, "language", "caption", "Parcelon - [name]"},
    {ScriptKeyId::Welcome, "language", "welcome", "Willkommen zum [name] Installationsprogramm!"},
    {ScriptKeyId::Install, "language", "install",
     "Dieses wird jetzt [name] [version] auf Ihrem Computer installieren."},
    {ScriptKeyId::SelectEditor, "language", "selecteditor", "Bitte w\xE4" "hlen Sie Ihren &Editor aus:"},
    {ScriptKeyId::ZeltSelectEditor, "language", "zeltselecteditor",
     "Bitte w\xE4" "hlen Sie den gew\xFC" "nschten &Editor aus:"},
    {ScriptKeyId::UnknownEditor, "language", "unknowneditor", "Anderer Editor"},
    {ScriptKeyId::Homepage, "language", "homepage", "&Homepage"},
    {ScriptKeyId::SearchingFolder, "language", "searchingfolder", "Pluginordner wird gesucht..."},
    {ScriptKeyId::SelectFolder, "language", "selectfolder", "Bitte w\xE4" "hlen Sie Ihren &Pluginordner aus:"},
    {ScriptKeyId::Browse, "language", "browse", "&Durchsuchen..."},
    {ScriptKeyId::ExtractingFiles, "language", "extractingfiles", "Dateien werden entpackt..."},
    {ScriptKeyId::About, "language", "about", "&Info"},
    {ScriptKeyId::Next, "language", "next", "&Weiter"},
    {ScriptKeyId::Cancel, "language", "cancel", "&Abbrechen"},
    {ScriptKeyId::Ok, "language", "ok", "&OK"},
    {ScriptKeyId::Finished, "language", "finished", "Die Installation ist abgeschlossen."},
    {ScriptKeyId::FileOk, "language", "fileok", "OK"},
    {ScriptKeyId::FileError, "language", "fileerror", "Fehler"},
    {ScriptKeyId::ErrorCreateFolder, "language", "errorcreatefolder",
     "Der Pluginordner existiert nicht und konnte auch nicht erstellt werden."},
    {ScriptKeyId::ErrorSearchingFolder, "language", "errorsearchingfolder",
     "Ihr Pluginordner konnte leider nicht gefunden werden.\\nBitte w\xE4" "hlen Sie ihn manuell aus."},
    {ScriptKeyId::FinishedSuccess, "language", "finishedsuccess",
     "Die Installation wurde erfolgreich beendet.\\n\\nHinweise zum Start des Plugins entnehmen Sie bitte der "
     "Dokumentation Ihres Editors."},
    {ScriptKeyId::ErrorExtract, "language", "errorextract",
     "Beim Entpacken einer oder mehrerer Dateien sind Fehler aufgetreten. Wahrscheinlich arbeitet das Plugin "
     "nicht korrekt.\\n\\nWenn Sie bereits vorher eine \xE4" "ltere Version des Plugins installiert hatten, so "
     "k\xF6" "nnte diese schreibgesch\xFC" "tzt sein. In diesem Fall entfernen Sie bitte den Schreibschutz und "
     "installieren das Plugin erneut."},
    {ScriptKeyId::Quit, "language", "quit", "&Beenden"},
    {ScriptKeyId::ReallyQuit, "language", "reallyquit",
     "M\xF6" "chten Sie die Installation des Plugins wirklich abbrechen?"},
};

const size_t kScriptKeyCount = sizeof kScriptKeys / sizeof kScriptKeys[0];

// GetScriptKey indexes the table by id: row i must hold id i, and every id must have its row.
constexpr bool EveryRowAtItsId() {
  size_t row = 0;
  for (const ScriptKey& key : kScriptKeys) {
    if (static_cast<size_t>(key.id) != row++) return false;
  }
  return row == static_cast<size_t>(ScriptKeyId::ReallyQuit) + 1;
}
static_assert(EveryRowAtItsId(), "kScriptKeys: row i must hold ScriptKeyId i, one row per id");

const ScriptKey& GetScriptKey(ScriptKeyId id) { return kScriptKeys[static_cast<size_t>(id)]; }

}  // namespace installer
