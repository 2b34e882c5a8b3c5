// The shell's file types in the registry: read whole, written only when the user confirms.
#include "fileops/FileTypes.h"
#include "framework/Handles.h"
#include <cwctype>
#include <vector>

namespace {
constexpr int TextComponentClass = 4189;

bool StartsWithNoCase(const std::wstring& text, const wchar_t* prefix)
{
    size_t n = wcslen(prefix);
    return text.size() >= n && ::CompareStringOrdinal(text.c_str(), static_cast<int>(n), prefix, static_cast<int>(n), TRUE) == CSTR_EQUAL;
}

LONG SetDefault(HKEY root, const std::wstring& subKey, const std::wstring& value, DWORD type, bool* created = nullptr)
{
    HKEY raw = nullptr;
    DWORD disposition = 0;
    LONG rc = ::RegCreateKeyExW(root, subKey.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &raw, &disposition);
    if (rc != ERROR_SUCCESS) return rc;
    fw::UniqueKey key(raw);
    if (created) *created = disposition == REG_CREATED_NEW_KEY;
    return ::RegSetValueExW(key.Get(), nullptr, 0, type, reinterpret_cast<const BYTE*>(value.c_str()),
                            static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

bool KeyExists(HKEY root, const std::wstring& subKey)
{
    HKEY raw = nullptr;
    if (::RegOpenKeyExW(root, subKey.c_str(), 0, KEY_READ, &raw) != ERROR_SUCCESS) return false;
    ::RegCloseKey(raw);
    return true;
}
}

std::wstring ExtensionOf(const std::wstring& name)
{
    size_t dot = name.find_last_of(L'.');
    size_t slash = name.find_last_of(L"\\/");
    if (dot == std::wstring::npos || (slash != std::wstring::npos && dot < slash) || dot + 1 == name.size()) return {};
    return name.substr(dot);
}

bool IsComponentClassType(const std::wstring& typeName)
{
    if (typeName.size() > 7 && StartsWithNoCase(typeName, L"CLSID\\")) return true;
    return !typeName.empty() && typeName.front() == L'{' && typeName.back() == L'}';
}

bool ReadRegistryText(HKEY root, const std::wstring& subKey, const wchar_t* name, std::wstring& value, DWORD* type)
{
    const DWORD flags = RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND;
    for (int attempt = 0; attempt < 8; ++attempt) {
        DWORD bytes = 0, found = 0;
        LONG rc = ::RegGetValueW(root, subKey.c_str(), name, flags, &found, nullptr, &bytes);
        if (rc != ERROR_SUCCESS) return false;
        std::vector<wchar_t> buffer(bytes / sizeof(wchar_t) + 2, L'\0');
        bytes = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
        rc = ::RegGetValueW(root, subKey.c_str(), name, flags, &found, buffer.data(), &bytes);
        if (rc == ERROR_MORE_DATA) continue; // it grew in between
        if (rc != ERROR_SUCCESS) return false;
        value.assign(buffer.data());
        if (type) *type = found;
        return true;
    }
    return false;
}

int ReadFileType(HKEY root, const std::wstring& extension, FileType& type)
{
    type = FileType();
    type.extension = extension;
    std::wstring name;
    if (!ReadRegistryText(root, extension, nullptr, name) || name.empty()) return 0;
    if (IsComponentClassType(name)) return TextComponentClass;
    type.typeName = name;
    ReadRegistryText(root, name, nullptr, type.description);
    DWORD commandType = REG_SZ;
    if (ReadRegistryText(root, name + L"\\shell\\open\\command", nullptr, type.command, &commandType))
        type.commandType = commandType;
    return 0;
}

std::wstring NewTypeName(const std::wstring& extension, const std::wstring& suffix)
{
    return (extension.size() > 1 && extension[0] == L'.' ? extension.substr(1) : extension) + suffix;
}

LONG WriteFileType(HKEY root, const FileType& before, const std::wstring& description, const std::wstring& command,
                   const std::wstring& newTypeName, int& textId)
{
    textId = 0;
    if (!before.typeName.empty()) {
        const std::wstring& name = before.typeName;
        LONG rc = SetDefault(root, name + L"\\shell\\open\\command", command, before.commandType);
        if (rc == ERROR_SUCCESS) rc = SetDefault(root, name + L"\\shell", L"open", REG_SZ);
        if (rc == ERROR_SUCCESS && description != before.description) rc = SetDefault(root, name, description, REG_SZ);
        return rc;
    }
    if (newTypeName.empty() || KeyExists(root, newTypeName)) {
        textId = TextComponentClass;
        return ERROR_ALREADY_EXISTS;
    }
    bool typeMade = false;
    LONG rc = SetDefault(root, newTypeName, description, REG_SZ, &typeMade);
    if (rc == ERROR_SUCCESS && !typeMade) {
        // Someone made it meanwhile: it is not ours to change.
        textId = TextComponentClass;
        return ERROR_ALREADY_EXISTS;
    }
    if (rc == ERROR_SUCCESS) rc = SetDefault(root, newTypeName + L"\\Shell\\open\\command", command, REG_SZ);
    // The extension points at the type only when the type is complete.
    bool extensionMade = false;
    if (rc == ERROR_SUCCESS) rc = SetDefault(root, before.extension, newTypeName, REG_SZ, &extensionMade);
    if (rc != ERROR_SUCCESS) {
        if (typeMade) {
            ::RegDeleteTreeW(root, newTypeName.c_str());
            ::RegDeleteKeyW(root, newTypeName.c_str());
        }
        if (extensionMade) ::RegDeleteKeyW(root, before.extension.c_str());
    }
    return rc;
}
