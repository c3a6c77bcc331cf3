#include "app/application.h"
#include "engine/texts.h"
#include "mainwindow/form1.h"
#include "settings/command_line.h"

#include <QApplication>

#include <cstdio>
#include <cstring>

namespace {

constexpr const char* kUsage =
    "Aufruf: gleichwart ['/Startordner|ORDNER' '/Zielordner|ORDNER' '/Regel|NAME']\n"
    "\n"
    "Öffnet das Fenster von Gleichwart. Mit Startordner, Zielordner und Regel trägt es die\n"
    "Pfade ein, wählt die Regel und lädt die Ordner sofort, wie \"Ordner laden\".\n"
    "Die Schlüssel gelten in jeder Schreibweise und stehen am Anfang oder nach einem\n"
    "Leerzeichen; jeder andere Schrägstrich gehört zum Pfad. Weil die Shell \"|\" als Pipe\n"
    "liest, stehen die Teile in Anführungszeichen, einzeln oder zusammen.\n"
    "\n"
    "Beispiel:\n"
    "  gleichwart '/Startordner|/home/anna/Fotos /Zielordner|/media/stick/Fotos "
    "/Regel|Spiegeln'\n"
    "\n"
    "Optionen:\n"
    "  --help, -h   zeigt diese Hilfe\n"
    "  --version    zeigt die Version\n"
    "\n"
    "Ohne Fenster synchronisiert gleichwart-sync (siehe gleichwart-sync --help).\n"
    "\n"
    "Lizenz: GNU GPL, Version 3 oder später (GPL-3.0-or-later)\n";

} // namespace

int main(int argc, char* argv[]) {
    // Help and version need no display and start no window.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("gleichwart %s\n%s\nEs gibt keinerlei Garantie, soweit das Gesetz es "
                        "zulässt.\n",
                        GLEICHWART_VERSION, kLicenceLine);
            return 0;
        }
    }
    // Taken before Qt removes the arguments it knows.
    const std::string commandLine = JoinArguments(argc, argv);
    QApplication app(argc, argv);
    SetUpApplication(app);
    Form1 window;
    window.setCommandLine(commandLine);
    window.show();
    return app.exec();
}
