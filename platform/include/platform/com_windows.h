// The system's own COM and automation types on Windows (included through platform/com.h), named in
// namespace platform as our stand-ins name them. Result codes and flags are macros here: code that must
// build on both writes them unqualified, after `using namespace platform`.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
// windows.h comes first.
#include <ole2.h>
#include <oleauto.h>
#include <olectl.h>

#define PLATFORM_EXPORT extern "C"

// The references to identifiers are macros in these headers; as types they can be named in a namespace.
#undef REFGUID
#undef REFIID
#undef REFCLSID
using REFGUID = const GUID&;
using REFIID = const IID&;
using REFCLSID = const IID&;

namespace platform {

using ::BSTR;
using ::CALLCONV;
using ::CLSID;
using ::DISPID;
using ::DISPPARAMS;
using ::DWORD;
using ::ELEMDESC;
using ::EXCEPINFO;
using ::FUNCDESC;
using ::FUNCKIND;
using ::GUID;
using ::HREFTYPE;
using ::HRESULT;
using ::IClassFactory;
using ::IDispatch;
using ::IDLDESC;
using ::IID;
using ::INVOKEKIND;
using ::ITypeComp;
using ::ITypeInfo;
using ::ITypeLib;
using ::IUnknown;
using ::LCID;
using ::LPCOLESTR;
using ::LPOLESTR;
using ::MEMBERID;
using ::OLECHAR;
using ::PARAMDESC;
using ::REFCLSID;
using ::REFIID;
using ::SCODE;
using ::TYPEATTR;
using ::TYPEDESC;
using ::TYPEKIND;
using ::UINT;
using ::ULONG;
using ::VARDESC;
using ::VARIANT;
using ::VARIANT_BOOL;
using ::VARTYPE;
using ::WORD;

using ::GUID_NULL;
using ::IID_IClassFactory;
using ::IID_IDispatch;
using ::IID_ITypeInfo;
using ::IID_IUnknown;

using ::SysAllocString;
using ::SysAllocStringByteLen;
using ::SysAllocStringLen;
using ::SysFreeString;
using ::SysStringByteLen;
using ::SysStringLen;
using ::VariantChangeType;
// These headers declare the source without const; the call reads it and leaves it as it was.
inline HRESULT VariantChangeType(VARIANT* target, const VARIANT* source, USHORT flags, VARTYPE type) {
  return ::VariantChangeType(target, const_cast<VARIANT*>(source), flags, type);
}
using ::VariantClear;
using ::VariantCopy;
using ::VariantInit;

using ::VT_BOOL;
using ::VT_BSTR;
using ::VT_BYREF;
using ::VT_DISPATCH;
using ::VT_EMPTY;
using ::VT_ERROR;
using ::VT_HRESULT;
using ::VT_I2;
using ::VT_I4;
using ::VT_NULL;
using ::VT_PTR;
using ::VT_R4;
using ::VT_R8;
using ::VT_UI1;
using ::VT_UNKNOWN;
using ::VT_VARIANT;
using ::VT_VOID;

using ::CC_STDCALL;
using ::FUNC_DISPATCH;
using ::INVOKE_FUNC;
using ::INVOKE_PROPERTYGET;
using ::INVOKE_PROPERTYPUT;
using ::TKIND_DISPATCH;
using ::TKIND_INTERFACE;
using ::TYPEFLAG_FDISPATCHABLE;
using ::TYPEFLAG_FDUAL;
using ::TYPEFLAG_FOLEAUTOMATION;

}  // namespace platform
