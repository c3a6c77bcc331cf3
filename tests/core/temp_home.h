#pragma once

#include <array>
#include <optional>
#include <string>

// A temporary folder that also serves as HOME, XDG_CONFIG_HOME, XDG_DATA_HOME and
// XDG_STATE_HOME for the test, so no test reads or writes a real user's settings or journals.
// Removed with everything in it.
class TempHome {
public:
    TempHome();
    ~TempHome();
    TempHome(const TempHome&) = delete;
    TempHome& operator=(const TempHome&) = delete;

    const std::string& path() const { return path_; }
    std::string hivePath() const { return path_ + "/config/gleichwart/registry.reg"; }

private:
    std::string path_;
    std::array<std::optional<std::string>, 4> old_; // the variables as they were
};

std::string ReadFile(const std::string& path);
// Writes `text` as the whole file, making its folders; throws when it cannot.
void WriteFile(const std::string& path, const std::string& text);
bool FileExists(const std::string& path);
