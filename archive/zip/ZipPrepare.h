// Small files read and deflated ahead of the writer on worker threads, so that reading and
// deflating overlap with each other and with writing; the writer still takes them in order.
#pragma once
#include "archive/zip/ZipWriter.h"
#include <windows.h>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace zip {

// Files up to this size are made ahead in memory; larger ones are streamed by the writer.
constexpr uint64_t PrepareLimit = 1024 * 1024;

class CMemberPreparer {
public:
    explicit CMemberPreparer(int level);
    ~CMemberPreparer();
    CMemberPreparer(const CMemberPreparer&) = delete;
    CMemberPreparer& operator=(const CMemberPreparer&) = delete;
    // Reads size bytes of path and deflates them; keeps them as read when that does not shrink them.
    void Prepare(const std::wstring& path, uint64_t size, PreparedMember& member);

private:
    struct Stream;
    std::unique_ptr<Stream> stream;
    std::vector<uint8_t> in;
};

class CPrepareQueue {
public:
    struct Job {
        std::wstring path;
        uint64_t size = 0;
        bool wanted = false; // false: the writer streams it itself, or it is no file
    };
    // At most window jobs past the one the writer is at are held in memory.
    CPrepareQueue(std::vector<Job> jobs, int level, int threads, size_t window);
    ~CPrepareQueue();
    CPrepareQueue(const CPrepareQueue&) = delete;
    CPrepareQueue& operator=(const CPrepareQueue&) = delete;

    // Waits for job index, asking keepWaiting now and then (it runs the user interface); null
    // when it said stop.
    PreparedMember* Take(size_t index, const std::function<bool()>& keepWaiting);
    // The writer is at job index: everything before it is dropped.
    void Advance(size_t index);

private:
    void Work(int level);

    std::vector<Job> jobs;
    std::vector<std::unique_ptr<PreparedMember>> done;
    std::vector<std::thread> workers;
    std::mutex lock;
    std::condition_variable changed;
    size_t claim = 0, at = 0, window;
    bool stop = false;
};

} // namespace zip
