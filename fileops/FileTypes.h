// The shell's file types in the registry: the type of an extension, its description and open command.
#pragma once
#include <windows.h>
#include <string>

// The extension of a name with its dot (".txt"); empty when the name has no dot or ends with one.
std::wstring ExtensionOf(const std::wstring& name);

// A type name that stands for a component class ("CLSID\{...}", "{...}") is not a file type of ours.
bool IsComponentClassType(const std::wstring& typeName);

struct FileType {
    std::wstring extension;
    std::wstring typeName; // empty: no type yet
    std::wstring description;
    std::wstring command;
    // The open command's value type; an expandable command stays expandable.
    DWORD commandType = REG_SZ;
};

// Reads the type of an extension under root without changing anything. Returns 0, or the text id
// 4189 when the extension names a component class.
int ReadFileType(HKEY root, const std::wstring& extension, FileType& type);

// The name a new type of this extension gets: the extension without its dot and the suffix.
std::wstring NewTypeName(const std::wstring& extension, const std::wstring& suffix);

// Writes the edited description and command. For a type that exists, its open command (and the
// description when it changed); the default verb becomes "open". For a new one, typeName is the
// new type's name: the type is made first and the extension pointed at it last, and a type of that
// name already there is refused (4189 in textId). Returns ERROR_SUCCESS or the registry's error;
// a failed new type leaves nothing behind.
LONG WriteFileType(HKEY root, const FileType& before, const std::wstring& description, const std::wstring& command,
                   const std::wstring& newTypeName, int& textId);

// A string value of any length (REG_SZ or REG_EXPAND_SZ, unexpanded); false when missing.
bool ReadRegistryText(HKEY key, const std::wstring& subKey, const wchar_t* name, std::wstring& value,
                      DWORD* type = nullptr);
