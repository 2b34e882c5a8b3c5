// Entry comparison for the list control's sort.
#include "panel/EntryCompare.h"
#include <algorithm>
#include <cwchar>
#include <numeric>

std::wstring ExtensionSortKey(const std::wstring& name)
{
    size_t dot = name.find_last_of(L'.');
    if (dot == std::wstring::npos) return L" " + name;
    return name.substr(dot + 1) + name.substr(0, dot);
}

namespace {
int Collate(const std::wstring& a, const std::wstring& b) { return _wcsicoll(a.c_str(), b.c_str()); }

template <typename T>
int Order(T a, T b) { return a < b ? -1 : (a > b ? 1 : 0); }
}

int CompareEntries(const FileEntry& a, const FileEntry& b, int sortMode)
{
    if (a.kind != b.kind) return a.kind - b.kind;
    switch (sortMode) {
    case SortDateAsc: return Order(a.lastWrite, b.lastWrite);
    case SortDateDesc: return Order(b.lastWrite, a.lastWrite);
    case SortSizeAsc: return Order(a.Size(), b.Size());
    case SortSizeDesc: return Order(b.Size(), a.Size());
    case SortExtAsc: return Collate(ExtensionSortKey(a.name), ExtensionSortKey(b.name));
    case SortExtDesc: return Collate(ExtensionSortKey(b.name), ExtensionSortKey(a.name));
    case SortNameDesc: return Collate(b.name, a.name);
    case SortNameAsc:
    default: return Collate(a.name, b.name);
    }
}

int NextSortMode(int currentMode, int key)
{
    return currentMode == key ? key + 1 : key;
}

std::vector<size_t> SortOrder(const std::vector<const FileEntry*>& entries, int sortMode)
{
    std::vector<size_t> order(entries.size());
    std::iota(order.begin(), order.end(), size_t{0});
    if (sortMode != SortExtAsc && sortMode != SortExtDesc) {
        std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
            return CompareEntries(*entries[a], *entries[b], sortMode) < 0;
        });
        return order;
    }
    // The extension keys are built once, not at every comparison.
    std::vector<std::wstring> keys(entries.size());
    for (size_t i = 0; i < entries.size(); ++i) keys[i] = ExtensionSortKey(entries[i]->name);
    bool descending = sortMode == SortExtDesc;
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        if (entries[a]->kind != entries[b]->kind) return entries[a]->kind < entries[b]->kind;
        return (descending ? Collate(keys[b], keys[a]) : Collate(keys[a], keys[b])) < 0;
    });
    return order;
}
