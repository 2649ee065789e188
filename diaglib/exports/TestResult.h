#pragma once
// The result record every test and repair export of the diagnostic library receives. The
// program owns it (inside its task records) and passes its address across the module
// boundary, so both sides must agree on every field and width; the release build is 32-bit,
// where the record is 20 bytes.

#include <cstddef>
#include <cstdint>

#include "framework/SharedString.h"

struct TestResult {
    int32_t categoryTag = 0;  // 3 display, 4 sound, 8 network, 32 system
    int32_t problemCode = 0;  // 0 none, else 1..35
    int32_t problemFound = 0; // 0 none, 1 found; repairs may write 2 (repaired) or 3 (failed)
    fw::CSharedString detail; // a device identifier, freed by whichever module made it
    int32_t detailValid = 0;  // 1 when a device test stored `detail`
};

static_assert(sizeof(fw::CSharedString) == sizeof(void*),
              "the shared string must cross modules as one pointer");
static_assert(offsetof(TestResult, categoryTag) == 0 && offsetof(TestResult, problemCode) == 4 &&
                  offsetof(TestResult, problemFound) == 8 &&
                  offsetof(TestResult, detail) == 12 + (sizeof(void*) - 4),
              "TestResult field order");
#if !defined(_WIN64)
static_assert(sizeof(TestResult) == 20 && offsetof(TestResult, detailValid) == 16,
              "TestResult is 20 bytes in the 32-bit build");
#endif

// Every test and repair export: the record in, an 8-bit boolean out, caller-cleans.
using DiagExport = bool(__cdecl*)(TestResult* result);
// The update catalog reader: entries read, one line per entry (the caller's array of
// kUpdateLines strings), the catalog kind; the total size in bytes, -1.0 for an empty catalog,
// 1.0 when there is none.
constexpr int kUpdateLines = 50;
using DiagUpdateStringArrayExport = double(__cdecl*)(int32_t* count, fw::CSharedString* lines,
                                                     int32_t kind);
