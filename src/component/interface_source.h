// The library's interfaces written out as source text from the member tables,
// so that the type library, the dual interfaces' tables of operations and the
// dispatch tables can never disagree:
//
//   LibraryIdl()       the type library's interface description: the library
//                      (LIBID, version 17.0, locale 0x409), the enumerations
//                      ExitMode and SpecFolder, per class its dual, hidden,
//                      non-extensible default interface with every member in
//                      table order (DISPID, propget/propput, [in] or [in, out]
//                      parameters, optional with the declared default, the
//                      result as [out, retval]) and the creatable class.
//   EarlyBoundMethods() the Win32 shell's C++ classes, one per class, whose
//                      operations implement those interfaces' tables for
//                      early-bound callers by forwarding to the dispatch layer.
//
// The Win32 build compiles the committed copies in src/component/win32/; a
// native test regenerates both and compares. Regenerate after changing a
// table with `kavrolin-interfaces src/component/win32`.
//
// A declared default on a by-reference text parameter: widl refuses
// `defaultvalue` on `BSTR*`, so the IDL declares such a parameter through two
// macros: by value with its default in the type library pass, which
// tools/typelib-byref then turns into `BSTR*`, and plain `BSTR*` for the
// header. The dispatch layer applies the default when the caller leaves the
// parameter out.
#pragma once

#include <string>

#include "component/member_table.h"

namespace kavrolin::component {

inline constexpr char kLibraryIdlFile[] = "Kavrolin.idl";
inline constexpr char kEarlyBoundFile[] = "early_bound_classes.inc";

std::string LibraryIdl();

// A declared type as the type library names it ("BSTR", "long", "void"), and
// a parameter's declared default in its IDL form ("" when it has none), for
// tools that describe the members as the type library does.
std::string IdlTypeName(DeclaredType type);
std::string IdlDefaultText(const Parameter& parameter);
std::string EarlyBoundMethods();

}  // namespace kavrolin::component
