#include "registry_api.h"

#include "registry_hive.h"

#include <cstring>
#include <mutex>
#include <string>
#include <unordered_map>

namespace win {
namespace {

std::mutex g_handleMutex;
std::unordered_map<HKEY, std::string> g_handles;
HKEY g_nextHandle = 0x1000;

// The full path a handle stands for ("HKEY_CURRENT_USER\Software\..."), empty for none.
std::string PathOfHandle(HKEY key) {
    if (key == HKEY_CURRENT_USER)
        return "HKEY_CURRENT_USER";
    if (key == HKEY_CLASSES_ROOT)
        return "HKEY_CLASSES_ROOT";
    std::lock_guard lock(g_handleMutex);
    auto it = g_handles.find(key);
    return it == g_handles.end() ? std::string() : it->second;
}

HKEY NewHandle(std::string path) {
    std::lock_guard lock(g_handleMutex);
    HKEY h = g_nextHandle++;
    g_handles.emplace(h, std::move(path));
    return h;
}

bool IsRootPath(const std::string& path) {
    return path.find('\\') == std::string::npos;
}

// Joins a handle's path and a sub key as the Win32 calls do: surplus separators around
// the sub key are ignored, an empty sub key names the key itself.
std::string JoinPath(const std::string& base, const char* subKey) {
    std::string sub = subKey != nullptr ? subKey : "";
    while (!sub.empty() && sub.front() == '\\')
        sub.erase(0, 1);
    while (!sub.empty() && sub.back() == '\\')
        sub.pop_back();
    return sub.empty() ? base : base + '\\' + sub;
}

bool KeyExists(const HiveData& data, const std::string& path) {
    return IsRootPath(path) || data.findKey(path) != nullptr;
}

LONG CopyOut(const std::string& bytes, BYTE* data, DWORD* dataSize) {
    const auto needed = static_cast<DWORD>(bytes.size());
    if (data == nullptr) {
        if (dataSize != nullptr)
            *dataSize = needed;
        return ERROR_SUCCESS;
    }
    if (dataSize == nullptr)
        return ERROR_INVALID_PARAMETER;
    if (*dataSize < needed) {
        *dataSize = needed;
        return ERROR_MORE_DATA;
    }
    std::memcpy(data, bytes.data(), bytes.size());
    *dataSize = needed;
    return ERROR_SUCCESS;
}

LONG CopyName(const std::string& name, char* buffer, DWORD* size) {
    if (buffer == nullptr || size == nullptr)
        return ERROR_INVALID_PARAMETER;
    if (name.size() + 1 > *size)
        return ERROR_MORE_DATA;
    std::memcpy(buffer, name.c_str(), name.size() + 1);
    *size = static_cast<DWORD>(name.size());
    return ERROR_SUCCESS;
}

std::string LastComponent(const std::string& path) {
    const auto sep = path.rfind('\\');
    return sep == std::string::npos ? path : path.substr(sep + 1);
}

} // namespace

LONG RegOpenKeyExA(HKEY key, const char* subKey, DWORD, REGSAM, HKEY* result) {
    if (result == nullptr)
        return ERROR_INVALID_PARAMETER;
    *result = 0;
    const std::string base = PathOfHandle(key);
    if (base.empty())
        return ERROR_INVALID_HANDLE;
    const std::string path = JoinPath(base, subKey);
    const HiveData& data = Hive::Current().read();
    if (!KeyExists(data, base))
        return ERROR_KEY_DELETED;
    const HiveKey* found = data.findKey(path);
    if (found == nullptr && !IsRootPath(path))
        return ERROR_FILE_NOT_FOUND;
    *result = NewHandle(found != nullptr ? found->path : path);
    return ERROR_SUCCESS;
}

LONG RegCreateKeyExA(HKEY key, const char* subKey, DWORD, const char*, DWORD, REGSAM, const void*,
                     HKEY* result, DWORD* disposition) {
    if (result == nullptr)
        return ERROR_INVALID_PARAMETER;
    *result = 0;
    const std::string base = PathOfHandle(key);
    if (base.empty())
        return ERROR_INVALID_HANDLE;
    const std::string path = JoinPath(base, subKey);
    if (!IsValidHiveKeyPath(path))
        return ERROR_INVALID_PARAMETER;
    std::string spelled = path;
    bool created = false;
    const LONG rc = Hive::Current().modify([&](HiveData& data) {
        if (!KeyExists(data, base))
            return ERROR_KEY_DELETED;
        if (IsRootPath(path))
            return ERROR_SUCCESS;
        created = data.findKey(path) == nullptr;
        spelled = data.ensureKey(path).path;
        return ERROR_SUCCESS;
    });
    if (rc != ERROR_SUCCESS)
        return rc;
    if (disposition != nullptr)
        *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    *result = NewHandle(spelled);
    return ERROR_SUCCESS;
}

LONG RegCloseKey(HKEY key) {
    if (key == HKEY_CURRENT_USER || key == HKEY_CLASSES_ROOT)
        return ERROR_SUCCESS;
    std::lock_guard lock(g_handleMutex);
    return g_handles.erase(key) == 1 ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

LONG RegDeleteKeyA(HKEY key, const char* subKey) {
    const std::string base = PathOfHandle(key);
    if (base.empty())
        return ERROR_INVALID_HANDLE;
    const std::string path = JoinPath(base, subKey);
    if (IsRootPath(path))
        return ERROR_ACCESS_DENIED;
    return Hive::Current().modify([&](HiveData& data) {
        auto it = data.keys.find(FoldName(path));
        if (it == data.keys.end())
            return ERROR_FILE_NOT_FOUND;
        // As on Windows, a key that still has subkeys is not deleted.
        if (!data.childrenOf(path).empty())
            return ERROR_ACCESS_DENIED;
        data.keys.erase(it);
        return ERROR_SUCCESS;
    });
}

LONG RegDeleteValueA(HKEY key, const char* valueName) {
    const std::string path = PathOfHandle(key);
    if (path.empty())
        return ERROR_INVALID_HANDLE;
    const std::string name = valueName != nullptr ? valueName : "";
    return Hive::Current().modify([&](HiveData& data) {
        HiveKey* k = data.findKey(path);
        if (k == nullptr)
            return IsRootPath(path) ? ERROR_FILE_NOT_FOUND : ERROR_KEY_DELETED;
        for (auto it = k->values.begin(); it != k->values.end(); ++it) {
            if (NamesEqual(it->name, name)) {
                k->values.erase(it);
                return ERROR_SUCCESS;
            }
        }
        return ERROR_FILE_NOT_FOUND;
    });
}

LONG RegQueryValueExA(HKEY key, const char* valueName, DWORD*, DWORD* type, BYTE* data,
                      DWORD* dataSize) {
    const std::string path = PathOfHandle(key);
    if (path.empty())
        return ERROR_INVALID_HANDLE;
    const HiveData& hive = Hive::Current().read();
    const HiveKey* k = hive.findKey(path);
    if (k == nullptr)
        return IsRootPath(path) ? ERROR_FILE_NOT_FOUND : ERROR_KEY_DELETED;
    const HiveValue* v = k->findValue(valueName != nullptr ? valueName : "");
    if (v == nullptr)
        return ERROR_FILE_NOT_FOUND;
    if (type != nullptr)
        *type = v->type;
    return CopyOut(v->data, data, dataSize);
}

LONG RegSetValueExA(HKEY key, const char* valueName, DWORD, DWORD type, const BYTE* data,
                    DWORD dataSize) {
    const std::string path = PathOfHandle(key);
    if (path.empty())
        return ERROR_INVALID_HANDLE;
    if (data == nullptr && dataSize != 0)
        return ERROR_INVALID_PARAMETER;
    HiveValue value;
    value.name = valueName != nullptr ? valueName : "";
    value.type = type;
    if (dataSize != 0)
        value.data.assign(reinterpret_cast<const char*>(data), dataSize);
    return Hive::Current().modify([&](HiveData& hive) {
        HiveKey* k = hive.findKey(path);
        if (k == nullptr && IsRootPath(path))
            k = &hive.ensureKey(path);
        if (k == nullptr)
            return ERROR_KEY_DELETED;
        if (HiveValue* existing = k->findValue(value.name)) {
            existing->type = value.type;
            existing->data = value.data;
        } else {
            k->values.push_back(value);
        }
        return ERROR_SUCCESS;
    });
}

LONG RegEnumKeyExA(HKEY key, DWORD index, char* name, DWORD* nameSize, DWORD*, char*, DWORD*,
                   void*) {
    const std::string path = PathOfHandle(key);
    if (path.empty())
        return ERROR_INVALID_HANDLE;
    const HiveData& hive = Hive::Current().read();
    if (!KeyExists(hive, path))
        return ERROR_KEY_DELETED;
    const auto children = hive.childrenOf(path);
    if (index >= children.size())
        return ERROR_NO_MORE_ITEMS;
    return CopyName(LastComponent(children[index]->path), name, nameSize);
}

LONG RegEnumValueA(HKEY key, DWORD index, char* name, DWORD* nameSize, DWORD*, DWORD* type,
                   BYTE* data, DWORD* dataSize) {
    const std::string path = PathOfHandle(key);
    if (path.empty())
        return ERROR_INVALID_HANDLE;
    const HiveData& hive = Hive::Current().read();
    const HiveKey* k = hive.findKey(path);
    if (k == nullptr)
        return IsRootPath(path) ? ERROR_NO_MORE_ITEMS : ERROR_KEY_DELETED;
    if (index >= k->values.size())
        return ERROR_NO_MORE_ITEMS;
    const HiveValue& v = k->values[index];
    if (LONG rc = CopyName(v.name, name, nameSize); rc != ERROR_SUCCESS)
        return rc;
    if (type != nullptr)
        *type = v.type;
    if (data == nullptr && dataSize == nullptr)
        return ERROR_SUCCESS;
    return CopyOut(v.data, data, dataSize);
}

} // namespace win
