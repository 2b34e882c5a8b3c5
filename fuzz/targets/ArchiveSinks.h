// Listeners and sinks the archive targets share: they take everything, up to a bound.
#pragma once
#include "archive/ByteSource.h"
#include "archive/Gzip.h"
#include "archive/Tar.h"
#include "fuzz/FuzzTarget.h"
#include <cstring>

namespace fuzz {

// Stops a member after this many bytes: a small input may inflate without end.
constexpr size_t MaxMemberOutput = 4 << 20;

class CountingSink : public arc::IDataSink {
public:
    bool Write(const uint8_t* data, size_t size) override
    {
        FUZZ_CHECK(size == 0 || data != nullptr);
        total += size;
        return total < MaxMemberOutput;
    }
    size_t total = 0;
};

class TarChecks : public arc::IGzipContent {
public:
    bool OnEntry(const arc::TarEntry& entry) override
    {
        FUZZ_CHECK(entry.name.find('\0') == std::string::npos);
        FUZZ_CHECK(!open);
        open = true;
        data = 0;
        ++entries;
        return entries % 2 == 1;
    }
    bool OnData(const uint8_t* bytes, size_t size) override
    {
        FUZZ_CHECK(open);
        data += size;
        return data < MaxMemberOutput;
    }
    void OnEntryEnd(bool) override
    {
        FUZZ_CHECK(open);
        open = false;
    }
    void OnDamage(uint64_t, arc::TarProblem) override {}
    arc::IDataSink* OnSingleFile() override { return &single; }

    bool open = false;
    size_t data = 0;
    int entries = 0;
    CountingSink single;
};

} // namespace fuzz
