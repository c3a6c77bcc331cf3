#pragma once

#include "kit/picture_box.h"

#include <string>

struct AppSettings;
struct MainLayout;

// The panel behind the lists: the user's picture, at its own size or stretched, with an
// optional soft frame that fades it into the window's colour. It is shown while no lists
// are (at start and after a run) unless the user switched the background off.
class BackgroundPanel : public PictureBox {
    Q_OBJECT
public:
    explicit BackgroundPanel(QWidget* parent);

    // Takes the background values and reads the picture; a missing or unreadable picture
    // leaves the panel empty. Returns false when the user has no background.
    bool load(const AppSettings& settings);
    bool stretched() const { return stretch_; }
    bool enabled() const { return !noBackground_; }
    // Whether the panel is the one on view; then it is painted on each resize.
    void setShown(bool shown);

    void applyLayout(const MainLayout& layout);
    // Paints the stretched picture and the soft frame for the panel's present size.
    void paintBackground();
    void DrawSoftFrame(PictureBox* P, int N);
    void BlendLine(PictureBox* P, int a, int alpha, bool vertical, int b, int length);

private:
    PictureBox* stretchBuffer_ = nullptr; // the picture at its own size, to stretch from
    bool noBackground_ = false;
    bool stretch_ = false;
    bool soft_ = false;
    int softWidth_ = 20;
    bool shown_ = false;
};
