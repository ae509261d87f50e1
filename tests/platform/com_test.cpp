#include "platform/com.h"

#include <gtest/gtest.h>

#include <cstddef>

using namespace platform;

namespace {

TEST(Guid, FormatsUpperCaseInRegistrySpelling) {
  const GUID g{0xD2CE3E35, 0x323A, 0x11D3, {0x9C, 0x8F, 0xF1, 0x70, 0xBB, 0x19, 0xFA, 0x62}};
  EXPECT_EQ(GuidToString(g), "{D2CE3E35-323A-11D3-9C8F-F170BB19FA62}");
  EXPECT_EQ(GuidToString(GUID_NULL), "{00000000-0000-0000-0000-000000000000}");
  EXPECT_EQ(GuidToString(IID_IDispatch), "{00020400-0000-0000-C000-000000000046}");
}

TEST(Guid, ParsesEitherCaseAndRoundTrips) {
  const auto g = GuidFromString("{d2ce3e35-323a-11d3-9c8f-f170bb19fa62}");
  ASSERT_TRUE(g.has_value());
  EXPECT_EQ(GuidToString(*g), "{D2CE3E35-323A-11D3-9C8F-F170BB19FA62}");
  EXPECT_EQ(GuidFromString(GuidToString(IID_IUnknown)), IID_IUnknown);
}

TEST(Guid, RejectsMalformedText) {
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

TEST(Bstr, IsPrecededByItsByteLengthAndTerminated) {
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
}

TEST(Bstr, NullAndEmptyEdges) {
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

TEST(HResult, SuccessAndFailureFollowTheSignBit) {
  EXPECT_TRUE(SUCCEEDED(S_FALSE));
  EXPECT_TRUE(FAILED(E_POINTER));
  EXPECT_EQ(static_cast<std::uint32_t>(CLASS_E_CLASSNOTAVAILABLE), 0x80040111u);
  EXPECT_EQ(static_cast<std::uint32_t>(REGDB_E_CLASSNOTREG), 0x80040154u);
}

}  // namespace
