// FDI callbacks over Win32 files and our sinks; names reach FDI as UTF-8, which our open decodes.
#include "archive/Cabinet.h"
#include "archive/ArchiveText.h"
#include "fileops/FileSystem.h"
#include "fileops/PathRules.h"
#include <windows.h>
#include <fcntl.h>
#include <fdi.h>
#include <cstdlib>
#include <memory>
#include <vector>

namespace cab {

namespace {
// What an FDI file handle stands for: the cabinet file or a member's sink.
struct Handle {
    HANDLE file = INVALID_HANDLE_VALUE;
    arc::IDataSink* sink = nullptr;
    CabMember member;
    bool ended = false;
    bool failed = false;
};

struct Context {
    ICabHandler* handler = nullptr;
    std::vector<Handle*> open; // member handles not yet closed by FDI
    bool stopped = false;
};

FNALLOC(Alloc) { return std::malloc(cb); }
FNFREE(Free) { std::free(pv); }

FNOPEN(Open)
{
    (void)pmode;
    std::wstring path = DecodeText(pszFile, CP_UTF8);
    bool write = (oflag & (_O_WRONLY | _O_RDWR)) != 0;
    HANDLE file = ::CreateFileW(LongPath(path).c_str(), write ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ,
                                FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return -1;
    auto* h = new Handle;
    h->file = file;
    return reinterpret_cast<INT_PTR>(h);
}

FNREAD(Read)
{
    auto* h = reinterpret_cast<Handle*>(hf);
    DWORD got = 0;
    if (h->sink || !::ReadFile(h->file, pv, cb, &got, nullptr)) return static_cast<UINT>(-1);
    return got;
}

FNWRITE(Write)
{
    auto* h = reinterpret_cast<Handle*>(hf);
    if (!h->sink || h->failed) return static_cast<UINT>(-1);
    if (!h->sink->Write(static_cast<const uint8_t*>(pv), cb)) {
        h->failed = true;
        return static_cast<UINT>(-1);
    }
    return cb;
}

FNCLOSE(Close)
{
    auto* h = reinterpret_cast<Handle*>(hf);
    if (h->file != INVALID_HANDLE_VALUE) ::CloseHandle(h->file);
    if (!h->sink) delete h;
    // Member handles are ended and freed by the notification or after the copy pass.
    return 0;
}

FNSEEK(Seek)
{
    auto* h = reinterpret_cast<Handle*>(hf);
    if (h->sink) return -1;
    LARGE_INTEGER distance, position;
    distance.QuadPart = dist;
    DWORD method = seektype == SEEK_SET ? FILE_BEGIN : seektype == SEEK_CUR ? FILE_CURRENT : FILE_END;
    if (!::SetFilePointerEx(h->file, distance, &position, method)) return -1;
    return static_cast<__LONG32>(position.QuadPart);
}

void EndMember(Context& context, Handle* h, bool complete)
{
    if (!h->ended) {
        h->ended = true;
        context.handler->OnMemberEnd(h->member, complete && !h->failed);
        if (h->failed) context.stopped = true;
    }
    for (size_t i = 0; i < context.open.size(); ++i)
        if (context.open[i] == h) context.open.erase(context.open.begin() + static_cast<std::ptrdiff_t>(i));
    delete h;
}

FNFDINOTIFY(Notify)
{
    auto* context = static_cast<Context*>(pfdin->pv);
    switch (fdint) {
    case fdintCOPY_FILE: {
        if (context->stopped) return -1;
        CabMember member;
        bool utf8 = (pfdin->attribs & _A_NAME_IS_UTF) != 0;
        member.name = DecodeText(pfdin->psz1 ? pfdin->psz1 : "", utf8 ? CP_UTF8 : CP_OEMCP);
        member.size = static_cast<uint32_t>(pfdin->cb);
        member.date = pfdin->date;
        member.time = pfdin->time;
        member.attributes = pfdin->attribs;
        arc::IDataSink* sink = context->handler->OnMember(member);
        if (!sink) return 0;
        auto* h = new Handle;
        h->sink = sink;
        h->member = member;
        context->open.push_back(h);
        return reinterpret_cast<INT_PTR>(h);
    }
    case fdintCLOSE_FILE_INFO: {
        auto* h = reinterpret_cast<Handle*>(pfdin->hf);
        bool failed = h->failed;
        EndMember(*context, h, true);
        return failed ? FALSE : TRUE;
    }
    case fdintNEXT_CABINET: return -1; // cabinet sets spanning several files are not read
    default: return 0;
    }
}
}

const wchar_t* FdiErrorText(int code)
{
    static const wchar_t* const texts[] = {L"No error",
                                           L"Cabinet not found",
                                           L"Not a cabinet",
                                           L"Unknown cabinet version",
                                           L"Corrupt cabinet",
                                           L"Memory allocation failed",
                                           L"Unknown compression type",
                                           L"Failure decompressing data",
                                           L"Failure writing to target file",
                                           L"Cabinets in set have different RESERVE sizes",
                                           L"Cabinet returned on fdintNEXT_CABINET is incorrect",
                                           L"User aborted"};
    if (code >= 0 && code < static_cast<int>(sizeof(texts) / sizeof(texts[0]))) return texts[code];
    return L"Unknown error";
}

CabResult RunCabinet(const std::wstring& path, ICabHandler& handler)
{
    CabResult result;
    ERF erf = {};
    HFDI fdi = FDICreate(Alloc, Free, Open, Read, Write, Close, Seek, cpu80386, &erf);
    if (!fdi) {
        result.stage = CabStage::CreateFailed;
        result.code = erf.erfOper;
        return result;
    }
    std::string name = EncodeText(LastPart(path), CP_UTF8);
    std::string directory = EncodeText(path.substr(0, path.size() - LastPart(path).size()), CP_UTF8);
    std::string full = directory + name;
    INT_PTR file = Open(full.data(), _O_RDONLY, 0);
    if (file == -1) {
        result.stage = CabStage::OpenFailed;
    } else {
        FDICABINETINFO info = {};
        BOOL isCabinet = FDIIsCabinet(fdi, file, &info);
        Close(file);
        if (!isCabinet) {
            result.stage = CabStage::NotCabinet;
        } else {
            Context context;
            context.handler = &handler;
            if (!FDICopy(fdi, name.data(), directory.data(), 0, Notify, nullptr, &context)) {
                result.stage = CabStage::CopyFailed;
                result.code = erf.erfOper;
            }
            while (!context.open.empty()) EndMember(context, context.open.back(), false);
            result.stopped = context.stopped;
        }
    }
    if (!FDIDestroy(fdi) && result.stage == CabStage::Ok) {
        result.stage = CabStage::DestroyFailed;
        result.code = erf.erfOper;
    }
    return result;
}

} // namespace cab
