#include "sync_options.h"

#include "engine/texts.h"

#include <array>
#include <string_view>

namespace {

// The options that only switch something on, each with its German and its English name.
struct Switch {
    std::string_view german, english, letter;
    bool SyncOptions::*field;
};
constexpr std::array<Switch, 12> kSwitches = {{
    {"--regeln", "--rules", "--rules", &SyncOptions::listRules},
    {"--vorschau", "--dry-run", "-n", &SyncOptions::dryRun},
    {"--ja", "--yes", "--yes", &SyncOptions::yes},
    {"--leise", "--quiet", "-q", &SyncOptions::quiet},
    {"--liste", "--verbose", "-v", &SyncOptions::listActions},
    {"--null", "--null", "-0", &SyncOptions::nullEnds},
    {"--help", "-h", "-h", &SyncOptions::help},
    {"--version", "--version", "--version", &SyncOptions::version},
    {"--konflikte-kopieren", "--copy-conflicts", "--copy-conflicts", &SyncOptions::copyConflicts},
    {"--verknuepfungen", "--links", "--links", &SyncOptions::links},
    {"--ordner-angleichen", "--folders", "--folders", &SyncOptions::folders},
    {"--rueckgaengig", "--undo", "--undo", &SyncOptions::undo},
}};

void SetError(SyncOptions& options, std::string message) {
    if (options.error.empty())
        options.error = std::move(message);
}

bool SetSwitch(SyncOptions& options, std::string_view arg) {
    for (const Switch& s : kSwitches)
        if (arg == s.german || arg == s.english || arg == s.letter) {
            options.*s.field = true;
            return true;
        }
    return false;
}

// Short switches written together, as "-nv0"; all or none are taken.
bool SetLetters(SyncOptions& options, std::string_view arg) {
    if (arg.size() < 3 || arg[1] == '-')
        return false;
    SyncOptions taken = options;
    for (const char letter : arg.substr(1))
        if (!SetSwitch(taken, std::string{'-', letter}))
            return false;
    options = std::move(taken);
    return true;
}

// The help, but for its last line, the licence.
constexpr const char* kUsage =
    R"(Aufruf: gleichwart-sync [Optionen] '/Startordner|ORDNER' '/Zielordner|ORDNER' '/Regel|NAME'
       gleichwart-sync [Optionen] [--regel NAME] START ZIEL
       gleichwart-sync --rueckgaengig [-n] [--ja]

Bringt den Zielordner nach einer Regel mit dem Startordner in Einklang, wie
"Ordner laden" und "Synchronisieren" im Fenster von Gleichwart. Die Regeln sind
dieselben, die im Fenster angelegt wurden; die Namen gelten in jeder Schreibweise.
Die Schlüssel /Startordner|, /Zielordner| und /Regel| stehen am Anfang oder nach
einem Leerzeichen; jeder andere Schrägstrich gehört zum Pfad. Weil die Shell "|"
als Pipe liest, stehen die Teile in Anführungszeichen, einzeln oder zusammen.
Leerzeichen am Anfang und Ende eines Werts entfallen, und ein zweites "|" beendet
ihn. Solche Ordner gibt die zweite Form weiter: START und ZIEL gelten Zeichen für
Zeichen; ohne --regel gilt die Regel "Aktualisieren". Beide Formen lassen sich
nicht mischen.

Optionen:
  -n, --vorschau, --dry-run
                         zeigt nur, was geschähe, und ändert nichts:
                         + wird kopiert, < wird vom Ziel zurückkopiert,
                         - wird im Ziel gelöscht, ? ist ein Konflikt
  --konflikte-kopieren, --copy-conflicts
                         kopiert auch Dateien mit gleichem Zeitpunkt, aber
                         anderer Größe als im Ziel (Konflikte); ohne diese
                         Option werden sie nur genannt
  --ja, --yes            löscht ohne Rückfrage; ohne diese Option wird nur an
                         einem Terminal gefragt, sonst wird nichts gelöscht
  -q, --leise, --quiet   zeigt nur Fehler
  -v, --liste, --verbose nennt jede Aktion, sobald sie getan ist, eine je
                         Zeile: + kopiert, < zurückkopiert, - gelöscht,
                         = Konflikt belassen, ! Pfad: Grund (fehlgeschlagen);
                         angelegte Ordner enden mit /
  -0, --null             beendet jeden aufgelisteten Pfad mit einem NUL statt
                         einem Zeilenende (für xargs -0); der Grund eines
                         Fehlers folgt als eigenes Feld. Alles Übrige geht
                         dann auf die Fehlerausgabe
  --regel NAME           die Regel für START ZIEL (sonst "Aktualisieren")
  --regel-text TEXT      statt einer gespeicherten Regel eine in ihrer
                         gespeicherten Form, z. B. 0|5|1|2 (kopieren|Zielseite|
                         Unterordner|Attribute)
  --verknuepfungen, --links
                         übernimmt symbolische Verknüpfungen als Verknüpfungen
  --ordner-angleichen, --folders
                         legt fehlende Ordner an und entfernt leer gewordene
  --ausschliessen MUSTER lässt aus, was das Muster trifft (wie in .gitignore:
                         *.tmp, build/, /oben, **/cache, !behalten); mehrfach
                         möglich, zusätzlich zu den Mustern der Regel
  --ausschliessen-aus DATEI
                         ebenso, ein Muster je Zeile der Datei
  --regeln               zeigt die gespeicherten Regeln und was sie tun
  --rueckgaengig, --undo macht den letzten Abgleich rückgängig, auch einen aus
                         dem Fenster: neue Dateien kommen in den Papierkorb,
                         ersetzte bekommen ihre alte Fassung zurück, gelöschte
                         kommen aus dem Papierkorb zurück. Was sich seither
                         geändert hat, bleibt und wird genannt. Mit -n nur
                         anzeigen; ohne --ja wird gefragt
  --help, -h             zeigt diese Hilfe
  --version              zeigt die Version
  --                     alles Weitere gehört zur Befehlszeile

Beispiel:
  gleichwart-sync --ja '/Startordner|/home/anna/Fotos' \
      '/Zielordner|/media/stick/Fotos' '/Regel|Spiegeln'
  gleichwart-sync --ja --regel Spiegeln /home/anna/Fotos /media/stick/Fotos

Rückgabewerte:
  0  alles erledigt
  1  nicht alles erledigt: Dateien konnten nicht gelesen, kopiert oder gelöscht
     werden, Konflikte blieben ungelöst, oder das Löschen wurde ohne Terminal
     und ohne --ja übersprungen
  2  falsche Befehlszeile, Ordner oder Regel, oder nichts rückgängig zu machen;
     nichts wurde verändert
  3  durch ein Signal (Strg+C, SIGTERM) abgebrochen; fertige Kopien bleiben,
     gelöscht wird nichts mehr

Der Fortschritt erscheint auf der Fehlerausgabe, wenn sie ein Terminal ist.

gleichwart-sync )" GLEICHWART_VERSION R"(, ohne jede Garantie.
)";

} // namespace

