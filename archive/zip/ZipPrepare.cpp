// The threads that make small members ahead; the bytes come out as the writer would have made
// them itself (same zlib settings, stored when deflating does not shrink).
#include "archive/zip/ZipPrepare.h"
#include "framework/Handles.h"
#include <algorithm>
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

void CMemberPreparer::Read(const std::wstring& path, uint64_t size, PreparedMember& member)
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
    member.data.resize(static_cast<size_t>(size));
    DWORD got = 0, total = 0;
    while (total < size &&
           ::ReadFile(file.Get(), member.data.data() + total, static_cast<DWORD>(size) - total, &got, nullptr) && got > 0)
        total += got;
    if (total < size) {
        // Shorter than the listing said: changed while being packed.
        member.status = WriteStatus::ReadError;
        member.error = ::GetLastError() ? ::GetLastError() : ERROR_HANDLE_EOF;
        member.data.clear();
    }
}

void CMemberPreparer::Deflate(PreparedMember& member)
{
    member.crc = arc::Crc32(0, member.data.data(), member.data.size());
    member.method = MethodStored;
    uint64_t size = member.data.size();
    if (size == 0 || !stream->ready) return;
    z_stream& z = stream->z;
    deflateReset(&z);
    packed.resize(static_cast<size_t>(deflateBound(&z, static_cast<uLong>(size))));
    z.next_in = member.data.data();
    z.avail_in = static_cast<uInt>(size);
    z.next_out = packed.data();
    z.avail_out = static_cast<uInt>(packed.size());
    if (::deflate(&z, Z_FINISH) == Z_STREAM_END && z.total_out < size) {
        member.data.assign(packed.begin(), packed.begin() + static_cast<std::ptrdiff_t>(z.total_out));
        member.method = MethodDeflated;
    }
}

namespace {
class CLocked {
public:
    explicit CLocked(SRWLOCK& lock) : lock(lock) { ::AcquireSRWLockExclusive(&lock); }
    ~CLocked() { ::ReleaseSRWLockExclusive(&lock); }
    CLocked(const CLocked&) = delete;
    CLocked& operator=(const CLocked&) = delete;
    void Unlock() { ::ReleaseSRWLockExclusive(&lock); }
    void Lock() { ::AcquireSRWLockExclusive(&lock); }
    // Waits until ready() holds; false when timeout (ms) passed first.
    template <typename F>
    bool Wait(CONDITION_VARIABLE& changed, F&& ready, DWORD timeout = INFINITE)
    {
        while (!ready())
            if (!::SleepConditionVariableSRW(&changed, &lock, timeout, 0) && timeout != INFINITE) return ready();
        return true;
    }

private:
    SRWLOCK& lock;
};
}

CPrepareQueue::CPrepareQueue(int level, int deflaters, uint64_t budget) : budget(budget)
{
    workers.emplace_back([this] { ReadAll(); });
    for (int i = 0; i < deflaters; ++i) workers.emplace_back([this, level] { DeflateRead(level); });
}

CPrepareQueue::~CPrepareQueue()
{
    {
        CLocked guard(lock);
        stop = true;
    }
    ::WakeAllConditionVariable(&changed);
    for (std::thread& worker : workers) worker.join();
}

void CPrepareQueue::Add(Job job)
{
    {
        CLocked guard(lock);
        jobs.push_back(std::move(job));
        done.emplace_back();
        counted.push_back(0);
    }
    ::WakeAllConditionVariable(&changed);
}

void CPrepareQueue::Close()
{
    {
        CLocked guard(lock);
        closed = true;
    }
    ::WakeAllConditionVariable(&changed);
}

void CPrepareQueue::ReadAll()
{
    CLocked guard(lock);
    for (;; ++reading) {
        guard.Wait(changed, [&] { return stop || closed || reading < jobs.size(); });
        if (stop || reading >= jobs.size()) break;
        if (!jobs[reading].wanted || reading < at) continue;
        uint64_t size = jobs[reading].size;
        // The job the writer waits for is read whatever the budget says.
        guard.Wait(changed, [&] { return stop || reading <= at || held + size <= budget; });
        if (stop) break;
        if (reading < at) continue;
        held += size;
        counted[reading] = 1;
        std::wstring path = jobs[reading].path;
        size_t index = reading;
        guard.Unlock();
        auto member = std::make_unique<PreparedMember>();
        CMemberPreparer::Read(path, size, *member);
        guard.Lock();
        if (member->status != WriteStatus::Ok) done[index] = std::move(member);
        else read.emplace_back(index, std::move(member));
        ::WakeAllConditionVariable(&changed);
    }
    allRead = true;
    ::WakeAllConditionVariable(&changed);
}

void CPrepareQueue::DeflateRead(int level)
{
    CMemberPreparer preparer(level);
    CLocked guard(lock);
    for (;;) {
        guard.Wait(changed, [&] { return stop || !read.empty() || allRead; });
        if (stop || read.empty()) return;
        auto [index, member] = std::move(read.front());
        read.pop_front();
        guard.Unlock();
        preparer.Deflate(*member);
        guard.Lock();
        if (index >= at) done[index] = std::move(member);
        ::WakeAllConditionVariable(&changed);
    }
}

PreparedMember* CPrepareQueue::Take(size_t index, const std::function<bool()>& keepWaiting)
{
    CLocked guard(lock);
    // Short waits: the progress window and its Cancel are served in between.
    while (!guard.Wait(changed, [&] { return done[index] != nullptr; }, 30)) {
        guard.Unlock();
        bool goOn = keepWaiting();
        guard.Lock();
        if (!goOn) return nullptr;
    }
    return done[index].get();
}

void CPrepareQueue::Advance(size_t index)
{
    std::vector<std::unique_ptr<PreparedMember>> dropped;
    {
        CLocked guard(lock);
        for (size_t i = at; i < index && i < done.size(); ++i) {
            dropped.push_back(std::move(done[i]));
            if (counted[i]) held -= jobs[i].size;
            counted[i] = 0;
        }
        at = std::max(at, index);
    }
    ::WakeAllConditionVariable(&changed);
}

} // namespace zip
