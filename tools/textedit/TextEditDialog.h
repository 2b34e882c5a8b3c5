// CTextEditDialog: the modeless "REDIT" window, a RichEdit control over a whole text file, as
// viewer (read-only) or editor. It deletes itself when its window is destroyed.
#pragma once
#include "framework/Dialog.h"
#include "tools/textedit/TextCodec.h"
#include "tools/textedit/TextFind.h"
#include <commdlg.h>
#include <richedit.h>
#include <string>
#include <vector>

namespace te {

class CTextEditDialog : public fw::CDialog {
public:
    // A new window on the file, shown at once; the file is loaded in steps when it is big.
    // newFile: the editor starts empty and Save creates the file. Null when the window cannot be made.
    static CTextEditDialog* Open(HWND parent, const std::wstring& path, bool readOnly, bool newFile);
    // The text windows open now, oldest first.
    static const std::vector<CTextEditDialog*>& OpenWindows();

    const std::wstring& Path() const { return filePath; }
    bool IsViewer() const { return viewer; }
    // The viewer, and an editor whose file cannot be written back as it was read.
    bool IsReadOnly() const { return readOnly; }
    bool IsLoading() const { return loading; }
    bool IsModified() const;
    // The RichEdit control.
    HWND Control() const;
    TextEncoding Encoding() const { return file.encoding; }
    // The common find or replace dialog while it is open.
    HWND FindDialog() const { return findDialog; }
    // The control's whole text (or the selection) as it streams out.
    std::wstring StreamOut(bool selectionOnly = false) const;
    // Characters of text, line ends counted as they stream out.
    long TextLength() const;
    // The close rule: asks about unsaved changes; true when the window is gone.
    bool TryClose();

    static constexpr UINT WM_RESTOREPOSITION = WM_USER + 37;
    static constexpr UINT WM_TABKEY = WM_USER + 40;
    static constexpr UINT WM_LOADSTEP = WM_USER + 41;

protected:
    bool OnInit() override;
    INT_PTR OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnCancel() override { TryClose(); }
    void OnDestroyed() override;
    bool PreTranslateMessage(MSG& msg) override;
    bool CloseForExit() override { return TryClose(); }

private:
    CTextEditDialog(const std::wstring& path, bool readOnly, bool newFile);
    ~CTextEditDialog() override;

    // ---- TextEditDialog.cpp: start, loading, first show, layout, position, closing
    void ApplySettings();
    void StartLoading();
    void LoadStep();
    void FinishLoading();
    void UpdateTitle();
    void OnFirstShow();
    void RestorePosition();
    void StorePosition();
    void Layout();
    void OnTab();
    int ShowQuestion(UINT buttons);
    void OnDestroying();
    static void StreamInto(HWND control, const wchar_t* text, size_t length, bool selection);

    // ---- TextEditCommands.cpp: the menu commands and their states
    void OnCommandId(UINT id);
    void UpdateMenu(HMENU menu);
    bool Save();
    bool SaveAs();
    void SaveSelection();
    void InsertFile();
    // The text in the file's encoding and line ends; false when the user declined a change of encoding.
    bool FileBytes(const std::wstring& text, std::string& bytes, TextEncoding& encoding);
    bool WriteText(const std::wstring& path, const std::wstring& text);
    void ChooseFontCommand();
    void ChooseColorCommand(bool text);
    void ToggleWordWrap();
    void ApplyWordWrap();
    void SetDefaultFormat(const CHARFORMATW& format);
    void MarkModified();

    // ---- TextEditFind.cpp: the common find dialog, find next, replace
    void OpenFindDialog(bool replace);
    void OnFindMessage(FINDREPLACEW& request);
    void FindNextCommand();
    long SearchStart() const;
    bool FindFrom(long start, DWORD flags, CHARRANGE& match) const;
    void Select(const CHARRANGE& range);
    void ReplaceOnce(DWORD flags);
    void ReplaceAll(DWORD flags);
    void MoveFindDialogAside();
    void Tell(UINT stringId, UINT icon = MB_ICONWARNING);

    // What the window shows.
    std::wstring filePath;
    std::wstring titlePrefix; // "PD - " after Save as; empty: the viewer's or the editor's own
    bool newFile = false;
    bool viewer = false;
    bool readOnly = false;
    bool wordWrap = false;
    // Find and replace: the texts, the flags of the last search, the open dialog and its buffers.
    std::wstring findText;
    std::wstring replaceText;
    DWORD findFlags = 0;
    HWND findDialog = nullptr;
    bool findIsReplace = false;
    FINDREPLACEW findRequest = {};
    wchar_t findBuffer[FindTextLimit + 1] = {};
    wchar_t replaceBuffer[FindTextLimit + 1] = {};
    bool firstShow = false;
    HACCEL accelerators = nullptr;
    HBRUSH background = nullptr;

    // The file as read, and the loading in steps.
    DecodedText file;
    size_t loaded = 0;
    bool loading = false;
    bool readFailed = false;
    bool exact = true; // the control gives the file back byte for byte
    TextEncoding savedEncoding = TextEncoding::Ansi; // what the last successful write used
};

} // namespace te
