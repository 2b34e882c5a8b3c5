// The image viewer: one picture in a modal window that scrolls, saves, copies and opens it.
#pragma once
#include "codec/ImageCodec.h"
#include "framework/Dialog.h"
#include <string>

class CImageViewDialog : public fw::CDialog {
public:
    explicit CImageViewDialog(const std::wstring& path);
    // True when the picture was loaded and shown; false when the viewer declined the file.
    bool Loaded() const { return loaded; }

protected:
    bool OnInit() override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    INT_PTR OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnDestroyed() override;

private:
    // ImageViewDialog.cpp: loading, scrolling, keys and painting
    bool LoadPicture();
    void UpdateScrollRanges();
    void ScrollTo(int x, int y);
    void OnScroll(int bar, int code);
    bool OnKey(UINT key);
    // Into a paint or print DC: the picture, and white around it.
    void Paint(HDC dc);
    POINT PictureOrigin() const;
    static LRESULT CALLBACK FilterHook(int code, WPARAM wp, LPARAM lp);

    // ImageViewCommands.cpp: save as, copy, open with
    void OnSaveAs();
    void OnCopy();
    void OnOpenWith();

    std::wstring path;
    Image image;
    bool loaded = false;
    int scrollX = 0;
    int scrollY = 0;
    int visibleWidth = 0;
    int visibleHeight = 0;
    int maxX = 0;
    int maxY = 0;
    HBRUSH whiteBrush = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
    HACCEL accelerators = nullptr;
    HHOOK filter = nullptr;
    bool updatingRanges = false;
};

// Shows the file in the image viewer; false when it is not a picture the viewer can load.
bool ViewImage(HWND parent, const std::wstring& path);
