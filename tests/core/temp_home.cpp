#include "temp_home.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <unistd.h>

static constexpr const char* kVariables[] = {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME",
                                             "XDG_STATE_HOME"};

TempHome::TempHome() {
    std::string templ = (std::filesystem::temp_directory_path() / "gleichwart-test-XXXXXX");
    if (::mkdtemp(templ.data()) == nullptr)
        throw std::runtime_error("mkdtemp failed");
    path_ = templ;
    const std::string values[] = {path_, path_ + "/config", path_ + "/data", path_ + "/state"};
    for (int i = 0; i < 4; ++i) {
        if (const char* old = std::getenv(kVariables[i]))
            old_[i] = old;
        ::setenv(kVariables[i], values[i].c_str(), 1);
    }
}

TempHome::~TempHome() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
    for (int i = 0; i < 4; ++i) {
        if (old_[i])
            ::setenv(kVariables[i], old_[i]->c_str(), 1);
        else
            ::unsetenv(kVariables[i]);
    }
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteFile(const std::string& path, const std::string& text) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!(out << text).flush())
        throw std::runtime_error("cannot write " + path);
}

bool FileExists(const std::string& path) {
    return std::filesystem::exists(path);
}
