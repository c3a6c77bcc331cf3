#pragma once

#include "twips.h"

#include <QString>

class QFrame;
class QLabel;
class QProgressBar;
class QWidget;

// The designed controls the windows repeat: a left-aligned label, a progress bar from 0 to
// 100 without text, and a sunken horizontal line.
QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& text, const Twips& g);
QProgressBar* MakeBar(QWidget* parent, const QString& name, const Twips& g);
QFrame* MakeLine(QWidget* parent, const QString& name, const Twips& g);
