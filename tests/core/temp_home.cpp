#include "temp_home.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <unistd.h>

namespace {

std::string GetEnv(const char* name) {
    const char* v = std::getenv(name);
    return v != nullptr ? v : "";
}

void Restore(const char* name, const std::string& value) {
    if (value.empty())
        ::unsetenv(name);
    else
        ::setenv(name, value.c_str(), 1);
}

} // namespace

TempHome::TempHome()
    : oldHome_(GetEnv("HOME")), oldConfig_(GetEnv("XDG_CONFIG_HOME")),
      oldData_(GetEnv("XDG_DATA_HOME")) {
    std::string templ = (std::filesystem::temp_directory_path() / "gleichwart-test-XXXXXX");
    if (::mkdtemp(templ.data()) == nullptr)
        throw std::runtime_error("mkdtemp failed");
    path_ = templ;
    ::setenv("HOME", path_.c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (path_ + "/config").c_str(), 1);
    ::setenv("XDG_DATA_HOME", (path_ + "/data").c_str(), 1);
}

TempHome::~TempHome() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
    Restore("HOME", oldHome_);
    Restore("XDG_CONFIG_HOME", oldConfig_);
    Restore("XDG_DATA_HOME", oldData_);
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
