// Which entries are links, and which names reach one file: reparse tags, identities, final paths.
#pragma once
#include <windows.h>
#include <string>

// A reparse point is a link only when its tag is a name surrogate (symbolic links, junctions);
// cloud placeholders, deduplicated files and the like are ordinary entries. Wine shows its Unix
// links with the reparse bit and no tag at all, and those are links too.
bool IsLinkTag(DWORD attributes, DWORD reparseTag);
bool IsLinkEntry(const WIN32_FIND_DATAW& data);
// The entry's own attributes and reparse tag, without following it; false when it is not there.
bool EntryTag(const std::wstring& path, DWORD& attributes, DWORD& reparseTag);

// What tells one file from every other: its volume and its index on that volume.
struct FileIdentity {
    DWORD volume = 0, indexHigh = 0, indexLow = 0;
    bool operator==(const FileIdentity& o) const
    {
        return volume == o.volume && indexHigh == o.indexHigh && indexLow == o.indexLow;
    }
    // Some file systems report no index; such identities prove nothing.
    bool Known() const { return (indexHigh | indexLow) != 0; }
};
bool IdentityOf(HANDLE file, FileIdentity& out);
// Opens the file or directory itself (following links) only to read its identity.
bool IdentityOf(const std::wstring& path, FileIdentity& out);

// The path the system reaches through every link, in the plain form; empty when it cannot be opened.
std::wstring FinalPath(const std::wstring& path);
// True when target, or the nearest part of it that exists, is directory itself or lies below it,
// however either is spelled: other drive letters, short names, links.
bool LiesInside(const std::wstring& target, const std::wstring& directory);
