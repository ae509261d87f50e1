// Our own COM and automation types where the system has none (included through platform/com.h): binary
// shapes match what other modules expect when they call an in-process server through its table of
// operations. Header-only so a server module shares no state with us.
#pragma once

#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#define PLATFORM_EXPORT extern "C" __attribute__((visibility("default")))

namespace platform {

using HRESULT = std::int32_t;
using SCODE = std::int32_t;
using ULONG = std::uint32_t;
using DWORD = std::uint32_t;
using WORD = std::uint16_t;
using UINT = std::uint32_t;
using LCID = std::uint32_t;
using DISPID = std::int32_t;
using VARTYPE = std::uint16_t;
using VARIANT_BOOL = std::int16_t;
using MEMBERID = DISPID;
using HREFTYPE = DWORD;
using OLECHAR = char16_t;
using LPOLESTR = OLECHAR*;
using LPCOLESTR = const OLECHAR*;
// A length-prefixed UTF-16 string: 32-bit byte length, then the code units, then a terminating zero.
using BSTR = OLECHAR*;

// ---- result codes ----
inline constexpr HRESULT MakeHResult(std::uint32_t value) {
  return static_cast<HRESULT>(value);
}
inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT S_FALSE = 1;
inline constexpr HRESULT E_NOTIMPL = MakeHResult(0x80004001u);
inline constexpr HRESULT E_NOINTERFACE = MakeHResult(0x80004002u);
inline constexpr HRESULT E_POINTER = MakeHResult(0x80004003u);
inline constexpr HRESULT E_FAIL = MakeHResult(0x80004005u);
inline constexpr HRESULT E_UNEXPECTED = MakeHResult(0x8000FFFFu);
inline constexpr HRESULT E_ACCESSDENIED = MakeHResult(0x80070005u);
inline constexpr HRESULT E_OUTOFMEMORY = MakeHResult(0x8007000Eu);
inline constexpr HRESULT E_INVALIDARG = MakeHResult(0x80070057u);
inline constexpr HRESULT CLASS_E_NOAGGREGATION = MakeHResult(0x80040110u);
inline constexpr HRESULT CLASS_E_CLASSNOTAVAILABLE = MakeHResult(0x80040111u);
inline constexpr HRESULT REGDB_E_CLASSNOTREG = MakeHResult(0x80040154u);
inline constexpr HRESULT REGDB_E_READREGDB = MakeHResult(0x80040150u);
inline constexpr HRESULT REGDB_E_WRITEREGDB = MakeHResult(0x80040151u);
inline constexpr HRESULT CO_E_CLASSSTRING = MakeHResult(0x800401F3u);
inline constexpr HRESULT CO_E_DLLNOTFOUND = MakeHResult(0x800401F8u);
inline constexpr HRESULT CO_E_ERRORINDLL = MakeHResult(0x800401F9u);
inline constexpr HRESULT DISP_E_UNKNOWNINTERFACE = MakeHResult(0x80020001u);
inline constexpr HRESULT DISP_E_MEMBERNOTFOUND = MakeHResult(0x80020003u);
inline constexpr HRESULT DISP_E_PARAMNOTFOUND = MakeHResult(0x80020004u);
inline constexpr HRESULT DISP_E_TYPEMISMATCH = MakeHResult(0x80020005u);
inline constexpr HRESULT DISP_E_UNKNOWNNAME = MakeHResult(0x80020006u);
inline constexpr HRESULT DISP_E_NONAMEDARGS = MakeHResult(0x80020007u);
inline constexpr HRESULT DISP_E_BADVARTYPE = MakeHResult(0x80020008u);
inline constexpr HRESULT DISP_E_OVERFLOW = MakeHResult(0x8002000Au);
inline constexpr HRESULT DISP_E_BADINDEX = MakeHResult(0x8002000Bu);
inline constexpr HRESULT DISP_E_BADPARAMCOUNT = MakeHResult(0x8002000Eu);
inline constexpr HRESULT DISP_E_PARAMNOTOPTIONAL = MakeHResult(0x8002000Fu);
inline constexpr HRESULT TYPE_E_ELEMENTNOTFOUND = MakeHResult(0x8002802Bu);
inline constexpr HRESULT TYPE_E_LIBNOTREGISTERED = MakeHResult(0x8002801Du);
inline constexpr HRESULT TYPE_E_REGISTRYACCESS = MakeHResult(0x8002801Cu);
inline constexpr HRESULT SELFREG_E_TYPELIB = MakeHResult(0x80040200u);
inline constexpr HRESULT SELFREG_E_CLASS = MakeHResult(0x80040201u);

inline constexpr bool SUCCEEDED(HRESULT hr) {
  return hr >= 0;
}
inline constexpr bool FAILED(HRESULT hr) {
  return hr < 0;
}

// ---- GUID ----
struct GUID {
  std::uint32_t Data1;
  std::uint16_t Data2;
  std::uint16_t Data3;
  std::uint8_t Data4[8];

