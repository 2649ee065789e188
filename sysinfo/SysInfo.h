#pragma once
// What the collectors and the driver searches share inside the library.

#include <windows.h>

#include <cstddef>

#include "diaglib/ports/WmiPort.h"

namespace tav {

// Copies `source` (null counts as empty) into a field of `capacity` characters, cut to fit
// with its terminator.
void CopyText(wchar_t* field, size_t capacity, const wchar_t* source);
template <size_t N> void CopyText(wchar_t (&field)[N], const wchar_t* source)
{
    CopyText(field, N, source);
}

// `text` without its leading white space.
const wchar_t* SkipLeadingSpace(const wchar_t* text);

// A debug trace, formatted as wsprintfW does (at most 1024 characters).
void Trace(const wchar_t* format, ...);

// The major version of the running Windows, through the version port.
DWORD MajorVersion();

// Runs a WQL query on the library's connection, opening it first when it is closed; each row
// goes to `visitor` in order. False when there is no connection or the query cannot run.
bool QueryWmi(const wchar_t* wql, diag::IWmiVisitor& visitor);

// A visitor made from a callable taking IWmiObject& and returning whether to go on.
template <typename F> class WmiRows : public diag::IWmiVisitor {
  public:
    explicit WmiRows(F visit) : visit_(visit) {}
    bool Visit(diag::IWmiObject& object) override { return visit_(object); }

  private:
    F visit_;
};
template <typename F> bool QueryWmi(const wchar_t* wql, F visit)
{
    WmiRows<F> rows(visit);
    return QueryWmi(wql, static_cast<diag::IWmiVisitor&>(rows));
}

} // namespace tav
