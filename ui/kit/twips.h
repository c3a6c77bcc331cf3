#pragma once

#include <utility>

class QWidget;

// Designed positions and sizes are in twips of the design's font: 15 to the pixel at 96 dpi
// with 8-point Tahoma. Here a twip is measured in the application font instead, as dialog
// units are: across from its average character width, down from its line height, so a
// window keeps its designed proportions and grows with the desktop's font. Each control
// keeps its twips so repeated layouts never drift by rounding.
struct Twips {
    double left = 0, top = 0, width = 0, height = 0;
};

// Across (left, width) and down (top, height), in the application font's units.
int TwipsToPixelsX(double twips);
int TwipsToPixelsY(double twips);
double PixelsToTwipsX(int pixels);
double PixelsToTwipsY(int pixels);

Twips TwipsOf(const QWidget* w);
void SetTwips(QWidget* w, const Twips& t);
void SetLeftTwips(QWidget* w, double left);
void SetTopTwips(QWidget* w, double top);
void SetWidthTwips(QWidget* w, double width);
void SetHeightTwips(QWidget* w, double height);

// A control with its name and designed geometry, made as `new T(args..., parent)`.
template <typename T, typename Parent, typename Name, typename... Args>
T* MakeControl(Parent* parent, const Name& name, const Twips& geometry, Args&&... args) {
    T* w = new T(std::forward<Args>(args)..., parent);
    w->setObjectName(name);
    SetTwips(w, geometry);
    return w;
}
