#include "tests/diaglib/FakeWmi.h"

#include <oleauto.h>

#include <cwctype>
#include <utility>

namespace {

// VariantCopy only reads its source, but MinGW declares it without const.
VARIANT* Source(const VARIANT& value)
{
    return const_cast<VARIANT*>(&value);
}

std::wstring Upper(const wchar_t* text)
{
    std::wstring upper(text);
    for (wchar_t& ch : upper)
        ch = static_cast<wchar_t>(towupper(ch));
    return upper;
}

class FakeObject : public diag::IWmiObject {
  public:
    explicit FakeObject(const WmiRow& row) : row_(row) {}

    bool Get(const wchar_t* property, VARIANT* value) override
    {
        // Property names are case-insensitive in WMI.
        const std::wstring wanted = Upper(property);
        for (const WmiProperty& entry : row_) {
            if (Upper(entry.name.c_str()) == wanted)
                return SUCCEEDED(VariantCopy(value, Source(entry.value.get())));
        }
        return false;
    }

  private:
    const WmiRow& row_;
};

// Visits copies of the rows, so a visitor that stages more rows cannot pull them from under
// the walk.
bool VisitRows(std::vector<WmiRow> rows, diag::IWmiVisitor& visitor)
{
    for (const WmiRow& row : rows) {
        FakeObject object(row);
        if (!visitor.Visit(object))
            break;
    }
    return true;
}

} // namespace

// ---- WmiValue ---------------------------------------------------------------------------

WmiValue::WmiValue(const VARIANT& value)
{
    VariantInit(&value_);
    VariantCopy(&value_, Source(value));
}

WmiValue::WmiValue(const WmiValue& other) : WmiValue(other.value_) {}

WmiValue::WmiValue(WmiValue&& other) noexcept : value_(other.value_)
{
    VariantInit(&other.value_);
}

WmiValue& WmiValue::operator=(const WmiValue& other)
{
    if (this != &other)
        VariantCopy(&value_, Source(other.value_)); // clears what was held first
    return *this;
}

WmiValue& WmiValue::operator=(WmiValue&& other) noexcept
{
    if (this != &other) {
        VariantClear(&value_);
        value_ = other.value_;
        VariantInit(&other.value_);
    }
    return *this;
}

VARIANT* WmiValue::put()
{
    VariantClear(&value_);
    return &value_;
}

WmiValue Bstr(const wchar_t* text)
{
    WmiValue value;
    VARIANT* v = value.put();
    v->vt = VT_BSTR;
    v->bstrVal = SysAllocString(text);
    return value;
}

WmiValue I4(int32_t number)
{
    WmiValue value;
    VARIANT* v = value.put();
    v->vt = VT_I4;
    v->lVal = number;
    return value;
}

WmiValue I2(int16_t number)
{
    WmiValue value;
    VARIANT* v = value.put();
    v->vt = VT_I2;
    v->iVal = number;
    return value;
}

WmiValue UI1(uint8_t number)
{
    WmiValue value;
    VARIANT* v = value.put();
    v->vt = VT_UI1;
    v->bVal = number;
    return value;
}

WmiValue R4(float number)
{
    WmiValue value;
    VARIANT* v = value.put();
    v->vt = VT_R4;
    v->fltVal = number;
    return value;
}

WmiValue R8(double number)
{
    WmiValue value;
    VARIANT* v = value.put();
    v->vt = VT_R8;
    v->dblVal = number;
    return value;
}

WmiValue Bool(bool flag)
{
    WmiValue value;
    VARIANT* v = value.put();
    v->vt = VT_BOOL;
    v->boolVal = flag ? VARIANT_TRUE : VARIANT_FALSE;
    return value;
}

WmiValue Null()
{
    WmiValue value;
    value.put()->vt = VT_NULL;
    return value;
}

WmiValue Empty()
{
    return WmiValue();
}

// ---- FakeWmi ----------------------------------------------------------------------------

class FakeWmi::Connection : public diag::IWmiConnection {
  public:
    explicit Connection(FakeWmi& wmi) : wmi_(wmi) { ++wmi_.openConnections_; }
    ~Connection() override { --wmi_.openConnections_; }

    bool EnumerateInstances(const wchar_t* className, diag::IWmiVisitor& visitor) override
    {
        wmi_.enumerations_.emplace_back(className);
        const std::wstring key = Upper(className);
        if (wmi_.failedEnumerations_.count(key))
            return false;
        const auto rows = wmi_.instances_.find(key);
        return rows == wmi_.instances_.end() || VisitRows(rows->second, visitor);
    }

    bool ExecQuery(const wchar_t* wql, diag::IWmiVisitor& visitor) override
    {
        wmi_.queries_.emplace_back(wql);
        if (wmi_.failedQueries_.count(wql))
            return false;
        const auto rows = wmi_.queryRows_.find(wql);
        return rows == wmi_.queryRows_.end() || VisitRows(rows->second, visitor);
    }

  private:
    FakeWmi& wmi_;
};

void FakeWmi::AddInstance(const wchar_t* className, WmiRow properties)
{
    instances_[Upper(className)].push_back(std::move(properties));
}

void FakeWmi::AddQueryRow(const wchar_t* wql, WmiRow properties)
{
    queryRows_[wql].push_back(std::move(properties));
}

void FakeWmi::FailEnumeration(const wchar_t* className)
{
    failedEnumerations_.insert(Upper(className));
}

diag::IWmiConnection* FakeWmi::Connect(const wchar_t* nameSpace)
{
    namespaces_.emplace_back(nameSpace);
    if (failConnect_)
        return nullptr;
    return new Connection(*this);
}
