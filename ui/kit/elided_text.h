#pragma once

class QLabel;
class QString;

// Shows `full` in a one-line label, shortened in the middle with "…" when it is wider than
// the label; the whole text is then the label's tool tip. Kept with the label, so that
// ShowElidedAgain can fit it anew after the label's width changed.
void ShowElided(QLabel* label, const QString& full);
void ShowElidedAgain(QLabel* label);
