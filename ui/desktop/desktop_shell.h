#pragma once

#include <cstddef>

#include <QtContainerFwd>
class QWidget;

// The one question before files are deleted ("Dateien löschen", Ja/Nein, "Nein" the
// default); true for "Ja".
bool AskDeleteQuestion(QWidget* owner, std::size_t count, bool toRecycleBin);
// Lists the files that could not be deleted, each line a path and its reason.
void ShowDeleteFailures(QWidget* owner, const QStringList& lines);

// "Hilfethemen" without its handbook (a build or installation that lacks the file): the
// message that there is no help, and whom to ask instead.
void ShowNoHelpMessage(QWidget* owner);
