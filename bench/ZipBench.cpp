// Benchmark driver: packs a directory tree with the packer the "Zip" command drives (level 6,
// folder names relative to the tree), or reads every file of the tree once (the platform's floor),
// from one thread or from several at once (whether the platform's file calls overlap at all).
#include "archive/zip/ZipPacker.h"
#include <windows.h>
#include <cstdio>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace {
double Now()
{
    LARGE_INTEGER frequency, counter;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void ListTree(const std::wstring& directory, std::vector<std::wstring>& files)
{
    WIN32_FIND_DATAW data;
    HANDLE find = ::FindFirstFileExW((directory + L"\\*").c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr,
                                     FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ListTree(directory + L"\\" + name, files);
        else files.push_back(directory + L"\\" + name);
    } while (::FindNextFileW(find, &data));
    ::FindClose(find);
}

// The files of a list read by a number of threads at once, each taking the next file.
void ReadList(const std::vector<std::wstring>& files, int threads)
{
    std::atomic<size_t> next{0};
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t)
        workers.emplace_back([&] {
            std::vector<char> buffer(256 * 1024);
            for (size_t i; (i = next++) < files.size();) {
                HANDLE file = ::CreateFileW(files[i].c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                            FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
                if (file == INVALID_HANDLE_VALUE) continue;
                DWORD n = 0;
                while (::ReadFile(file, buffer.data(), static_cast<DWORD>(buffer.size()), &n, nullptr) && n > 0) {
                }
                ::CloseHandle(file);
            }
        });
    for (std::thread& worker : workers) worker.join();
}
}

int wmain(int argc, wchar_t** argv)
{
    std::wstring mode = argc >= 3 ? argv[1] : L"";
    if (mode == L"floor" && argc == 3) {
        // List, open, read to the end and close every file: what any packer must do at least.
        std::vector<std::wstring> files;
        double start = Now();
        ListTree(argv[2], files);
        ReadList(files, 1);
        std::printf("%.3f %zu\n", Now() - start, files.size());
        return 0;
    }
    if (mode == L"threads" && argc == 3) {
        // The listing first, then the same reads from one and from two threads.
        std::vector<std::wstring> files;
        ListTree(argv[2], files);
        double start = Now();
        ReadList(files, 1);
        double one = Now() - start;
        start = Now();
        ReadList(files, 2);
        std::printf("%.3f %.3f %zu\n", one, Now() - start, files.size());
        return 0;
    }
    if (mode != L"zip" || argc != 4) {
        std::fwprintf(stderr, L"usage: zipbench zip <directory> <archive> | zipbench floor|threads <directory>\n");
        return 2;
    }
    std::wstring directory = argv[2];
    zip::CZipPacker packer;
    packer.SetArchiveName(argv[3]);
    packer.SetRecurse(true);
    packer.SetUseFolderNames(true);
    packer.SetBaseDirectory(directory);
    packer.SetLevel(6);
    packer.SetOverwriteQuestion(false);
    WIN32_FIND_DATAW data;
    HANDLE find = ::FindFirstFileW((directory + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return 3;
    do {
        std::wstring name = data.cFileName;
        if (name != L"." && name != L"..") packer.AddFileToProcess(name);
    } while (::FindNextFileW(find, &data));
    ::FindClose(find);
    double start = Now();
    zip::PackResult result = packer.Pack();
    double elapsed = Now() - start;
    // The processor time of all its threads, to tell a busy machine's share from the work itself.
    FILETIME created, exited, kernel, user;
    ::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto seconds = [](const FILETIME& t) { return (static_cast<uint64_t>(t.dwHighDateTime) << 32 | t.dwLowDateTime) / 1e7; };
    std::printf("%.3f %d %.3f\n", elapsed, packer.Added(), seconds(kernel) + seconds(user));
    return result == zip::PackResult::Done && packer.Skipped() == 0 ? 0 : 4;
}
