#include "platform/com.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdio>
#include <string>

using namespace platform;

namespace {

TEST(Guid, FormatsUpperCaseInRegistrySpellingAndParsesBack) {
  const GUID g{0xD2CE3E35, 0x323A, 0x11D3, {0x9C, 0x8F, 0xF1, 0x70, 0xBB, 0x19, 0xFA, 0x62}};
  EXPECT_EQ(GuidToString(g), "{D2CE3E35-323A-11D3-9C8F-F170BB19FA62}");
  EXPECT_EQ(GuidToString(GUID_NULL), "{00000000-0000-0000-0000-000000000000}");
  EXPECT_EQ(GuidToString(IID_IDispatch), "{00020400-0000-0000-C000-000000000046}");
  // Parsed in either case, and back.
  EXPECT_EQ(GuidFromString("{d2ce3e35-323a-11d3-9c8f-f170bb19fa62}"), g);
  EXPECT_EQ(GuidFromString(GuidToString(IID_IUnknown)), IID_IUnknown);
  for (const char* bad :
       {"", "D2CE3E35-323A-11D3-9C8F-F170BB19FA62", "{D2CE3E35-323A-11D3-9C8F-F170BB19FA6}",
        "{D2CE3E35-323A-11D3-9C8F-F170BB19FA622}", "{D2CE3E35-323A-11D3-9C8FF-170BB19FA62}",
        "{D2CE3E35-323A-11D3-9C8G-F170BB19FA62}", "{D2CE3E35+323A-11D3-9C8F-F170BB19FA62}",
        "(D2CE3E35-323A-11D3-9C8F-F170BB19FA62)", "{ 2CE3E35-323A-11D3-9C8F-F170BB19FA62}"}) {
    EXPECT_FALSE(GuidFromString(bad).has_value()) << bad;
  }
}

TEST(Guid, KeepsItsBinaryShape) {
  EXPECT_EQ(offsetof(GUID, Data1), 0u);
  EXPECT_EQ(offsetof(GUID, Data2), 4u);
  EXPECT_EQ(offsetof(GUID, Data3), 6u);
  EXPECT_EQ(offsetof(GUID, Data4), 8u);
}

TEST(Bstr, IsPrecededByItsByteLengthAndTerminatedAlsoWhenEmpty) {
  const char16_t text[] = u"ab\0cd";
  BSTR s = SysAllocStringLen(text, 5);  // embedded zero is kept
  ASSERT_NE(s, nullptr);
  std::uint32_t prefix;
  std::memcpy(&prefix, reinterpret_cast<const char*>(s) - 4, 4);
  EXPECT_EQ(prefix, 10u);
  EXPECT_EQ(SysStringLen(s), 5u);
  EXPECT_EQ(SysStringByteLen(s), 10u);
  EXPECT_EQ(s[2], u'\0');
  EXPECT_EQ(s[4], u'd');
  EXPECT_EQ(s[5], u'\0');
  SysFreeString(s);

  // Null and empty edges.
  EXPECT_EQ(SysAllocString(nullptr), nullptr);
  EXPECT_EQ(SysStringLen(nullptr), 0u);
  SysFreeString(nullptr);  // no effect

  BSTR empty = SysAllocString(u"");
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(SysStringLen(empty), 0u);
  EXPECT_EQ(empty[0], u'\0');
  SysFreeString(empty);

  BSTR zeroed = SysAllocStringLen(nullptr, 3);  // room for three units, all zero
  ASSERT_NE(zeroed, nullptr);
  EXPECT_EQ(SysStringLen(zeroed), 3u);
  EXPECT_EQ(zeroed[0], 0);
  EXPECT_EQ(zeroed[3], 0);
  SysFreeString(zeroed);
}

TEST(Bstr, FreedByPlainFreeOfTheBlock) {
  // Another module frees with free() on the block start: the block must come from malloc.
  BSTR s = SysAllocString(u"x");
  std::free(reinterpret_cast<char*>(s) - 4);
}

TEST(Bstr, HolderFreesAndHandsOutSlots) {
  BStr held(u"first");
  EXPECT_EQ(held.View(), u"first");
  *held.Put() = SysAllocString(u"second");  // the first string is freed by Put
  EXPECT_EQ(held.View(), u"second");
  BStr moved(std::move(held));
  EXPECT_EQ(held.Get(), nullptr);
  EXPECT_EQ(moved.Length(), 6u);
  BSTR raw = moved.Detach();
  EXPECT_EQ(moved.Get(), nullptr);
  SysFreeString(raw);
  EXPECT_EQ(BStr().View(), u"");
}

class Counted final : public IUnknown {
 public:
  HRESULT QueryInterface(REFIID, void** object) override {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG AddRef() override { return ++refs; }
  ULONG Release() override { return --refs; }
  ULONG refs = 1;
};

TEST(ComPtr, ReleasesExactlyTheReferencesItHolds) {
  Counted object;
  {
    ComPtr<IUnknown> a(&object);  // adopts the first reference
    ComPtr<IUnknown> b = a;
    EXPECT_EQ(object.refs, 2u);
    ComPtr<IUnknown> c(std::move(b));
    EXPECT_FALSE(b);
    EXPECT_EQ(object.refs, 2u);
    c.Reset();
    EXPECT_EQ(object.refs, 1u);
    *a.Put() = nullptr;
    EXPECT_EQ(object.refs, 0u);
  }
  EXPECT_EQ(object.refs, 0u);
}

class Slots final : public IDispatch {
 public:
  HRESULT QueryInterface(REFIID, void**) override { return 100; }
  ULONG AddRef() override { return 101; }
  ULONG Release() override { return 102; }
  HRESULT GetTypeInfoCount(UINT*) override { return 103; }
  HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return 104; }
  HRESULT GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return 105; }
  HRESULT Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return 106;
  }
};

