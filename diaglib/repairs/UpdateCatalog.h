#pragma once
// The update tool's catalogs: "DownloadedCatalog.xml" (the updates it downloaded) and
// "SearchedCatalog.xml" (what its last search found), in its program folder.

#include <cstdint>

#include "framework/SharedString.h"

namespace diag {

constexpr int kUpdateCatalogEntries = 50;

// Reads the catalog of `kind` (2 the downloaded one, anything else the searched one): `count`
// receives the entries read (untouched when there is no catalog), `lines` (kUpdateCatalogEntries
// strings) one "- name  : version" line per entry. Returns the entries' total size in bytes,
// -1.0 for a catalog without entries, 1.0 when there is no catalog.
double ReadUpdateCatalog(int32_t* count, fw::CSharedString* lines, int32_t kind);

// One waiting update as its catalog entry gives it.
struct UpdateEntry {
    fw::CSharedString name;
    fw::CSharedString version;
    fw::CSharedString fileSizeText;
    int32_t fileSize = 0; // fileSizeText as a decimal number, 0 when it is none
};

// Reads the catalog at `path` into `entries` and sets `count` to the entries stored (at most
// kUpdateCatalogEntries; later ones are skipped). Entries begin with "Item" elements, in
// "SearchedCatalog.xml" with "Content" ones. False when the file cannot be read as XML or the
// XML breaks off; the entries read up to that point are kept.
bool GetUpdateData(const wchar_t* path, int32_t& count,
                   UpdateEntry (&entries)[kUpdateCatalogEntries]);

// The FILESIZE conversion: leading blanks, an optional sign and the digits up to the first
// other character; no digits give 0, values beyond 32 bits stop at the nearest limit.
int32_t ParseFileSize(const wchar_t* text);

} // namespace diag
