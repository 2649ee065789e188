#pragma once
// Helpers the display, sound, network and system tests share.

#include <windows.h>

#include "diaglib/devices/Wmi.h"
#include "diaglib/exports/ProblemCodes.h"
#include "diaglib/exports/TestResult.h"
#include "framework/SharedString.h"

namespace diag {

// Marks `result` as having found the problem `code`.
void SetProblem(TestResult* result, ProblemCode code);

// "PCI\VEN_8086&DEV_2A42&SUBSYS..." or "HDAUDIO\FUNC_01&VEN_10EC&DEV_0269&SUBSYS..." becomes
// "VEN_8086&DEV_2A42" or "VEN_10EC&DEV_0269"; an identifier without "VEN_" stays whole.
// Shortening twice changes nothing.
void ShortenToVendorDevice(fw::CSharedString& id);

// The folder of this library's own file, without a trailing backslash; empty when the file
// name cannot be read whole.
fw::CSharedString LibraryFolder();

// The faulty device of `kind` Windows knows of, into `detail`, shortened; true when one was
// found. Without a match `detail` keeps the last faulty device of any kind the lookup read.
// `wmiSlot` is the engine's member that names the query helper while it runs.
bool LookUpFaultyDevice(CCommonWmiData*& wmiSlot, int kind, fw::CSharedString& detail);

// A device test that found no device of its kind at all: sets `code`, then looks for a device
// of that kind Windows reports as faulty, so the driver repair knows which driver to install.
// A match is traced and marked valid in `detail`. Without one `detail` stays empty: the
// lookup leaves the last faulty device of any kind behind, and the repair would install that
// device's package.
void ReportFaultyDeviceOfKind(CCommonWmiData*& wmiSlot, int kind, ProblemCode code,
                              TestResult* result);

} // namespace diag
