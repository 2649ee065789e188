// Helpers the display, sound, network and system tests share.

#include "diaglib/tests/TestCommon.h"

#include "diaglib/exports/HelperScope.h"
#include "diaglib/exports/Trace.h"

namespace diag {

void SetProblem(TestResult* result, ProblemCode code)
{
    result->problemCode = code;
    result->problemFound = 1;
}

void ShortenToVendorDevice(fw::CSharedString& id)
{
    const int vendor = id.Find(L"VEN_");
    if (vendor >= 0)
        id = id.Mid(vendor, 17);
}

fw::CSharedString LibraryFolder()
{
    HMODULE self = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<const wchar_t*>(&LibraryFolder), &self);
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(self, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return fw::CSharedString();
    fw::CSharedString folder(path);
    return folder.Left(folder.ReverseFind(L'\\'));
}

bool LookUpFaultyDevice(CCommonWmiData*& wmiSlot, int kind, fw::CSharedString& detail)
{
    bool found = false;
    {
        HelperScope<CCommonWmiData> wmi(wmiSlot);
        wmi->Connect();
        found = FindErrorDevice(*wmi, kind, detail);
    }
    ShortenToVendorDevice(detail);
    return found;
}

void ReportFaultyDeviceOfKind(CCommonWmiData*& wmiSlot, int kind, ProblemCode code,
                              TestResult* result)
{
    SetProblem(result, code);
    if (!LookUpFaultyDevice(wmiSlot, kind, result->detail)) {
        result->detail.Empty();
        return;
    }
    diag::Trace(result->detail.c_str());
    result->detailValid = 1;
}

} // namespace diag
