// Worker threads that read and deflate the small files ahead; the bytes come out as the writer
// would have made them itself (same zlib settings, stored when deflating does not shrink).
#include "archive/zip/ZipPrepare.h"
#include "framework/Handles.h"
#include <algorithm>
#include <chrono>
#include <zlib.h>

namespace zip {

struct CMemberPreparer::Stream {
    z_stream z = {};
    bool ready = false;
    ~Stream()
    {
        if (ready) deflateEnd(&z);
    }
};

CMemberPreparer::CMemberPreparer(int level) : stream(std::make_unique<Stream>())
{
    stream->ready = deflateInit2(&stream->z, level, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) == Z_OK;
}

CMemberPreparer::~CMemberPreparer() = default;

void CMemberPreparer::Prepare(const std::wstring& path, uint64_t size, PreparedMember& member)
{
    member = PreparedMember();
    member.size = size;
    fw::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) {
        member.status = WriteStatus::ReadError;
        member.error = ::GetLastError();
        return;
    }
    in.resize(static_cast<size_t>(size));
    DWORD got = 0, total = 0;
    while (total < size && ::ReadFile(file.Get(), in.data() + total, static_cast<DWORD>(size) - total, &got, nullptr) &&
           got > 0)
        total += got;
    if (total < size) {
        // Shorter than the listing said: changed while being packed.
        member.status = WriteStatus::ReadError;
        member.error = ::GetLastError() ? ::GetLastError() : ERROR_HANDLE_EOF;
        return;
    }
    member.crc = arc::Crc32(0, in.data(), in.size());
    if (size > 0 && stream->ready) {
        z_stream& z = stream->z;
        deflateReset(&z);
        member.data.resize(static_cast<size_t>(deflateBound(&z, static_cast<uLong>(size))));
        z.next_in = in.data();
        z.avail_in = static_cast<uInt>(size);
        z.next_out = member.data.data();
        z.avail_out = static_cast<uInt>(member.data.size());
        if (::deflate(&z, Z_FINISH) == Z_STREAM_END && z.total_out < size) {
            member.data.resize(z.total_out);
            member.method = MethodDeflated;
            return;
        }
    }
    member.method = MethodStored;
    member.data.assign(in.begin(), in.end());
}

CPrepareQueue::CPrepareQueue(std::vector<Job> list, int level, int threads, size_t window)
    : jobs(std::move(list)), done(jobs.size()), window(window)
{
    for (int i = 0; i < threads; ++i) workers.emplace_back([this, level] { Work(level); });
}

CPrepareQueue::~CPrepareQueue()
{
    {
        std::lock_guard<std::mutex> guard(lock);
        stop = true;
    }
    changed.notify_all();
    for (std::thread& worker : workers) worker.join();
}

void CPrepareQueue::Work(int level)
{
    CMemberPreparer preparer(level);
    std::unique_lock<std::mutex> guard(lock);
    for (;;) {
        while (claim < jobs.size() && !jobs[claim].wanted) ++claim;
        changed.wait(guard, [&] { return stop || claim >= jobs.size() || claim < at + window; });
        if (stop || claim >= jobs.size()) return;
        size_t index = claim++;
        guard.unlock();
        auto member = std::make_unique<PreparedMember>();
        preparer.Prepare(jobs[index].path, jobs[index].size, *member);
        guard.lock();
        if (index >= at) done[index] = std::move(member);
        changed.notify_all();
    }
}

PreparedMember* CPrepareQueue::Take(size_t index, const std::function<bool()>& keepWaiting)
{
    std::unique_lock<std::mutex> guard(lock);
    while (!done[index]) {
        // Short waits: the progress window and its Cancel are served in between.
        if (changed.wait_for(guard, std::chrono::milliseconds(30), [&] { return done[index] != nullptr; })) break;
        guard.unlock();
        bool goOn = keepWaiting();
        guard.lock();
        if (!goOn) return nullptr;
    }
    return done[index].get();
}

void CPrepareQueue::Advance(size_t index)
{
    std::vector<std::unique_ptr<PreparedMember>> dropped;
    {
        std::lock_guard<std::mutex> guard(lock);
        for (size_t i = at; i < index && i < done.size(); ++i) dropped.push_back(std::move(done[i]));
        at = std::max(at, index);
    }
    changed.notify_all();
}

} // namespace zip
