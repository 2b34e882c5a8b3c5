// What the listing and the extraction of tar and gzip archives share.
#pragma once
#include "archive/ArchiveEvents.h"
#include "archive/ByteSource.h"
#include "archive/Gzip.h"
#include "archive/Tar.h"
#include <functional>
#include <string>

// A tar header as a member: names are UTF-8 from pax records and usually from today's tar
// writers; other bytes are read in the ANSI code page.
MemberInfo DescribeTar(const arc::TarEntry& entry);
std::wstring GzipProblemText(arc::GzipStatus status);
// Hands the source to feed from its start in pieces until feed returns false; false on a read error.
bool ReadInPieces(arc::IByteSource& source, const std::function<bool(const uint8_t*, size_t)>& feed);
