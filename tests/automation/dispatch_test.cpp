#include <vector>

#include "automation_fixture.h"

namespace vyr::automation::testing {
namespace {

using namespace platform;

class Dispatch : public AutomationTest {
 protected:
  DISPID IdOf(const std::u16string& name) {
    std::u16string copy = name;
    LPOLESTR names[] = {copy.data()};
    DISPID id = 12345;
    EXPECT_EQ(mission_->GetIDsOfNames(GUID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), S_OK);
    return id;
  }
  // Invokes with arguments given first to last (they are passed last to first, as callers do).
  HRESULT Call(DISPID id, WORD flags, std::vector<VARIANT> args, VARIANT* result, UINT* arg_error = nullptr,
               std::vector<DISPID> named = {}) {
    std::vector<VARIANT> reversed(args.rbegin(), args.rend());
    DISPPARAMS params{reversed.data(), named.data(), static_cast<UINT>(reversed.size()),
                      static_cast<UINT>(named.size())};
    return mission_->Invoke(id, GUID_NULL, LOCALE_USER_DEFAULT, flags, &params, result, nullptr, arg_error);
  }
  void UnregisterTypeLibraryOnly() {
    ASSERT_TRUE(platform::Registry(registry_file_).Update([](RegistryTree& t) {
      t.DeleteTree("TypeLib\\{D2CE3E28-323A-11D3-9C8F-F170BB19FA62}");
    }));
  }
};

// A VARIANT of type `vt` whose value member `field` is set to `value`.
template <typename T>
VARIANT Make(VARTYPE vt, T VARIANT::*field, T value) {
  VARIANT x;
  VariantInit(&x);
  x.vt = vt;
  x.*field = value;
  return x;
}
VARIANT I2(std::int16_t v) {
  return Make(VT_I2, &VARIANT::iVal, v);
}
VARIANT I4(std::int32_t v) {
  return Make(VT_I4, &VARIANT::lVal, v);
}
VARIANT R8(double v) {
  return Make(VT_R8, &VARIANT::dblVal, v);
}
VARIANT Str(BSTR s) {
  return Make(VT_BSTR, &VARIANT::bstrVal, s);
}
template <typename T>
VARIANT Ref(VARTYPE vt, T* p) {
  return Make(static_cast<VARTYPE>(VT_BYREF | vt), &VARIANT::byref, static_cast<void*>(p));
}

TEST_F(Dispatch, NamesMapToDispidsIgnoringCase) {
  EXPECT_EQ(IdOf(u"MissionTitle"), 1);
  EXPECT_EQ(IdOf(u"trYparsEmission"), 5);
  EXPECT_EQ(IdOf(u"GetObjectiveNextMission"), 31);
  // Parameter names answer their positions.
  std::u16string member = u"GetAreaData", p1 = u"aRadius", p2 = u"anareaidx", p3 = u"nope";
  LPOLESTR names[] = {member.data(), p1.data(), p2.data(), p3.data()};
  DISPID ids[4] = {};
  EXPECT_EQ(mission_->GetIDsOfNames(GUID_NULL, names, 4, 0, ids), DISP_E_UNKNOWNNAME);
  EXPECT_EQ(ids[0], 22);
  EXPECT_EQ(ids[1], 7);
  EXPECT_EQ(ids[2], 0);
  EXPECT_EQ(ids[3], DISPID_UNKNOWN);
  std::u16string unknown = u"MissionTitles";
  LPOLESTR bad[] = {unknown.data()};
  DISPID id = 0;
  EXPECT_EQ(mission_->GetIDsOfNames(GUID_NULL, bad, 1, 0, &id), DISP_E_UNKNOWNNAME);
  EXPECT_EQ(id, DISPID_UNKNOWN);
  EXPECT_EQ(mission_->GetIDsOfNames(IID_IUnknown, bad, 1, 0, &id), DISP_E_UNKNOWNINTERFACE);
  UINT count = 7;
  EXPECT_EQ(mission_->GetTypeInfoCount(&count), S_OK);
  EXPECT_EQ(count, 0u);
}

TEST_F(Dispatch, LateBoundCallsNeedTheTypeLibraryRegistered) {
  UnregisterTypeLibraryOnly();
  std::u16string name = u"MissionTitle";
  LPOLESTR names[] = {name.data()};
  DISPID id = 0;
  EXPECT_EQ(mission_->GetIDsOfNames(GUID_NULL, names, 1, 0, &id), TYPE_E_LIBNOTREGISTERED);
  VARIANT result;
  VariantInit(&result);
  EXPECT_EQ(Call(1, DISPATCH_METHOD, {}, &result), TYPE_E_LIBNOTREGISTERED);
  EXPECT_EQ(result.vt, VT_EMPTY);
  // Early-bound calls do not care.
  BStr title;
  EXPECT_EQ(mission_->MissionTitle(title.Put()), S_OK);
  EXPECT_EQ(Text(title), "incorrect mission");
}

TEST_F(Dispatch, ParseAndQueryLateBound) {
  BStr file(Cp1252ToUtf16(kRaidScript));
  VARIANT result;
  VariantInit(&result);
  ASSERT_EQ(Call(IdOf(u"TryParseMission"), DISPATCH_METHOD, {Str(file.Get())}, &result), S_OK);
  EXPECT_EQ(result.vt, VT_I2);
  EXPECT_EQ(result.iVal, 0);

  // Methods without parameters may be asked for as property gets.
  ASSERT_EQ(Call(1, DISPATCH_METHOD | DISPATCH_PROPERTYGET, {}, &result), S_OK);
  ASSERT_EQ(result.vt, VT_BSTR);
  EXPECT_EQ(Text(BStr::Adopt(result.bstrVal)), "Warehouse raid");

  // Outputs by reference, the index as a 32-bit number.
  BStr type, name, skin;
  float skill = 0;
  ASSERT_EQ(Call(8, DISPATCH_METHOD,
                 {I4(1), Ref(VT_BSTR, type.Put()), Ref(VT_BSTR, name.Put()), Ref(VT_BSTR, skin.Put()),
                  Ref(VT_R4, &skill)},
                 nullptr),
            S_OK);
  EXPECT_EQ(Text(name), "ann");
  EXPECT_EQ(skill, 4.5f);

  // An output given as a VARIANT by reference receives the value and its type.
  VARIANT force, team;
  VariantInit(&force);
  VariantInit(&team);
  team.vt = VT_BSTR;
  team.bstrVal = SysAllocString(u"replaced and freed");
  ASSERT_EQ(Call(15, DISPATCH_METHOD, {I2(2), Ref(VT_VARIANT, &force), Ref(VT_VARIANT, &team)}, nullptr),
            S_OK);
  ASSERT_EQ(force.vt, VT_BSTR);
  EXPECT_EQ(Text(BStr::Adopt(force.bstrVal)), "red");
  ASSERT_EQ(team.vt, VT_BSTR);
  EXPECT_EQ(Text(BStr::Adopt(team.bstrVal)), "reds");

  // A bad index leaves by-reference outputs alone, VARIANTs included.
  VARIANT kept;
  VariantInit(&kept);
  kept.vt = VT_BSTR;
  kept.bstrVal = SysAllocString(u"kept");
  BSTR raw = kept.bstrVal;
  ASSERT_EQ(Call(15, DISPATCH_METHOD, {I2(3), Ref(VT_VARIANT, &kept), Ref(VT_VARIANT, &kept)}, nullptr),
            S_OK);
  EXPECT_EQ(kept.vt, VT_BSTR);
  EXPECT_EQ(kept.bstrVal, raw);
  VariantClear(&kept);

  // Three results: a retval and two outputs.
  std::int32_t recorded = 5, studied = 5;
  BStr partial(u"/nonexistent/map");
  ASSERT_EQ(
      Call(17, DISPATCH_METHOD, {Str(partial.Get()), Ref(VT_I4, &recorded), Ref(VT_I4, &studied)}, &result),
      S_OK);
  EXPECT_EQ(result.vt, VT_I2);
  EXPECT_EQ(result.iVal, -1);
  EXPECT_EQ(recorded, 0);
}

TEST_F(Dispatch, PropertyGetAndPut) {
  ASSERT_EQ(Parse(mission_.Get(), kRaidScript), 0);
  VARIANT result;
  VariantInit(&result);
  ASSERT_EQ(Call(9, DISPATCH_PROPERTYGET, {}, &result), S_OK);
  EXPECT_EQ(result.vt, VT_R4);
  EXPECT_EQ(result.fltVal, 3.25f);
  // A put names its value DISPID_PROPERTYPUT; a double converts to the float the property holds.
  ASSERT_EQ(Call(9, DISPATCH_PROPERTYPUT, {R8(2.5)}, nullptr, nullptr, {DISPID_PROPERTYPUT}), S_OK);
  float skill = 0;
  mission_->get_OverallSkill(&skill);
  EXPECT_EQ(skill, 2.5f);
  EXPECT_EQ(Call(9, DISPATCH_METHOD, {}, &result), DISP_E_MEMBERNOTFOUND);
}

TEST_F(Dispatch, BadCallsAreRefusedWithTheArgumentNamed) {
  VARIANT result;
  VariantInit(&result);
  UINT arg_error = 99;
  EXPECT_EQ(Call(99, DISPATCH_METHOD, {}, &result), DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(Call(0, DISPATCH_METHOD, {}, &result), DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(Call(1, DISPATCH_PROPERTYPUT, {}, &result), DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(Call(5, DISPATCH_METHOD, {}, &result), DISP_E_BADPARAMCOUNT);
  EXPECT_EQ(Call(6, DISPATCH_METHOD, {I2(1)}, &result), DISP_E_BADPARAMCOUNT);
  // SetActorSkill(anActorIdx I2, anActorSkill R4) given a string for the skill: rgvarg[0] is at fault.
  BStr text(u"high");
  EXPECT_EQ(Call(14, DISPATCH_METHOD, {I2(0), Str(text.Get())}, &result, &arg_error), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(arg_error, 0u);
  // An index beyond 16 bits overflows; rgvarg[1] is the index.
  EXPECT_EQ(Call(14, DISPATCH_METHOD, {I4(70000), R8(1.0)}, &result, &arg_error), DISP_E_OVERFLOW);
  EXPECT_EQ(arg_error, 1u);
  // Outputs must be by reference, of the right type.
  std::int16_t wrong = 0;
  EXPECT_EQ(Call(8, DISPATCH_METHOD, {I2(0), Ref(VT_I2, &wrong), I2(0), I2(0), I2(0)}, nullptr, &arg_error),
            DISP_E_TYPEMISMATCH);
  EXPECT_EQ(arg_error, 3u);
  // A missing argument is not optional.
  VARIANT missing;
  VariantInit(&missing);
  missing.vt = VT_ERROR;
  missing.scode = DISP_E_PARAMNOTFOUND;
  EXPECT_EQ(Call(10, DISPATCH_METHOD, {missing}, nullptr, &arg_error), DISP_E_PARAMNOTOPTIONAL);
  // Named arguments must name a parameter.
  EXPECT_EQ(Call(10, DISPATCH_METHOD, {Str(text.Get())}, nullptr, &arg_error, {5}), DISP_E_PARAMNOTFOUND);
  EXPECT_EQ(mission_->Invoke(1, IID_IUnknown, 0, DISPATCH_METHOD, nullptr, &result, nullptr, nullptr),
            DISP_E_UNKNOWNINTERFACE);
  EXPECT_EQ(mission_->Invoke(1, GUID_NULL, 0, DISPATCH_METHOD, nullptr, &result, nullptr, nullptr),
            E_INVALIDARG);
}

TEST_F(Dispatch, NamedArgumentsFindTheirParameters) {
  ASSERT_EQ(Parse(mission_.Get(), kRaidScript), 0);
  // GetAreaLocationLabel(anAreaIdx := 0, aLocationIdx := 1): named arguments come first in rgvarg.
  VARIANT args[2] = {I2(1), I2(0)};
  DISPID named[2] = {1, 0};
  DISPPARAMS params{args, named, 2, 2};
  VARIANT result;
  VariantInit(&result);
  ASSERT_EQ(mission_->Invoke(23, GUID_NULL, 0, DISPATCH_METHOD, &params, &result, nullptr, nullptr), S_OK);
  ASSERT_EQ(result.vt, VT_BSTR);
  EXPECT_EQ(Text(BStr::Adopt(result.bstrVal)), "hq");
}

}  // namespace
}  // namespace vyr::automation::testing
