// Fuzz targets register by name: a libFuzzer program runs one of them (FuzzerEntry.cpp), the replay
// program (native and Windows) runs stored inputs through all of them.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace fuzz {

using TargetFunction = void (*)(const uint8_t* data, size_t size);
// Registers a target; returns the number registered so far.
int RegisterTarget(const char* name, TargetFunction function);
// The target of that name, or null.
TargetFunction FindTarget(const std::string& name);
// Every target by name, in name order.
std::vector<std::pair<std::string, TargetFunction>> AllTargets();

// A property the target asserts beyond "no crash": stops the run loudly, so the fuzzer keeps the input.
[[noreturn]] inline void Fail(const char* what, const char* file, int line)
{
    std::fprintf(stderr, "property failed: %s (%s:%d)\n", what, file, line);
    std::fflush(stderr);
    std::abort();
}

// Reads the fuzzer's bytes front to back; past the end every read yields zeros.
class Input {
public:
    Input(const uint8_t* data, size_t size) : data(data), size(size) {}
    size_t Remaining() const { return size - position; }
    uint8_t Byte() { return position < size ? data[position++] : 0; }
    uint16_t Word()
    {
        uint16_t low = Byte();
        return static_cast<uint16_t>(low | Byte() << 8);
    }
    // Up to count bytes.
    std::string Bytes(size_t count)
    {
        count = count < Remaining() ? count : Remaining();
        std::string s(reinterpret_cast<const char*>(data + position), count);
        position += count;
        return s;
    }
    std::string Rest() { return Bytes(Remaining()); }
    // A text of UTF-16 units (two bytes each) as the Windows build holds it, up to the next zero unit.
    std::wstring Text(size_t maxUnits = 4096)
    {
        std::wstring s;
        while (Remaining() >= 2 && s.size() < maxUnits) {
            uint16_t unit = Word();
            if (unit == 0) break;
            s += static_cast<wchar_t>(unit);
        }
        return s;
    }
    const uint8_t* Pointer() const { return data + position; }

private:
    const uint8_t* data;
    size_t size;
    size_t position = 0;
};

} // namespace fuzz

#define FUZZ_CHECK(condition) \
    do { \
        if (!(condition)) ::fuzz::Fail(#condition, __FILE__, __LINE__); \
    } while (0)

#define FUZZ_TARGET(name) \
    static void name##_Run(const uint8_t* data, size_t size); \
    static const int name##_Registered = ::fuzz::RegisterTarget(#name, name##_Run); \
    static void name##_Run(const uint8_t* data, size_t size)