TEST(Interfaces, SlotsAreInComOrder) {
  // A caller that knows only the table reaches operation n through slot n.
  Slots object;
  void** table = *reinterpret_cast<void***>(static_cast<IDispatch*>(&object));
  using NoArgs = ULONG (*)(void*);
  EXPECT_EQ(reinterpret_cast<NoArgs>(table[1])(&object), 101u);
  EXPECT_EQ(reinterpret_cast<NoArgs>(table[2])(&object), 102u);
  using Count = HRESULT (*)(void*, UINT*);
  EXPECT_EQ(reinterpret_cast<Count>(table[3])(&object, nullptr), 103);
  using Names = HRESULT (*)(void*, const IID*, LPOLESTR*, UINT, LCID, DISPID*);
  EXPECT_EQ(reinterpret_cast<Names>(table[5])(&object, &IID_IDispatch, nullptr, 0, 0, nullptr), 105);
  using InvokeFn =
      HRESULT (*)(void*, DISPID, const IID*, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*);
  EXPECT_EQ(
      reinterpret_cast<InvokeFn>(table[6])(&object, 0, &GUID_NULL, 0, 0, nullptr, nullptr, nullptr, nullptr),
      106);
}

TEST(Variant, KeepsItsBinaryShapeAndClearsWhatItOwns) {
  EXPECT_EQ(offsetof(VARIANT, vt), 0u);
  EXPECT_EQ(offsetof(VARIANT, iVal), 8u);
  EXPECT_EQ(offsetof(DISPPARAMS, cArgs), 2 * sizeof(void*));
  VARIANT v;
  VariantInit(&v);
  EXPECT_EQ(v.vt, VT_EMPTY);
  v.vt = VT_BSTR;
  v.bstrVal = SysAllocString(u"owned");  // a leak here would show under the sanitizer build
  EXPECT_EQ(VariantClear(&v), S_OK);
  EXPECT_EQ(v.vt, VT_EMPTY);
  EXPECT_EQ(VariantClear(nullptr), E_INVALIDARG);
}

// What a conversion gave, as one comparable text: "hr" on failure, else the value ("s:" for strings).
std::string Converted(const VARIANT& from, VARTYPE to, WORD flags = 0) {
  VARIANT out;
  VariantInit(&out);
  out.vt = VT_I4;
  out.lVal = 42;
  const HRESULT hr = VariantChangeType(&out, &from, flags, to);
  if (FAILED(hr)) {
    char code[16];
    std::snprintf(code, sizeof code, "%08X", static_cast<unsigned>(hr));
    return out.vt == VT_I4 && out.lVal == 42 ? code : "touched";
  }
  if (out.vt != to) return "wrong type";
  std::string text;
  switch (to) {
    case VT_I2:
      return std::to_string(out.iVal);
    case VT_I4:
      return std::to_string(out.lVal);
    case VT_UI1:
      return std::to_string(out.bVal);
    case VT_BOOL:
      return std::to_string(out.boolVal);
    case VT_R4:
      return std::to_string(out.fltVal);
    case VT_R8:
      return std::to_string(out.dblVal);
    case VT_BSTR:
      for (UINT i = 0; i < SysStringLen(out.bstrVal); ++i)
        text += static_cast<char>(out.bstrVal[i]);
      VariantClear(&out);
      return "s:" + text;
    default:
      return "?";
  }
}

