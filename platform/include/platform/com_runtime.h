// Class creation by class identifier and in-process server registration: over the registry stand-in
// here, thin wrappers over the system's own calls on Windows.
#pragma once

#include <string>
#include <string_view>

#include "platform/com.h"

namespace platform {

// The entry points an in-process server module exports by name, with C linkage.
using DllGetClassObjectFn = HRESULT (*)(REFCLSID clsid, REFIID iid, void** object);
using DllCanUnloadNowFn = HRESULT (*)();
using DllRegisterServerFn = HRESULT (*)();
using DllUnregisterServerFn = HRESULT (*)();

// Finds CLSID\{clsid}\InprocServer32 in the user's registry, loads that module (once per process),
// asks its class object for a new instance and queries it for iid. *object is cleared first.
// REGDB_E_CLASSNOTREG: no such class or no module path; CO_E_DLLNOTFOUND: the module cannot be loaded;
// CO_E_ERRORINDLL: it has no DllGetClassObject. When error_text is given it receives a readable reason.
HRESULT CoCreateInstance(REFCLSID clsid, REFIID iid, void** object, std::string* error_text = nullptr);

// Looks up "ProgID\CLSID" in the user's registry; CO_E_CLASSSTRING when the ProgID is unknown.
HRESULT CLSIDFromProgID(std::string_view prog_id, CLSID* clsid);

// A short readable text for a result code ("0x80040154 class not registered").
std::string DescribeHResult(HRESULT hr);

// Loads the library and calls its DllRegisterServer (or DllUnregisterServer), as vyr-regsvr does.
// *message (when given) receives a sentence saying what happened.
HRESULT RegisterServer(const std::string& library_path, bool unregister, std::string* message = nullptr);

// The absolute path of the module (library or program) that holds `address`; "" when unknown.
std::string ModuleFileName(const void* address);

// Registers the library when the class is not registered, or when its registered module file is gone.
// S_FALSE when the class was already usable.
HRESULT EnsureServerRegistered(REFCLSID clsid, const std::string& library_path,
                               std::string* message = nullptr);

}  // namespace platform
