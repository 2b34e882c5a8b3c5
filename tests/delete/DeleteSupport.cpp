// The trash, links and command helpers of the delete tests.
#include "delete/DeleteSupport.h"

namespace test {

std::wstring TrashFiles()
{
    wchar_t value[1024] = {};
    DWORD n = ::GetEnvironmentVariableW(L"XDG_DATA_HOME", value, 1024);
    if (n == 0 || n >= 1024) return std::wstring();
    std::wstring path = L"Z:" + std::wstring(value, n);
    for (wchar_t& c : path)
        if (c == L'/') c = L'\\';
    return path + L"\\Trash\\files";
}

std::vector<std::wstring> TrashedWith(const std::wstring& tag)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    HANDLE find = ::FindFirstFileW((TrashFiles() + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        std::wstring name = data.cFileName;
        if (name.find(tag) != std::wstring::npos) names.push_back(name);
    } while (::FindNextFileW(find, &data));
    ::FindClose(find);
    return names;
}

void EmptyTrashOf(const std::wstring& tag)
{
    std::string trash = UnixPath(TrashFiles());
    if (trash.empty() || tag.empty()) return;
    std::string t = Narrow(tag);
    RunShell("rm -rf '" + trash + "'/*" + t + "* '" + trash + "'/../info/*" + t + "*");
}

bool MakeLink(const std::wstring& link, const std::wstring& target)
{
    std::wstring parent = link.substr(0, link.find_last_of(L'\\'));
    std::string unixLink = UnixPath(parent) + "/" + Narrow(link.substr(link.find_last_of(L'\\') + 1));
    if (UnixPath(target).empty() || !RunShell("ln -s '" + UnixPath(target) + "' '" + unixLink + "'")) return false;
    for (int i = 0; i < 100 && ::GetFileAttributesW(link.c_str()) == INVALID_FILE_ATTRIBUTES; ++i) ::Sleep(10);
    return ::GetFileAttributesW(link.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void RemoveLinks(const std::wstring& root)
{
    std::string unix = UnixPath(root);
    if (!unix.empty()) RunShell("find '" + unix + "' -type l -delete");
}

void DeleteFixture::TearDown()
{
    RemoveLinks(src.Path());
    RemoveLinks(dst.Path());
    CopyFixture::TearDown();
}

void DeleteFixture::Command(UINT id)
{
    ::SendMessageW(main->Handle(), WM_COMMAND, id, 0);
    // The request is posted; the run is over when the main window is enabled and idle again.
    Pump(50);
    PumpUntil([&] { return !main->operation.busy && ::IsWindowEnabled(main->Handle()); }, 10000);
}

std::wstring DeleteFixture::Upper(std::wstring text)
{
    ::CharUpperBuffW(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

} // namespace test
