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

} // namespace diag
