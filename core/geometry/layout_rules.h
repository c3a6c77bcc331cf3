#pragma once

#include <optional>

// The main window's resize rules, in twips. A value that is absent is a statement the
// window skips: a control keeps its previous size rather than take a negative one.
struct MainLayout {
    std::optional<int> panelsHeight;      // Picture2, Picture5, Picture3
    std::optional<int> tabStripHeight;    // TabStrip1
    std::optional<int> listsHeight;       // List1, List2
    int check1Top = 0;                    // Check1
    int frame2Top = 0;                    // Frame2
    std::optional<int> panelsWidth;       // Picture2, Picture5, Picture3
    std::optional<int> tabStripWidth;     // TabStrip1
    std::optional<int> framesWidth;       // Frame1, Frame3
    std::optional<int> frame2Width;       // Frame2
    std::optional<int> progressBar3Width; // ProgressBar3
    std::optional<int> progressBar2Width; // ProgressBar2
    std::optional<int> listsWidth;        // List1, List2
    double picture6Left = 0;              // Picture6, not rounded
};

// The layout for a window whose inner area is scaleWidth × scaleHeight twips.
MainLayout ComputeMainLayout(double scaleWidth, double scaleHeight);
