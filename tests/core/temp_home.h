#pragma once

#include <string>

// A temporary folder that also serves as HOME, XDG_CONFIG_HOME and XDG_DATA_HOME for the
// test, so no test reads or writes a real user's settings. Removed with everything in it.
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
    std::string oldHome_, oldConfig_, oldData_;
};

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& text);
bool FileExists(const std::string& path);
