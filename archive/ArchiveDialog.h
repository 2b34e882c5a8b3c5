// CArchiveDialog: "FILECONT", the members of an archive in a three-column list, and their extraction.
#pragma once
#include "archive/ArchiveEvents.h"
#include "archive/ArchiveType.h"
#include "fileops/OperationUi.h"
#include "framework/Controls.h"
#include "framework/Dialog.h"
#include <cstdint>
#include <string>
#include <vector>

class CCopyProgress;
class CExtractor;
struct RarArchive;

// One list row.
struct ArchiveRow {
    std::wstring name;      // the member's path inside the archive as stored, never cut
    uint64_t lastWrite = 0; // file time, UTC, with the seconds of its local time dropped
    int64_t size = -1;      // -1: unknown, shown as "?"
};

class CArchiveDialog : public fw::CDialog, private IArchiveEvents {
public:
    CArchiveDialog(const std::wstring& archivePath, const std::wstring& targetDirectory, OperationState& operation);
    ~CArchiveDialog() override;

    // ---- ArchiveDialog.cpp: the list, its texts and its commands
    const std::vector<ArchiveRow>& Rows() const { return rows; }
    ArchiveType Type() const { return type; }
    bool HasFolders() const { return hasFolders; }
    bool Damaged() const { return damaged; }
    std::wstring RowText(size_t row, int column) const;
    const std::wstring& TargetDirectory() const { return targetDirectory; }

    static constexpr size_t MaxRows = 2000000;

protected:
    bool OnInit() override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    INT_PTR OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnCancel() override;

private:
    void SaveColumnWidths();
    void EnableActions(bool on);

    // ---- ArchiveListing.cpp: listing by type; false ends the dialog
    bool ListArchive();
    bool ListZip();
    bool ListGzip();
    bool ListTar();
    bool ListCabinet();
    bool ListRar();
    // The rar library's handle, or null after the message why not.
    RarArchive* OpenRar(unsigned mode);
    void AddRow(const std::wstring& name, uint64_t time, int64_t size, bool slashIsSeparator);
    void OnMember(const MemberInfo& member) override;
    // The single member of a gzip file without a stored name: the archive's name without its extension.
    std::wstring GzipMemberName(const std::string& storedName, bool hasName) const;

    // ---- ArchiveExtract.cpp: the extract command and the extraction by type
    void OnExtract();
    void ExtractMembers();
    void ExtractZip();
    void ExtractStream(bool gzip);
    void ExtractCabinet();
    void ExtractRar();
    bool TakesPart(size_t row) const { return extractAll || (row < marked.size() && marked[row]); }
    void ReportArchiveProblem(const std::wstring& text);

    // ---- ArchiveProgress.cpp: the events of a running extraction
    bool Cancelled() override;
    void OnProcessing(const std::wstring& name) override;
    void OnProgress(uint64_t bytes) override;
    OverwriteAnswer OnFileExists(const OverwriteQuestion& question) override;
    bool OnSkipping(const std::wstring& name, const std::wstring& reason) override;
    PasswordAnswer OnPassword(const std::wstring& member, std::wstring& password) override;
    void OnWrongPassword() override;
    void UpdateProgress(bool force);
    HWND QuestionOwner() const;

    // Listing state.
    std::wstring archivePath, targetDirectory;
    OperationState& operation;
    ArchiveType type = ArchiveZip;
    std::vector<ArchiveRow> rows;
    bool hasFolders = false, damaged = false, slashCounts = true;
    std::wstring damage; // what the listing found wrong
    fw::CListView list;

    // Extraction state.
    bool extractAll = false;
    int selectedCount = 0;
    std::vector<uint8_t> marked;
    uint64_t totalBytes = 0, doneBytes = 0;
    int memberCount = 0, doneCount = 0;
    bool askOverwrite = true;
    bool folderQuestionAnswered = false, keepFolders = false;
    std::wstring password;
    int passwordMode = 0;
    CCopyProgress* progress = nullptr;
    DWORD lastProgressTick = 0;
    int lastPercent = -1;
};
