// Loading a file into the hex editor and writing it back safely.
#pragma once
#include "common/FileWrite.h"
#include "tools/hexedit/HexDocument.h"
#include <windows.h>
#include <string>

namespace hex {

// A file opened by CreateFile, read and written by offset.
class CWin32File : public IFileAccess {
public:
    explicit CWin32File(HANDLE handle) : handle(handle) {}
    ~CWin32File() override;
    CWin32File(const CWin32File&) = delete;
    CWin32File& operator=(const CWin32File&) = delete;
    bool ReadAt(Offset offset, uint8_t* out, size_t n) override;
    bool WriteAt(Offset offset, const uint8_t* data, size_t n) override;
    HANDLE Handle() const { return handle; }

private:
    HANDLE handle;
};

// What a load or save did: 0, or the message id to show with the system's error.
struct FileResult {
    int message = 0;
    DWORD error = 0;
    explicit operator bool() const { return message == 0; }
};

// The whole file into memory when it is within InMemoryLimit(), else opened in pages. On any
// failure the document is left empty.
FileResult LoadDocument(const std::wstring& path, CHexDocument& doc);
// Writes the document to a temporary file beside path and puts it in place of path only when
// it is complete; a failure leaves path as it was.
FileResult WriteDocumentAs(const CHexDocument& doc, const std::wstring& path);
// Saves a paged document's changed pages into the file it was read from.
FileResult WritePagedChanges(CHexDocument& doc, const std::wstring& path);

} // namespace hex