SyncOptions ParseSyncOptions(int argc, const char* const* argv) {
    SyncOptions options;
    bool onlyCommandLine = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (onlyCommandLine || arg.size() < 2 || arg[0] != '-') {
            options.commandLine.emplace_back(arg);
            continue;
        }
        if (arg == "--") {
            onlyCommandLine = true;
            continue;
        }
        if (arg == "--regel" || arg == "--regel-text" || arg == "--ausschliessen" ||
            arg == "--ausschliessen-aus") {
            // The value is the next argument as it is, even one that begins with "-".
            if (i + 1 >= argc) {
                SetError(options, arg == "--regel"
                                      ? "Nach --regel fehlt der Name einer Regel."
                                      : "Nach " + std::string(arg) + " fehlt ein Wert.");
                continue;
            }
            const std::string value = argv[++i];
            if (arg == "--regel")
                options.rule = value;
            else if (arg == "--regel-text")
                options.ruleText = value;
            else if (arg == "--ausschliessen")
                options.exclusions.push_back(value);
            else
                options.exclusionFiles.push_back(value);
            continue;
        }
        if (!SetSwitch(options, arg) && !SetLetters(options, arg))
            SetError(options,
                     "Unbekannte Option: " + std::string(arg) + " (--help zeigt alle Optionen)");
    }
    return options;
}

std::string UsageText() {
    return kUsage + std::string(kLicenceLine) + "\n";
}
