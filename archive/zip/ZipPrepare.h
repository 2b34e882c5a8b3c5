// Small files read and deflated ahead of the writer: one thread reads them in order (the
// platform's file calls do not overlap with each other under Wine, so more readers only queue),
// others deflate what has been read, and the writer takes the members in order.
#pragma once
#include "archive/zip/ZipWriter.h"
#include <windows.h>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace zip {

// Files up to this size are made ahead in memory; larger ones are streamed by the writer.
constexpr uint64_t PrepareLimit = 1024 * 1024;
// The bytes read ahead and not yet written, at most.
constexpr uint64_t PrepareBudget = 32 * 1024 * 1024;

class CMemberPreparer {
public:
    explicit CMemberPreparer(int level);
    ~CMemberPreparer();
    CMemberPreparer(const CMemberPreparer&) = delete;
    CMemberPreparer& operator=(const CMemberPreparer&) = delete;
    // Reads size bytes of path into member's data, as they are.
    static void Read(const std::wstring& path, uint64_t size, PreparedMember& member);
    // Deflates what Read left; keeps the bytes as read when that does not shrink them.
    void Deflate(PreparedMember& member);

private:
    struct Stream;
    std::unique_ptr<Stream> stream;
    std::vector<uint8_t> packed;
};

class CPrepareQueue {
public:
    struct Job {
        std::wstring path;
        uint64_t size = 0;
        bool wanted = false; // false: the writer streams it itself, or it is no file
    };
    // At most budget bytes of files read ahead are held at a time.
    CPrepareQueue(int level, int deflaters, uint64_t budget);
    ~CPrepareQueue();
    CPrepareQueue(const CPrepareQueue&) = delete;
    CPrepareQueue& operator=(const CPrepareQueue&) = delete;

    // Jobs are added while the files are still being listed; Close says there are no more.
    void Add(Job job);
    void Close();
    // Waits for job index, asking keepWaiting now and then (it runs the user interface); null
    // when it said stop.
    PreparedMember* Take(size_t index, const std::function<bool()>& keepWaiting);
    // The writer is at job index: everything before it is dropped.
    void Advance(size_t index);

private:
    void ReadAll();
    void DeflateRead(int level);

    std::vector<Job> jobs;
    std::vector<std::unique_ptr<PreparedMember>> done;
    std::vector<uint8_t> counted; // the job's bytes are in held
    std::deque<std::pair<size_t, std::unique_ptr<PreparedMember>>> read;
    std::vector<std::thread> workers;
    // The system's own lock and condition: the C++ library's under MinGW wait through kernel
    // objects, which under Wine is a round trip to its server for every wait and wake.
    SRWLOCK lock = SRWLOCK_INIT;
    CONDITION_VARIABLE changed = CONDITION_VARIABLE_INIT;
    size_t at = 0, reading = 0; // the writer's job and the reader's
    uint64_t budget, held = 0;   // bytes of the jobs read ahead and not yet dropped
    bool stop = false, closed = false, allRead = false;
};

} // namespace zip
