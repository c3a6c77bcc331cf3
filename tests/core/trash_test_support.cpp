#include "trash_test_support.h"

#include <cstdlib>
#include <ctime>

OpenFolder::OpenFolder(const std::string& path)
    : fd_(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {}

OpenFolder::~OpenFolder() {
    if (fd_ >= 0)
        ::close(fd_);
}

unsigned Mode(const std::string& path) {
    struct stat st {};
    ::lstat(path.c_str(), &st);
    return st.st_mode & 07777;
}

std::string HomeTrash() {
    const char* data = std::getenv("XDG_DATA_HOME");
    return std::string(data != nullptr ? data : "") + "/Trash";
}

std::string InfoField(const std::string& info, const std::string& key) {
    const std::string lines = "\n" + info;
    const std::size_t at = lines.find("\n" + key + "=");
    if (at == std::string::npos)
        return "";
    const std::size_t start = at + key.size() + 2;
    return lines.substr(start, lines.find('\n', start) - start);
}

std::string PercentDecode(const std::string& encoded) {
    std::string out;
    for (std::size_t i = 0; i < encoded.size(); ++i) {
        if (encoded[i] == '%' && i + 2 < encoded.size()) {
            out += static_cast<char>(std::stoi(encoded.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            out += encoded[i];
        }
    }
    return out;
}

bool IsRecentDeletionDate(const std::string& value) {
    std::tm local{};
    const char* end = ::strptime(value.c_str(), "%Y-%m-%dT%H:%M:%S", &local);
    if (value.size() != 19 || end == nullptr || *end != '\0')
        return false;
    local.tm_isdst = -1;
    const std::time_t then = std::mktime(&local);
    const std::time_t now = std::time(nullptr);
    return then <= now + 1 && now - then < 60;
}

std::map<std::string, std::string> Entries(const std::string& root) {
    std::map<std::string, std::string> entries;
    for (const auto& e : fs::recursive_directory_iterator(root)) {
        // By the path's bytes: fs::relative would follow a link to what it leads to.
        const std::string rel = e.path().string().substr(root.size() + 1);
        if (e.is_symlink())
            entries[rel] = "-> " + fs::read_symlink(e.path()).string();
        else if (!e.is_directory())
            entries[rel] = ReadFile(e.path().string());
    }
    return entries;
}

std::map<std::string, std::string>
Snapshot(const std::vector<std::pair<std::string, std::string>>& prefixAndRoot) {
    std::map<std::string, std::string> all;
    for (const auto& [prefix, root] : prefixAndRoot)
        for (auto& [key, content] : fs::exists(root) ? Entries(root) : decltype(all){})
            all[prefix + "/" + key] = std::move(content);
    return all;
}

namespace {

const std::string kInfoSuffix = ".trashinfo";

bool IsInfo(const std::string& key) {
    return key.find("/info/") != std::string::npos && key.ends_with(kInfoSuffix);
}

// "<trash>/info/<n>.trashinfo" -> "<trash>/files/<n>"
std::string FilesKey(const std::string& infoKey) {
    const std::size_t at = infoKey.rfind("/info/");
    return infoKey.substr(0, at) + "/files/" +
           infoKey.substr(at + 6, infoKey.size() - at - 6 - kInfoSuffix.size());
}

} // namespace

std::string TrashOutcomeProblem(const std::map<std::string, std::string>& before,
                                const std::map<std::string, std::string>& after,
                                const std::vector<TrashAttempt>& attempts, int injected,
                                int strayInfos) {
    std::map<std::string, std::string> added, removed;
    for (const auto& [key, content] : after) {
        const auto old = before.find(key);
        if (old == before.end())
            added[key] = content;
        else if (old->second != content)
            return "changed: " + key;
    }
    for (const auto& [key, content] : before)
        if (after.count(key) == 0)
            removed[key] = content;
    for (const TrashAttempt& a : attempts) {
        if (a.error != 0) {
            if (a.error != injected)
                return a.key + ": error " + std::to_string(a.error);
            if (removed.count(a.key) != 0)
                return a.key + ": failed but gone";
            continue;
        }
        // The description that points at the entry and has the entry beside it (a stray
        // one left by an earlier failure may point at it too).
        auto info = added.begin();
        auto file = added.end();
        for (; info != added.end(); ++info) {
            if (IsInfo(info->first) && PercentDecode(InfoField(info->second, "Path")) == a.path &&
                (file = added.find(FilesKey(info->first))) != added.end())
                break;
        }
        if (removed.count(a.key) == 0 || info == added.end())
            return a.key + ": not moved into the trash with its description";
        if (file->second != removed[a.key])
            return a.key + ": changed in the trash";
        if (info->second.rfind("[Trash Info]\n", 0) != 0 ||
            !IsRecentDeletionDate(InfoField(info->second, "DeletionDate")))
            return a.key + ": bad description " + info->second;
        added.erase(file);
        added.erase(info);
        removed.erase(a.key);
    }
    if (!removed.empty())
        return "gone: " + removed.begin()->first;
    int strays = 0;
    for (const auto& [key, content] : added) {
        if (!IsInfo(key) || ++strays > strayInfos)
            return "left: " + key;
    }
    return "";
}