TEST(Variant, ChangesTypeAsTheAutomationRuntimeDoes) {
  BStr zero(u"0"), spaced(u" 12\t"), exponent(u"1e3"), half(u"-2.5"), signed_plus(u"+7.5"), empty(u""),
      trailing(u"12abc"), thousands(u"1,000"), hex(u"&H10"), big(u"70000"), huge(u"1e400"), yes(u" TRUE "),
      nan(u"nan");
  std::int32_t by_ref = 70000;
  VARIANT inner;
  VariantInit(&inner);
  inner.vt = VT_R8;
  inner.dblVal = 32766.5;
  auto v = [](VARTYPE vt, auto set) {
    VARIANT x;
    VariantInit(&x);
    x.vt = vt;
    set(x);
    return x;
  };
  auto str = [&](const BStr& s) { return v(VT_BSTR, [&](VARIANT& x) { x.bstrVal = s.Get(); }); };
  auto r8 = [&](double d) { return v(VT_R8, [&](VARIANT& x) { x.dblVal = d; }); };
  auto i4 = [&](std::int32_t n) { return v(VT_I4, [&](VARIANT& x) { x.lVal = n; }); };
  const std::string kMismatch = "80020005", kOverflow = "8002000A", kBadType = "80020008",
                    kInvalid = "80070057";
  struct Row {
    VARIANT from;
    VARTYPE to;
    std::string expected;
  } rows[] = {
      // Numbers from text in the C locale: blanks around, a sign, a decimal point, an exponent; nothing else.
      {str(zero), VT_I2, "0"},
      {str(spaced), VT_I4, "12"},
      {str(exponent), VT_I2, "1000"},
      {str(half), VT_I2, "-2"},
      {str(signed_plus), VT_I4, "8"},
      {str(empty), VT_I2, kMismatch},
      {str(trailing), VT_I2, kMismatch},
      {str(thousands), VT_I4, kMismatch},
      {str(hex), VT_I4, kMismatch},
      {str(nan), VT_R8, kMismatch},
      {str(big), VT_I2, kOverflow},
      {str(huge), VT_R8, kOverflow},
      {str(yes), VT_BOOL, "-1"},
      // Empty is 0 or ""; Null converts to nothing.
      {v(VT_EMPTY, [](VARIANT&) {}), VT_I2, "0"},
      {v(VT_EMPTY, [](VARIANT&) {}), VT_BSTR, "s:"},
      {v(VT_NULL, [](VARIANT&) {}), VT_I4, kMismatch},
      {v(VT_NULL, [](VARIANT&) {}), VT_BSTR, kMismatch},
      // Between numbers: halves to even, overflow reported.
      {r8(2.5), VT_I2, "2"},
      {r8(3.5), VT_I2, "4"},
      {r8(-0.5), VT_I4, "0"},
      {r8(32767.5), VT_I2, kOverflow},
      {r8(1e39), VT_R4, kOverflow},
      {r8(256), VT_UI1, kOverflow},
      {i4(-32768), VT_I2, "-32768"},
      {i4(5), VT_BOOL, "-1"},
      {v(VT_BOOL, [](VARIANT& x) { x.boolVal = VARIANT_TRUE; }), VT_I2, "-1"},
      {v(VT_R4, [](VARIANT& x) { x.fltVal = 1.5f; }), VT_I4, "2"},
      // Numbers to text.
      {i4(-7), VT_BSTR, "s:-7"},
      {r8(2.5), VT_BSTR, "s:2.5"},
      {r8(1e20), VT_BSTR, "s:1E+20"},
      {v(VT_R4, [](VARIANT& x) { x.fltVal = 0.1f; }), VT_BSTR, "s:0.1"},
      // Through references; a null one is refused.
      {v(VT_BYREF | VT_I4, [&](VARIANT& x) { x.plVal = &by_ref; }), VT_I2, kOverflow},
      {v(VT_BYREF | VT_I4, [&](VARIANT& x) { x.plVal = &by_ref; }), VT_BSTR, "s:70000"},
      {v(VT_BYREF | VT_VARIANT, [&](VARIANT& x) { x.pvarVal = &inner; }), VT_I2, "32766"},
      {v(VT_BYREF | VT_I2, [](VARIANT& x) { x.piVal = nullptr; }), VT_I2, kInvalid},
      // Types that do not convert, and types this layer does not carry.
      {v(VT_DISPATCH, [](VARIANT&) {}), VT_I2, kMismatch},
      {v(7 /* VT_DATE */, [](VARIANT&) {}), VT_I2, kBadType},
      {i4(1), VT_DISPATCH, kBadType},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(Converted(row.from, row.to), row.expected) << "from vt " << row.from.vt << " to vt " << row.to;
  }
  EXPECT_EQ(Converted(v(VT_BOOL, [](VARIANT& x) { x.boolVal = VARIANT_TRUE; }), VT_BSTR, VARIANT_ALPHABOOL),
            "s:True");
  // In place: the string is replaced by its number and freed.
  VARIANT text = v(VT_BSTR, [](VARIANT& x) { x.bstrVal = SysAllocString(u"41"); });
  ASSERT_EQ(VariantChangeType(&text, &text, 0, VT_I2), S_OK);
  EXPECT_EQ(text.vt, VT_I2);
  EXPECT_EQ(text.iVal, 41);
}

}  // namespace