  friend bool operator==(const GUID& a, const GUID& b) { return std::memcmp(&a, &b, sizeof(GUID)) == 0; }
};
static_assert(sizeof(GUID) == 16, "GUID must keep its binary shape");
using IID = GUID;
using CLSID = GUID;
using REFIID = const IID&;
using REFCLSID = const CLSID&;

inline constexpr GUID GUID_NULL{0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};

// ---- automation strings ----
// Allocated with malloc so that any module may free what another allocated.
inline BSTR SysAllocStringByteLen(const char* bytes, std::uint32_t byte_length) {
  auto* block =
      static_cast<unsigned char*>(std::malloc(sizeof(std::uint32_t) + byte_length + sizeof(OLECHAR)));
  if (block == nullptr) return nullptr;
  std::memcpy(block, &byte_length, sizeof byte_length);
  unsigned char* text = block + sizeof(std::uint32_t);
  if (bytes != nullptr) {
    std::memcpy(text, bytes, byte_length);
  } else {
    std::memset(text, 0, byte_length);
  }
  std::memset(text + byte_length, 0, sizeof(OLECHAR));
  return reinterpret_cast<BSTR>(text);
}

inline BSTR SysAllocStringLen(const OLECHAR* text, UINT length) {
  if (length > (UINT32_MAX - 8) / sizeof(OLECHAR)) return nullptr;
  return SysAllocStringByteLen(reinterpret_cast<const char*>(text), length * sizeof(OLECHAR));
}

inline BSTR SysAllocString(const OLECHAR* text) {
  if (text == nullptr) return nullptr;
  return SysAllocStringLen(text, static_cast<UINT>(std::char_traits<OLECHAR>::length(text)));
}

inline UINT SysStringByteLen(BSTR text) {
  if (text == nullptr) return 0;
  std::uint32_t bytes;
  std::memcpy(&bytes, reinterpret_cast<const unsigned char*>(text) - sizeof bytes, sizeof bytes);
  return bytes;
}

inline UINT SysStringLen(BSTR text) {
  return SysStringByteLen(text) / sizeof(OLECHAR);
}

inline void SysFreeString(BSTR text) {
  if (text != nullptr) std::free(reinterpret_cast<unsigned char*>(text) - sizeof(std::uint32_t));
}

// ---- interfaces (slot order as in COM; no virtual destructors, they would shift every slot) ----
// {00000000-0000-0000-C000-000000000046}
inline constexpr IID IID_IUnknown{
    0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
// {00020400-0000-0000-C000-000000000046}
inline constexpr IID IID_IDispatch{
    0x00020400, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
// {00020401-0000-0000-C000-000000000046}
inline constexpr IID IID_ITypeInfo{
    0x00020401, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
// {00000001-0000-0000-C000-000000000046}
inline constexpr IID IID_IClassFactory{
    0x00000001, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
// The universal marshaler that the registry names for dual interfaces.
// {00020424-0000-0000-C000-000000000046}
inline constexpr CLSID CLSID_PSOAInterface{
    0x00020424, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

class IUnknown {
 public:
  virtual HRESULT QueryInterface(REFIID riid, void** object) = 0;
  virtual ULONG AddRef() = 0;
  virtual ULONG Release() = 0;

 protected:
  ~IUnknown() = default;
};

struct VARIANT;
struct DISPPARAMS;
struct EXCEPINFO;
class ITypeInfo;

class IDispatch : public IUnknown {
 public:
  virtual HRESULT GetTypeInfoCount(UINT* count) = 0;
  virtual HRESULT GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) = 0;
  virtual HRESULT GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT name_count, LCID lcid,
                                DISPID* dispids) = 0;
  virtual HRESULT Invoke(DISPID member, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params,
                         VARIANT* result, EXCEPINFO* exception, UINT* arg_error) = 0;

 protected:
  ~IDispatch() = default;
};

class IClassFactory : public IUnknown {
 public:
  virtual HRESULT CreateInstance(IUnknown* outer, REFIID riid, void** object) = 0;
  virtual HRESULT LockServer(int lock) = 0;

 protected:
  ~IClassFactory() = default;
};

// ---- automation values (the subset that late-bound calls of our servers need) ----
enum : VARTYPE {
  VT_EMPTY = 0,
  VT_NULL = 1,
  VT_I2 = 2,
  VT_I4 = 3,
  VT_R4 = 4,
  VT_R8 = 5,
  VT_BSTR = 8,
  VT_DISPATCH = 9,
  VT_ERROR = 10,
  VT_BOOL = 11,
  VT_VARIANT = 12,
  VT_UNKNOWN = 13,
  VT_UI1 = 17,
  VT_VOID = 24,
  VT_HRESULT = 25,
  VT_PTR = 26,
  VT_BYREF = 0x4000,
};

inline constexpr VARIANT_BOOL VARIANT_TRUE = -1;
inline constexpr VARIANT_BOOL VARIANT_FALSE = 0;
// VariantChangeType: a VT_BOOL becomes "True" or "False" rather than "-1" or "0".
inline constexpr WORD VARIANT_ALPHABOOL = 0x2;

inline constexpr DISPID DISPID_UNKNOWN = -1;
inline constexpr DISPID DISPID_PROPERTYPUT = -3;

inline constexpr WORD DISPATCH_METHOD = 1;
inline constexpr WORD DISPATCH_PROPERTYGET = 2;
inline constexpr WORD DISPATCH_PROPERTYPUT = 4;
inline constexpr WORD DISPATCH_PROPERTYPUTREF = 8;

inline constexpr LCID LOCALE_USER_DEFAULT = 0x0400;

// A user-defined record: the widest member, which sets the size of VARIANT.
struct VariantRecord {
  void* pvRecord;
  void* pRecInfo;
};

struct VARIANT {
  VARTYPE vt;
  WORD wReserved1;
  WORD wReserved2;
  WORD wReserved3;
  union {
    std::int16_t iVal;
    std::int32_t lVal;
    float fltVal;
    double dblVal;
    std::uint8_t bVal;
    VARIANT_BOOL boolVal;
    SCODE scode;
    BSTR bstrVal;
    IUnknown* punkVal;
    IDispatch* pdispVal;
    std::int16_t* piVal;
    std::uint8_t* pbVal;
    VARIANT_BOOL* pboolVal;
    std::int32_t* plVal;
    float* pfltVal;
    double* pdblVal;
    BSTR* pbstrVal;
    VARIANT* pvarVal;
    void* byref;
    VariantRecord brecVal;
  };
};
static_assert(sizeof(VARIANT) == 8 + 2 * sizeof(void*), "VARIANT must keep its binary shape");

struct DISPPARAMS {
  VARIANT* rgvarg;  // arguments in reverse order
  DISPID* rgdispidNamedArgs;
  UINT cArgs;
  UINT cNamedArgs;
};

struct EXCEPINFO {
  WORD wCode;
  WORD wReserved;
  BSTR bstrSource;
  BSTR bstrDescription;
  BSTR bstrHelpFile;
  DWORD dwHelpContext;
  void* pvReserved;
  HRESULT (*pfnDeferredFillIn)(EXCEPINFO*);
  SCODE scode;
};

inline void VariantInit(VARIANT* v) {
  std::memset(v, 0, sizeof *v);
}

inline HRESULT VariantClear(VARIANT* v) {
  if (v == nullptr) return E_INVALIDARG;
  switch (v->vt) {
    case VT_BSTR:
      SysFreeString(v->bstrVal);
      break;
    case VT_UNKNOWN:
    case VT_DISPATCH:
      if (v->punkVal != nullptr) v->punkVal->Release();
      break;
    default:
      break;
  }
  VariantInit(v);
  return S_OK;
}

// ---- conversion between automation types (the subset above, in the C locale) ----
namespace variant_detail {

// A value read out of a VARIANT, before it is converted.
struct Scalar {
  enum Kind { kEmpty, kNull, kInteger, kReal, kText } kind = kEmpty;
  std::int64_t integer = 0;  // also a VT_BOOL: -1 or 0
  double real = 0;
  bool boolean = false;  // a kInteger read from a VT_BOOL
  BSTR text = nullptr;   // borrowed
};

inline HRESULT ReadScalar(const VARIANT& v, Scalar* out) {
  const bool byref = (v.vt & VT_BYREF) != 0;
  if (byref && v.byref == nullptr) return E_INVALIDARG;
  switch (v.vt & ~VT_BYREF) {
    case VT_EMPTY:
      if (byref) return DISP_E_BADVARTYPE;
      out->kind = Scalar::kEmpty;
      return S_OK;
    case VT_NULL:
      if (byref) return DISP_E_BADVARTYPE;
      out->kind = Scalar::kNull;
      return S_OK;
    case VT_I2:
      out->kind = Scalar::kInteger;
      out->integer = byref ? *v.piVal : v.iVal;
      return S_OK;
    case VT_I4:
      out->kind = Scalar::kInteger;
      out->integer = byref ? *v.plVal : v.lVal;
      return S_OK;
    case VT_UI1:
      out->kind = Scalar::kInteger;
      out->integer = byref ? *v.pbVal : v.bVal;
      return S_OK;
    case VT_BOOL:
      out->kind = Scalar::kInteger;
      out->boolean = true;
      out->integer = (byref ? *v.pboolVal : v.boolVal) != 0 ? VARIANT_TRUE : VARIANT_FALSE;
      return S_OK;
    case VT_R4:
      out->kind = Scalar::kReal;
      out->real = byref ? *v.pfltVal : v.fltVal;
      return S_OK;
    case VT_R8:
      out->kind = Scalar::kReal;
      out->real = byref ? *v.pdblVal : v.dblVal;
      return S_OK;
    case VT_BSTR:
      out->kind = Scalar::kText;
      out->text = byref ? *v.pbstrVal : v.bstrVal;
      return S_OK;
    case VT_VARIANT:
      // One level of indirection only, as VariantCopyInd allows.
      if (!byref || v.pvarVal->vt == (VT_BYREF | VT_VARIANT)) return E_INVALIDARG;
      return ReadScalar(*v.pvarVal, out);
    case VT_DISPATCH:
    case VT_UNKNOWN:
    case VT_ERROR:
      return DISP_E_TYPEMISMATCH;
    default:
      return DISP_E_BADVARTYPE;
  }
}

inline bool IsBlank(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

// [blanks] [+|-] digits [. digits] [(e|E) [+|-] digits] [blanks], with '.' as the decimal point and no
// thousands separator, as the C locale reads numbers.
inline HRESULT ParseNumber(BSTR text, double* out) {
  std::string core;
  const std::u16string_view all =
      text == nullptr ? std::u16string_view{} : std::u16string_view(text, SysStringLen(text));
  std::size_t i = 0, end = all.size();
  while (i < end && IsBlank(all[i]))
    ++i;
  while (end > i && IsBlank(all[end - 1]))
    --end;
  bool negative = false;
  if (i < end && (all[i] == u'+' || all[i] == u'-')) negative = all[i++] == u'-';
  auto digits = [&] {
    std::size_t n = 0;
    for (; i < end && all[i] >= u'0' && all[i] <= u'9'; ++i, ++n)
      core += static_cast<char>(all[i]);
    return n;
  };
  std::size_t mantissa = digits();
  if (i < end && all[i] == u'.') {
    core += '.';
    ++i;
    mantissa += digits();
  }
  if (mantissa == 0) return DISP_E_TYPEMISMATCH;
  bool tiny = false;
  if (i < end && (all[i] == u'e' || all[i] == u'E')) {
    core += 'e';
    ++i;
    if (i < end && (all[i] == u'+' || all[i] == u'-')) {
      tiny = all[i] == u'-';
      core += static_cast<char>(all[i++]);
    }
    if (digits() == 0) return DISP_E_TYPEMISMATCH;
  }
  if (i != end) return DISP_E_TYPEMISMATCH;
  double value = 0;
  const auto [ptr, ec] = std::from_chars(core.data(), core.data() + core.size(), value);
  if (ec == std::errc::result_out_of_range) {
    if (!tiny) return DISP_E_OVERFLOW;
    value = 0;
  } else if (ec != std::errc() || ptr != core.data() + core.size()) {
    return DISP_E_TYPEMISMATCH;
  }
  *out = negative ? -value : value;
  return S_OK;
}

// Rounds to the nearest whole number, halves to the even one, whatever the floating-point mode.
inline double RoundHalfEven(double x) {
  const double floor = std::floor(x);
  const double rest = x - floor;
  if (rest > 0.5) return floor + 1;
  if (rest < 0.5) return floor;
  return std::fmod(floor, 2.0) == 0 ? floor : floor + 1;
}

inline HRESULT ToInteger(const Scalar& s, std::int64_t low, std::int64_t high, std::int64_t* out) {
  if (s.kind == Scalar::kInteger) {
    if (s.integer < low || s.integer > high) return DISP_E_OVERFLOW;
    *out = s.integer;
    return S_OK;
  }
  const double rounded = RoundHalfEven(s.real);
  if (!(rounded >= static_cast<double>(low) && rounded <= static_cast<double>(high))) return DISP_E_OVERFLOW;
  *out = static_cast<std::int64_t>(rounded);
  return S_OK;
}

inline BSTR AllocAscii(std::string_view text) {
  std::u16string wide(text.begin(), text.end());
  return SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
}

// Shortest text with up to `precision` significant digits: "2.5", "1E+20", "1E-05".
inline std::string RealText(double value, int precision) {
  if (value == 0) return "0";
  char buffer[64];
  const auto [ptr, ec] =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, precision);
  std::string text(buffer, ec == std::errc() ? ptr : buffer);
  for (char& c : text) {
    if (c == 'e') c = 'E';
  }
  return text;
}

}  // namespace variant_detail

// Converts `source` (by value or by reference) to `type` into `target`, as the automation runtime does for
// the types above: Empty is 0 or "", Null converts to nothing, numbers round half to even and report
// overflow, strings are read and written in the C locale. `target` is cleared and replaced only on success;
// it may be `source` itself.
inline HRESULT VariantChangeType(VARIANT* target, const VARIANT* source, WORD flags, VARTYPE type) {
  using variant_detail::Scalar;
  if (target == nullptr || source == nullptr) return E_INVALIDARG;
  Scalar s;
  if (const HRESULT hr = variant_detail::ReadScalar(*source, &s); FAILED(hr)) return hr;
  if (s.kind == Scalar::kNull) return DISP_E_TYPEMISMATCH;
  if (s.kind == Scalar::kEmpty) {
    s.kind = type == VT_BSTR ? Scalar::kText : Scalar::kInteger;
  } else if (s.kind == Scalar::kText && type != VT_BSTR) {
    const std::u16string_view text =
        s.text == nullptr ? std::u16string_view{} : std::u16string_view(s.text, SysStringLen(s.text));
    auto is = [&](std::u16string_view word) {
      std::size_t i = 0, end = text.size();
      while (i < end && variant_detail::IsBlank(text[i]))
        ++i;
      while (end > i && variant_detail::IsBlank(text[end - 1]))
        --end;
      if (end - i != word.size()) return false;
      for (std::size_t k = 0; k < word.size(); ++k) {
        const char16_t c = text[i + k];
        if ((c >= u'A' && c <= u'Z' ? c - u'A' + u'a' : c) != word[k]) return false;
      }
      return true;
    };
    if (type == VT_BOOL && (is(u"true") || is(u"false"))) {
      s.kind = Scalar::kInteger;
      s.integer = is(u"true") ? VARIANT_TRUE : VARIANT_FALSE;
    } else {
      s.kind = Scalar::kReal;
      if (const HRESULT hr = variant_detail::ParseNumber(s.text, &s.real); FAILED(hr)) return hr;
    }
  }
  const double real = s.kind == Scalar::kInteger ? static_cast<double>(s.integer) : s.real;
  VARIANT result;
  VariantInit(&result);
  result.vt = type;
  std::int64_t whole = 0;
  HRESULT hr = S_OK;
  switch (type) {
    case VT_I2:
      hr = variant_detail::ToInteger(s, INT16_MIN, INT16_MAX, &whole);
      result.iVal = static_cast<std::int16_t>(whole);
      break;
    case VT_I4:
      hr = variant_detail::ToInteger(s, INT32_MIN, INT32_MAX, &whole);
      result.lVal = static_cast<std::int32_t>(whole);
      break;
    case VT_UI1:
      hr = variant_detail::ToInteger(s, 0, UINT8_MAX, &whole);
      result.bVal = static_cast<std::uint8_t>(whole);
      break;
    case VT_R4:
      if (std::fabs(real) > std::numeric_limits<float>::max()) return DISP_E_OVERFLOW;
      result.fltVal = static_cast<float>(real);
      break;
    case VT_R8:
      result.dblVal = real;
      break;
    case VT_BOOL:
      result.boolVal = real != 0 ? VARIANT_TRUE : VARIANT_FALSE;
      break;
    case VT_BSTR:
      if (s.kind == Scalar::kText) {
        result.bstrVal =
            s.text == nullptr ? SysAllocString(u"") : SysAllocStringLen(s.text, SysStringLen(s.text));
      } else if (s.boolean) {
        const bool alpha = (flags & VARIANT_ALPHABOOL) != 0;
        result.bstrVal =
            variant_detail::AllocAscii(s.integer != 0 ? (alpha ? "True" : "-1") : (alpha ? "False" : "0"));
      } else if (s.kind == Scalar::kInteger) {
        result.bstrVal = variant_detail::AllocAscii(std::to_string(s.integer));
      } else {
        // A single keeps the 7 digits it holds, a double 15, as the runtime shows them.
        const bool single = (source->vt & ~VT_BYREF) == VT_R4 || ((source->vt & ~VT_BYREF) == VT_VARIANT &&
                                                                  (source->pvarVal->vt & ~VT_BYREF) == VT_R4);
        result.bstrVal = variant_detail::AllocAscii(variant_detail::RealText(real, single ? 7 : 15));
      }
      if (result.bstrVal == nullptr) return E_OUTOFMEMORY;
      break;
    default:
      return DISP_E_BADVARTYPE;
  }
  if (FAILED(hr)) return hr;
  VariantClear(target);
  *target = result;
  return S_OK;
}

// ---- type information (the parts a client reads to list members and their parameters) ----
inline constexpr MEMBERID MEMBERID_NIL = DISPID_UNKNOWN;

enum TYPEKIND : std::int32_t {
  TKIND_ENUM,
  TKIND_RECORD,
  TKIND_MODULE,
  TKIND_INTERFACE,
  TKIND_DISPATCH,
  TKIND_COCLASS,
  TKIND_ALIAS,
  TKIND_UNION,
};
enum FUNCKIND : std::int32_t { FUNC_VIRTUAL, FUNC_PUREVIRTUAL, FUNC_NONVIRTUAL, FUNC_STATIC, FUNC_DISPATCH };
enum INVOKEKIND : std::int32_t {
  INVOKE_FUNC = 1,
  INVOKE_PROPERTYGET = 2,
  INVOKE_PROPERTYPUT = 4,
  INVOKE_PROPERTYPUTREF = 8,
};
enum CALLCONV : std::int32_t { CC_FASTCALL, CC_CDECL, CC_PASCAL, CC_MACPASCAL, CC_STDCALL };

inline constexpr WORD PARAMFLAG_NONE = 0;
inline constexpr WORD PARAMFLAG_FIN = 0x1;
inline constexpr WORD PARAMFLAG_FOUT = 0x2;
inline constexpr WORD PARAMFLAG_FRETVAL = 0x8;
inline constexpr WORD TYPEFLAG_FDUAL = 0x40;
inline constexpr WORD TYPEFLAG_FOLEAUTOMATION = 0x100;
inline constexpr WORD TYPEFLAG_FDISPATCHABLE = 0x1000;

struct TYPEDESC {
  union {
    TYPEDESC* lptdesc;  // vt == VT_PTR: what is pointed at
    void* lpadesc;
    HREFTYPE hreftype;
  };
  VARTYPE vt;
};
struct IDLDESC {
  std::uintptr_t dwReserved;
  WORD wIDLFlags;
};
struct PARAMDESC {
  void* pparamdescex;
  WORD wParamFlags;
};
struct ELEMDESC {
  TYPEDESC tdesc;
  union {
    IDLDESC idldesc;
    PARAMDESC paramdesc;
  };
};
struct TYPEATTR {
  GUID guid;
  LCID lcid;
  DWORD dwReserved;
  MEMBERID memidConstructor;
  MEMBERID memidDestructor;
  LPOLESTR lpstrSchema;
  ULONG cbSizeInstance;
  TYPEKIND typekind;
  WORD cFuncs;
  WORD cVars;
  WORD cImplTypes;
  WORD cbSizeVft;
  WORD cbAlignment;
  WORD wTypeFlags;
  WORD wMajorVerNum;
  WORD wMinorVerNum;
  TYPEDESC tdescAlias;
  IDLDESC idldescType;
};
struct FUNCDESC {
  MEMBERID memid;
  SCODE* lprgscode;
  ELEMDESC* lprgelemdescParam;
  FUNCKIND funckind;
  INVOKEKIND invkind;
  CALLCONV callconv;
  std::int16_t cParams;
  std::int16_t cParamsOpt;
  std::int16_t oVft;
  std::int16_t cScodes;
  ELEMDESC elemdescFunc;
  WORD wFuncFlags;
};
struct VARDESC;
class ITypeComp;
class ITypeLib;

class ITypeInfo : public IUnknown {
 public:
  virtual HRESULT GetTypeAttr(TYPEATTR** attr) = 0;
  virtual HRESULT GetTypeComp(ITypeComp** comp) = 0;
  virtual HRESULT GetFuncDesc(UINT index, FUNCDESC** desc) = 0;
  virtual HRESULT GetVarDesc(UINT index, VARDESC** desc) = 0;
  virtual HRESULT GetNames(MEMBERID member, BSTR* names, UINT max_names, UINT* name_count) = 0;
  virtual HRESULT GetRefTypeOfImplType(UINT index, HREFTYPE* type) = 0;
  virtual HRESULT GetImplTypeFlags(UINT index, std::int32_t* flags) = 0;
  virtual HRESULT GetIDsOfNames(LPOLESTR* names, UINT name_count, MEMBERID* members) = 0;
  virtual HRESULT Invoke(void* instance, MEMBERID member, WORD flags, DISPPARAMS* params, VARIANT* result,
                         EXCEPINFO* exception, UINT* arg_error) = 0;
  virtual HRESULT GetDocumentation(MEMBERID member, BSTR* name, BSTR* doc_string, DWORD* help_context,
                                   BSTR* help_file) = 0;
  virtual HRESULT GetDllEntry(MEMBERID member, INVOKEKIND kind, BSTR* dll_name, BSTR* name,
                              WORD* ordinal) = 0;
  virtual HRESULT GetRefTypeInfo(HREFTYPE type, ITypeInfo** info) = 0;
  virtual HRESULT AddressOfMember(MEMBERID member, INVOKEKIND kind, void** address) = 0;
  virtual HRESULT CreateInstance(IUnknown* outer, REFIID riid, void** object) = 0;
  virtual HRESULT GetMops(MEMBERID member, BSTR* mops) = 0;
  virtual HRESULT GetContainingTypeLib(ITypeLib** library, UINT* index) = 0;
  virtual void ReleaseTypeAttr(TYPEATTR* attr) = 0;
  virtual void ReleaseFuncDesc(FUNCDESC* desc) = 0;
  virtual void ReleaseVarDesc(VARDESC* desc) = 0;

 protected:
  ~ITypeInfo() = default;
};

}  // namespace platform
