// Cabinets through the platform's decompressor (cabinet.dll, FDI): one pass that lists or extracts.
#pragma once
#include "archive/ByteSource.h"
#include <cstdint>
#include <string>

namespace cab {

struct CabMember {
    std::wstring name;
    uint64_t size = 0;
    uint16_t date = 0, time = 0, attributes = 0;
};

class ICabHandler {
public:
    virtual ~ICabHandler() = default;
    // A member of the cabinet: the sink that takes its data, or null to pass it over.
    virtual arc::IDataSink* OnMember(const CabMember& member) = 0;
    // After a member that was taken: complete when all of its data arrived.
    virtual void OnMemberEnd(const CabMember& member, bool complete) = 0;
};

enum class CabStage { Ok, CreateFailed, OpenFailed, NotCabinet, CopyFailed, DestroyFailed };

struct CabResult {
    CabStage stage = CabStage::Ok;
    int code = 0; // the decompressor's error code
    bool stopped = false; // a sink refused data (the user cancelled or a write failed)
};

CabResult RunCabinet(const std::wstring& path, ICabHandler& handler);

// The decompressor's name for an error code.
const wchar_t* FdiErrorText(int code);

} // namespace cab
