#include "sync_options.h"

#include <string_view>

SyncOptions ParseSyncOptions(int argc, const char* const* argv) {
    SyncOptions options;
    bool onlyCommandLine = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (onlyCommandLine || arg.size() < 2 || arg[0] != '-') {
            options.commandLine.emplace_back(arg);
        } else if (arg == "--") {
            onlyCommandLine = true;
        } else if (arg == "--vorschau" || arg == "--dry-run") {
            options.dryRun = true;
        } else if (arg == "--ja" || arg == "--yes") {
            options.yes = true;
        } else if (arg == "--leise" || arg == "--quiet") {
            options.quiet = true;
        } else if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--version") {
            options.version = true;
        } else if (options.error.empty()) {
            options.error =
                "Unbekannte Option: " + std::string(arg) + " (--help zeigt alle Optionen)";
        }
    }
    return options;
}

std::string UsageText() {
    return R"(Aufruf: gleichwart-sync [Optionen] '/Startordner|ORDNER' '/Zielordner|ORDNER' '/Regel|NAME'

Bringt den Zielordner nach einer Regel mit dem Startordner in Einklang, wie
"Ordner laden" und "Synchronisieren" im Fenster von Gleichwart. Die Regeln sind
dieselben, die im Fenster angelegt wurden; die Namen gelten in jeder Schreibweise.
Die Schlüssel /Startordner|, /Zielordner| und /Regel| stehen am Anfang oder nach
einem Leerzeichen; jeder andere Schrägstrich gehört zum Pfad. Weil die Shell "|"
als Pipe liest, stehen die Teile in Anführungszeichen, einzeln oder zusammen.

Optionen:
  --vorschau, --dry-run  zeigt nur, was geschähe, und ändert nichts:
                         + wird kopiert, < wird vom Ziel zurückkopiert,
                         - wird im Ziel gelöscht
  --ja, --yes            löscht ohne Rückfrage; ohne diese Option wird nur an
                         einem Terminal gefragt, sonst wird nichts gelöscht
  --leise, --quiet       zeigt nur Fehler
  --help, -h             zeigt diese Hilfe
  --version              zeigt die Version
  --                     alles Weitere gehört zur Befehlszeile

Beispiel:
  gleichwart-sync --ja '/Startordner|/home/anna/Fotos' \
      '/Zielordner|/media/stick/Fotos' '/Regel|Spiegeln'

Rückgabewerte:
  0  alles erledigt
  1  nicht alles erledigt: Dateien konnten nicht gelesen, kopiert oder gelöscht
     werden, oder das Löschen wurde ohne Terminal und ohne --ja übersprungen
  2  falsche Befehlszeile, Ordner oder Regel; nichts wurde verändert
  3  durch ein Signal (Strg+C, SIGTERM) abgebrochen; fertige Kopien bleiben,
     gelöscht wird nichts mehr
)";
}
