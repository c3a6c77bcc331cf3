#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

class clsRegistry;

// The program's own values below its registry key, as one value: what the main window reads
// when it opens and writes when it closes, and the background the settings choose. Texts are
// the stored bytes; numbers that are not stored read as 0.
struct AppSettings {
    static constexpr const char* kRootKey = "Software\\Halvorn Soft\\Gleichwart";

    std::string lastRule;           // "LastRegel"
    std::string lastStartDir;       // "LastStartDir"
    std::string lastDestinationDir; // "LastDestinationDir"
    std::int32_t syncMode = 0;      // "SyncMode": the rule's place in the list
    // "Left", "Top", "Width", "Height": the window in twips.
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    bool noBackground = false;     // "NoBackGround" 1
    std::string background;        // "BackGround": the picture's path
    bool backgroundResize = false; // "BackGroundResize" 1: stretched over the panel
    bool backgroundSoft = false;   // "BackGroundSoft" 1: with a soft frame
    std::int32_t softWidth = 0;    // "SoftWidth"
    // "KeepReplaced": a run keeps the old version of each file it replaces in the trash, and
    // can be undone with it; a value never stored means on, any number but 1 off.
    bool keepReplaced = true;

    static AppSettings Load(clsRegistry& registry);
    // Read without making the key: a run stores nothing.
    static bool LoadKeepReplaced();
    // What the settings window writes for "Ersetzte Dateien in den Papierkorb legen".
    void SaveKeepReplaced(clsRegistry& registry) const;
    // What the main window writes when it closes, in this order; the geometry only when the
    // window had its normal size (not minimised, maximised or full screen).
    void SaveWindowState(clsRegistry& registry, bool withGeometry) const;
    // The values of the background in the order the settings window writes them: the width
    // of the soft frame first and only when its box held a number, then the key is made sure
    // of, then the picture, stretching, frame and whether there is a background at all.
    void SaveBackground(clsRegistry& registry, bool withSoftWidth) const;

    // What a first start stores, as an installer would: the program's own picture,
    // stretched over the panel.
    static void StoreStarterBackground(clsRegistry& registry, const std::string& picturePath);

    bool operator==(const AppSettings&) const = default;
};

// The soft frame's width as typed in the settings: a number in the user's notation, rounded
// to a whole one (halves to the even number) and held to 10..150, however large or small;
// nothing when the text is not a number.
std::optional<std::int32_t> SoftWidthFromText(std::string_view text, char decimalSeparator);
