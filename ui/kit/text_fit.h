#pragma once

class QWidget;

// Makes room for every caption of a window laid out in twips that its font does not fit:
// a label, tick box, option button, push button or frame title grows to its text; what
// lies right of it in its row or below it in its column moves along, the controls that
// reach across it grow, and so on up to the window, which grows too. Captions that fit
// keep their designed place. Run once the window's controls carry their texts.
void FitTexts(QWidget* window);
