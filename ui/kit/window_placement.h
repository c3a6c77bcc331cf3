#pragma once

class QWidget;

// Centres a window over its owner and keeps it on the screen, as far as its size allows.
void PlaceCentredOver(QWidget* window, const QWidget* owner);
