// The requests the main window posts to a panel (WM_USER + n); sender and receiver share these.
#pragma once
#include <windows.h>

namespace req {
constexpr UINT Copy = WM_USER + 10;
constexpr UINT RenMove = WM_USER + 11;
constexpr UINT Delete = WM_USER + 13;
constexpr UINT MkDir = WM_USER + 15;
constexpr UINT CalcSpace = WM_USER + 16;
constexpr UINT Edit = WM_USER + 17;
constexpr UINT Zip = WM_USER + 19;
constexpr UINT FileSearch = WM_USER + 20;
constexpr UINT Print = WM_USER + 21;
constexpr UINT AttributesOne = WM_USER + 24;
constexpr UINT AttributesMany = WM_USER + 25;
constexpr UINT SortName = WM_USER + 28;
constexpr UINT SortExtension = WM_USER + 29;
constexpr UINT SortSize = WM_USER + 30;
constexpr UINT SortDate = WM_USER + 31;
constexpr UINT Associate = WM_USER + 32;
constexpr UINT OpenArchive = WM_USER + 41;
constexpr UINT EditNew = WM_USER + 42;
constexpr UINT ExtendFirst = WM_USER + 44; // +44 ... +49: the six selection extensions
constexpr UINT ExtendLast = WM_USER + 49;
constexpr UINT Invert = WM_USER + 50;
constexpr UINT DateTimeOne = WM_USER + 51;
constexpr UINT DateTimeMany = WM_USER + 52;
constexpr UINT PrintDir = WM_USER + 53;
constexpr UINT PrintTree = WM_USER + 54;
constexpr UINT View = WM_USER + 56;
constexpr UINT ChangeDir = WM_USER + 57;
constexpr UINT Forwarded = WM_USER + 61;
constexpr UINT HexEdit = WM_USER + 63;
constexpr UINT ColumnSizes = WM_USER + 64;
constexpr UINT Shortcut = WM_USER + 65;
constexpr UINT SaveDir = WM_USER + 66;
constexpr UINT SaveTree = WM_USER + 67;
// The panel posts a header click to itself with the column in wParam.
constexpr UINT HeaderClick = WM_USER + 70;
// The panel's own mouse requests: the right button's menu (wParam row, lParam screen point), a drag
// of the marked rows, and a drop received from the other panel (wParam the list, lParam the row).
constexpr UINT RightButton = WM_USER + 90;
constexpr UINT StartDrag = WM_USER + 91;
constexpr UINT ReceiveDrop = WM_USER + 92;
// A file list dropped through OLE: wParam a new std::vector<std::wstring> of its names, lParam the row.
constexpr UINT ReceiveShellDrop = WM_USER + 93;
} // namespace req
