// The checker of the text fit test: what a person would see cut or covered in a window.
#pragma once

#include <QStringList>

class QWidget;

// What a person would see cut or covered in `window` as it is shown now, one line each:
// - a label, tick box, option button, push button, group box title or tab whose text,
//   measured with the control's own font plus the style's margins, is wider or taller
//   than the room the control gives it;
// - a visible control that reaches beyond its parent's rectangle;
// - two visible controls side by side that partly overlap (a control lying wholly on or
//   under another, as stacked panels do, is not counted).
// Empty when nothing is.
QStringList TextFitProblems(QWidget* window);
