// WMI through the COM interfaces of the WMI service: the locator, one namespace connection,
// instance enumerations and WQL queries. Unless asked for, no proxy security blanket is set;
// the process-wide security the caller set up when it initialised COM applies.

#include <windows.h>

#include <oleauto.h>
#include <wbemcli.h>

#include <utility>

#include "diaglib/ports/WmiPort.h"
#include "framework/Handles.h"

namespace diag {

namespace {

// A BSTR for the duration of one call.
class Bstr {
  public:
    explicit Bstr(const wchar_t* text) : text_(SysAllocString(text)) {}
    ~Bstr() { SysFreeString(text_); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;

    BSTR get() const { return text_; }
    explicit operator bool() const { return text_ != nullptr; }

  private:
    BSTR text_;
};

class RealWmiObject : public IWmiObject {
  public:
    explicit RealWmiObject(IWbemClassObject* object) : object_(object) {}

    bool Get(const wchar_t* property, VARIANT* value) override
    {
        // WBEM_E_NOT_FOUND for a property the class does not have (Wine's classes lack
        // several that Windows has).
        return SUCCEEDED(object_->Get(property, 0, value, nullptr, nullptr));
    }

  private:
    IWbemClassObject* object_; // borrowed for the visit
};

class RealWmiConnection : public IWmiConnection {
  public:
    explicit RealWmiConnection(fw::ComPtr<IWbemServices> services) : services_(std::move(services))
    {
    }

    bool EnumerateInstances(const wchar_t* className, IWmiVisitor& visitor) override
    {
        Bstr name(className);
        if (!name)
            return false;
        fw::ComPtr<IEnumWbemClassObject> instances;
        // Shallow and synchronous: the enumerator is complete when the call returns, so the
        // fetches below do not wait on the provider.
        if (FAILED(services_->CreateInstanceEnum(name.get(), WBEM_FLAG_SHALLOW, nullptr,
                                                 instances.put())))
            return false;
        for (;;) {
            fw::ComPtr<IWbemClassObject> instance;
            ULONG returned = 0;
            if (instances->Next(WBEM_INFINITE, 1, instance.put(), &returned) != WBEM_S_NO_ERROR ||
                returned != 1)
                break;
            // The instance is fetched again by its relative path, as the full object.
            fw::ComPtr<IWbemClassObject> object;
            if (!FetchByRelativePath(instance.get(), object))
                continue;
            RealWmiObject visited(object.get());
            if (!visitor.Visit(visited))
                break;
        }
        return true;
    }

    bool ExecQuery(const wchar_t* wql, IWmiVisitor& visitor) override
    {
        Bstr language(L"WQL");
        Bstr query(wql);
        if (!language || !query)
            return false;
        fw::ComPtr<IEnumWbemClassObject> rows;
        if (FAILED(services_->ExecQuery(language.get(), query.get(),
                                        WBEM_FLAG_RETURN_IMMEDIATELY | WBEM_FLAG_FORWARD_ONLY,
                                        nullptr, rows.put())))
            return false;
        bool delivered = false;
        for (;;) {
            fw::ComPtr<IWbemClassObject> row;
            ULONG returned = 0;
            // Rows are fetched one at a time as the provider produces them.
            const HRESULT status = rows->Next(WBEM_INFINITE, 1, row.put(), &returned);
            if (FAILED(status)) {
                // A query that is returned at once may fail only at its first fetch; that is
                // a query that could not be executed, not an empty result.
                return delivered;
            }
            if (status != WBEM_S_NO_ERROR || returned != 1)
                return true;
            delivered = true;
            RealWmiObject visited(row.get());
            if (!visitor.Visit(visited))
                return true;
        }
    }

  private:
    bool FetchByRelativePath(IWbemClassObject* instance, fw::ComPtr<IWbemClassObject>& object)
    {
        VARIANT path;
        VariantInit(&path);
        bool fetched = false;
        if (SUCCEEDED(instance->Get(L"__RELPATH", 0, &path, nullptr, nullptr)) &&
            path.vt == VT_BSTR && path.bstrVal)
            fetched =
                SUCCEEDED(services_->GetObject(path.bstrVal, 0, nullptr, object.put(), nullptr)) &&
                object;
        VariantClear(&path);
        return fetched;
    }

    fw::ComPtr<IWbemServices> services_;
};

} // namespace

IWmiConnection* RealWmiPort::Connect(const wchar_t* nameSpace)
{
    Bstr path(nameSpace);
    if (!path)
        return nullptr;
    fw::ComPtr<IWbemLocator> locator;
    if (FAILED(CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER, IID_IWbemLocator,
                                locator.put_void())))
        return nullptr;
    fw::ComPtr<IWbemServices> services;
    if (FAILED(locator->ConnectServer(path.get(), nullptr, nullptr, nullptr, 0, nullptr, nullptr,
                                      services.put())) ||
        !services)
        return nullptr;
    if (proxyBlanket_)
        CoSetProxyBlanket(services.get(), RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr,
                          RPC_C_AUTHN_LEVEL_CALL, RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE);
    // The locator has done its work once connected; the connection keeps the service only.
    return new RealWmiConnection(std::move(services));
}

} // namespace diag
