#pragma once
// WMI as the diagnostic library and the system-information library read it: a connection to a
// namespace, WQL queries and instance enumerations whose objects are read property by
// property. The real implementation talks to the WMI service; tests hand the libraries fakes.

#include <windows.h>

namespace diag {

// One object WMI returned, its properties read by name.
class IWmiObject {
  public:
    virtual ~IWmiObject() = default;
    // Copies the property's value into `value` (initialised by the caller, cleared by the
    // caller). False when the class has no such property or it cannot be read.
    virtual bool Get(const wchar_t* property, VARIANT* value) = 0;
};

// Receives the objects of an enumeration or query in order; returning false stops it.
class IWmiVisitor {
  public:
    virtual bool Visit(IWmiObject& object) = 0;

  protected:
    ~IWmiVisitor() = default;
};

class IWmiConnection {
  public:
    virtual ~IWmiConnection() = default;
    // Every instance of the class (a shallow instance enumeration), each fetched again by its
    // "__RELPATH". False when the enumeration cannot be started.
    virtual bool EnumerateInstances(const wchar_t* className, IWmiVisitor& visitor) = 0;
    // A WQL query run return-immediately and forward-only, its rows fetched one at a time.
    // False when the query cannot be executed.
    virtual bool ExecQuery(const wchar_t* wql, IWmiVisitor& visitor) = 0;
};

class IWmiPort {
  public:
    virtual ~IWmiPort() = default;
    // A connection to the namespace, through the WMI locator with no user, password, locale,
    // authority or context; nullptr when it fails. The caller owns the connection.
    virtual IWmiConnection* Connect(const wchar_t* nameSpace) = 0;
};

// The WMI service itself.
class RealWmiPort : public IWmiPort {
  public:
    // With `proxyBlanket`, each connection's services proxy is given the caller's identity
    // for impersonation (Windows NT authentication, call level); without, the process-wide
    // security applies.
    explicit RealWmiPort(bool proxyBlanket = false) : proxyBlanket_(proxyBlanket) {}
    IWmiConnection* Connect(const wchar_t* nameSpace) override;

  private:
    bool proxyBlanket_;
};

} // namespace diag
