// Runs stored inputs through the targets once: every file of <root>/corpus/<target> and
// <root>/regressions/<target>. No fuzzing; a crash, a sanitizer report or a failed property
// ends the program with the input's name on stderr.
#include "fuzz/FuzzTarget.h"
#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <new>
#include <vector>

namespace fs = std::filesystem;

// The limits the fuzzers run under hold for the replay too: no input may take a second, and no
// allocation may ask for more than 256 MiB.
constexpr double MaxSecondsPerInput = 1.0;

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define PD_REPLAY_ASAN 1
#endif
#endif

#ifdef PD_REPLAY_ASAN
extern "C" const char* __asan_default_options() { return "max_allocation_size_mb=256:allocator_may_return_null=0"; }
#else
constexpr size_t MaxAllocation = size_t(256) << 20;
[[noreturn]] static void TooLarge(size_t size)
{
    std::fprintf(stderr, "allocation of %zu bytes, over the limit of %zu\n", size, MaxAllocation);
    std::fflush(stderr);
    std::abort();
}
void* operator new(size_t size)
{
    if (size > MaxAllocation) TooLarge(size);
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](size_t size) { return operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
void operator delete[](void* p, size_t) noexcept { std::free(p); }
#endif

static std::vector<fs::path> FilesIn(const fs::path& dir)
{
    std::vector<fs::path> files;
    std::error_code ec;
    if (!fs::is_directory(dir, ec)) return files;
    for (const auto& e : fs::directory_iterator(dir, ec))
        if (e.is_regular_file() && e.path().filename().string()[0] != '.') files.push_back(e.path());
    std::sort(files.begin(), files.end());
    return files;
}

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FUZZ_DIRECTORY [TARGET...]\n", argv[0]);
        return 2;
    }
    fs::path root = argv[1];
    std::vector<std::string> wanted(argv + 2, argv + argc);
    int inputs = 0, targets = 0, missing = 0, slow = 0;
    double slowest = 0;
    std::string slowestName;
    for (const auto& [name, run] : fuzz::AllTargets()) {
        if (!wanted.empty() && std::find(wanted.begin(), wanted.end(), name) == wanted.end()) continue;
        ++targets;
        std::vector<fs::path> files = FilesIn(root / "corpus" / name);
        std::vector<fs::path> regressions = FilesIn(root / "regressions" / name);
        files.insert(files.end(), regressions.begin(), regressions.end());
        // A target without a corpus would pass without running anything.
        if (files.empty()) {
            std::fprintf(stderr, "%s: no inputs under %s\n", name.c_str(), (root / "corpus" / name).string().c_str());
            ++missing;
            continue;
        }
        for (const fs::path& file : files) {
            std::ifstream in(file, std::ios::binary);
            std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            std::fprintf(stderr, "%s %s\n", name.c_str(), file.filename().string().c_str());
            auto start = std::chrono::steady_clock::now();
            // A copy of exactly the input's size, so a read past its end is caught.
            uint8_t* copy = static_cast<uint8_t*>(std::malloc(bytes.size() ? bytes.size() : 1));
            if (!bytes.empty()) std::memcpy(copy, bytes.data(), bytes.size());
            run(copy, bytes.size());
            std::free(copy);
            double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            if (seconds > MaxSecondsPerInput) {
                std::fprintf(stderr, "%s %s took %.3f s\n", name.c_str(), file.filename().string().c_str(), seconds);
                ++slow;
            }
            if (seconds > slowest) {
                slowest = seconds;
                slowestName = name + "/" + file.filename().string();
            }
            ++inputs;
        }
    }
    if (!wanted.empty() && targets != static_cast<int>(wanted.size())) {
        std::fprintf(stderr, "unknown target among the arguments\n");
        return 2;
    }
    std::printf("replayed %d inputs of %d targets; slowest %.3f s (%s)\n", inputs, targets, slowest,
                slowestName.c_str());
    return missing || slow ? 1 : 0;
}
