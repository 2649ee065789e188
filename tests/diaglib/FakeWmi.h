#pragma once
// WMI as a test stages it: the instances of each class and the rows of each WQL query.
//
//     FakeWmi wmi;
//     wmi.AddInstance(L"Win32_VideoController", {{L"Description", Bstr(L"Display")},
//                                                {L"ConfigManagerErrorCode", I4(22)},
//                                                {L"PNPDeviceID", Bstr(L"PCI\\VEN_8086&...")}});
//     wmi.AddQueryRow(L"SELECT ...", {{L"DeviceID", Bstr(L"PCI\\...")}});
//     ScopedWmi scoped(wmi); // the library uses `wmi` until `scoped` goes
//
// A property left out of a row is one the class does not have: Get reports it missing, as
// WMI does. Class names match case-insensitively, as in WMI; query texts match exactly, so a
// query the code spells differently finds no rows (Queries() shows what was asked). A class or
// query that was given no rows answers with none. FailConnect, FailQuery and FailEnumeration
// make those calls fail. The fake must outlive the connections it hands out; it counts them
// (OpenConnections) so a test can see that the code released them.

#include <windows.h>

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "diaglib/ports/WmiPort.h"

// One VARIANT owned by the test: copied in, copied out, cleared when it goes.
class WmiValue {
  public:
    WmiValue() { VariantInit(&value_); }
    // Takes a copy of `value` (arrays and interfaces included).
    explicit WmiValue(const VARIANT& value);
    WmiValue(const WmiValue& other);
    WmiValue(WmiValue&& other) noexcept;
    WmiValue& operator=(const WmiValue& other);
    WmiValue& operator=(WmiValue&& other) noexcept;
    ~WmiValue() { VariantClear(&value_); }

    const VARIANT& get() const { return value_; }
    // Cleared first, for code that writes a VARIANT.
    VARIANT* put();

  private:
    VARIANT value_;
};

// The VARIANTs WMI hands out for the CIM types: strings (and uint64) as BSTR, uint32 and
// uint16 as VT_I4, sint16 as VT_I2, uint8 as VT_UI1, reals as VT_R4/VT_R8.
WmiValue Bstr(const wchar_t* text);
WmiValue I4(int32_t value);
WmiValue I2(int16_t value);
WmiValue UI1(uint8_t value);
WmiValue R4(float value);
WmiValue R8(double value);
WmiValue Bool(bool value);
WmiValue Null();  // a property that exists without a value
WmiValue Empty(); // VT_EMPTY

struct WmiProperty {
    std::wstring name;
    WmiValue value;
};
using WmiRow = std::vector<WmiProperty>;

class FakeWmi : public diag::IWmiPort {
  public:
    FakeWmi() = default;
    FakeWmi(const FakeWmi&) = delete;
    FakeWmi& operator=(const FakeWmi&) = delete;

    // One more instance of the class, enumerated after those added before.
    void AddInstance(const wchar_t* className, WmiRow properties);
    // One more row of the query with exactly this text.
    void AddQueryRow(const wchar_t* wql, WmiRow properties);

    void FailConnect(bool fail = true) { failConnect_ = fail; }
    // ExecQuery of this exact text reports that the query cannot be executed.
    void FailQuery(const wchar_t* wql) { failedQueries_.insert(wql); }
    // The enumeration of this class cannot be started.
    void FailEnumeration(const wchar_t* className);

    // What the code asked for, in order.
    const std::vector<std::wstring>& Namespaces() const { return namespaces_; }
    const std::vector<std::wstring>& Queries() const { return queries_; }
    const std::vector<std::wstring>& Enumerations() const { return enumerations_; }
    // Connections handed out and not yet deleted.
    int OpenConnections() const { return openConnections_; }

    diag::IWmiConnection* Connect(const wchar_t* nameSpace) override;

  private:
    class Connection;

    bool failConnect_ = false;
    std::map<std::wstring, std::vector<WmiRow>> instances_; // by upper-cased class name
    std::map<std::wstring, std::vector<WmiRow>> queryRows_;
    std::set<std::wstring> failedQueries_;
    std::set<std::wstring> failedEnumerations_; // upper-cased
    std::vector<std::wstring> namespaces_;
    std::vector<std::wstring> queries_;
    std::vector<std::wstring> enumerations_;
    int openConnections_ = 0;
};

// Installs a WMI port for the diagnostic library while it lives, then puts back the one used before.
class ScopedWmi {
  public:
    explicit ScopedWmi(diag::IWmiPort& port);
    ~ScopedWmi();
    ScopedWmi(const ScopedWmi&) = delete;
    ScopedWmi& operator=(const ScopedWmi&) = delete;

  private:
    diag::IWmiPort* previous_;
};
