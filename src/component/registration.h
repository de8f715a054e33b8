// The library's registration entries under HKEY_CLASSES_ROOT: what an
// in-process automation server writes for its type library, its classes and
// their interfaces, and the reverse look-up a host makes to create an object
// by ProgID.
//
//   <ProgID>                       @ = ProgID, CLSID\@ = {CLSID}
//   CLSID\{CLSID}                  @ = ProgID, ProgID\@, VERSION\@ = "17.0",
//                                  InprocServer32\@ = server file,
//                                  InprocServer32\ThreadingModel = "Apartment",
//                                  TypeLib\@ = {LIBID}
//   Interface\{IID}                @ = interface name, ProxyStubClsid(32)\@ =
//                                  the automation marshaler, TypeLib\@ = {LIBID},
//                                  TypeLib\Version = "11.0"
//   TypeLib\{LIBID}\11.0           @ = "Kavrolin", 409\win32\@ = server file,
//                                  FLAGS\@ = "0", HELPDIR\@ = its folder with
//                                  a closing "\" (as installers write it)
//
// The type library's version key is hexadecimal (11.0 is 17.0) under the
// library's locale 409, as the platform's RegisterTypeLib writes it.
//
// Texts are stored as REG_SZ in the ANSI code page with their terminating zero.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "base/text.h"
#include "component/identifiers.h"
#include "platform/registry.h"

namespace kavrolin::component {

struct RegistrationEntry {
  Text key;    // below HKEY_CLASSES_ROOT
  Text name;   // empty: the key's default value
  Text value;  // REG_SZ
};

// Every entry above, for `server_file` in `server_folder` (both Windows form,
// or an installer's references to them). The installer's registry table is
// generated from this list too.
std::vector<RegistrationEntry> RegistrationEntries(TextView server_file, TextView server_folder);

// Writes every entry above for `server_file` (Windows form). Answers the
// registry's status code of the first failing step, kSuccess when all were
// written; a failure leaves what was written so far.
int32_t RegisterLibrary(platform::Registry& registry, TextView server_file);

// Deletes the keys above with everything below them (and the decimal
// TypeLib\{LIBID}\17.0 key earlier builds wrote), then the CLSID,
// Interface and TypeLib keys and the library's TypeLib key where nothing else
// is left in them. Entries that are not there are no failure. Answers the
// first failing deletion's status code, kSuccess otherwise.
int32_t UnregisterLibrary(platform::Registry& registry);

struct RegisteredServer {
  Guid clsid;
  Text file;  // Windows form
};

// The server registered for the class's ProgID (ProgID -> CLSID ->
// InprocServer32); nullopt when any step is missing or unreadable.
std::optional<RegisteredServer> FindRegisteredServer(platform::Registry& registry,
                                                     const ClassInfo& info);

}  // namespace kavrolin::component
