#include <string>
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
  // Invokes with rgvarg as given, last argument first; counts other than the arrays' sizes may be forced.
  // The arrays are exactly sized, so that a read or write outside them shows under the sanitizer build.
  HRESULT Raw(DISPID id, WORD flags, std::vector<VARIANT> args, std::vector<DISPID> named, VARIANT* result,
              UINT* arg_error, UINT count = 0, UINT named_count = 0) {
    DISPPARAMS params{args.empty() ? nullptr : args.data(), named.empty() ? nullptr : named.data(),
                      count != 0 ? count : static_cast<UINT>(args.size()),
                      named_count != 0 ? named_count : static_cast<UINT>(named.size())};
    return mission_->Invoke(id, GUID_NULL, LOCALE_USER_DEFAULT, flags, &params, result, nullptr, arg_error);
  }
  // Invokes with arguments given first to last.
  HRESULT Call(DISPID id, WORD flags, std::vector<VARIANT> args, VARIANT* result, UINT* arg_error = nullptr,
               std::vector<DISPID> named = {}) {
    return Raw(id, flags, {args.rbegin(), args.rend()}, std::move(named), result, arg_error);
  }
};

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
  EXPECT_EQ(count, 1u);
}

TEST_F(Dispatch, LateBoundCallsNeedTheTypeLibraryRegistered) {
  ASSERT_TRUE(platform::Registry(registry_file_).Update([](RegistryTree& t) {
    t.DeleteTree("TypeLib\\{D2CE3E28-323A-11D3-9C8F-F170BB19FA62}");
  }));
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
  ASSERT_EQ(Call(1, DISPATCH_PROPERTYGET, {}, &result), S_OK);
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

  // Three results: a retval and two outputs.
  std::int32_t recorded = 5, studied = 5;
  BStr partial(u"/nonexistent/map");
  ASSERT_EQ(
      Call(17, DISPATCH_METHOD, {Str(partial.Get()), Ref(VT_I4, &recorded), Ref(VT_I4, &studied)}, &result),
      S_OK);
  EXPECT_EQ(result.vt, VT_I2);
  EXPECT_EQ(result.iVal, -1);
  EXPECT_EQ(recorded, 0);

  // The second interface's operations on the same object: GetTeamData(1, 0).
  BStr team_name, description;
  std::int32_t actors = -1;
  ASSERT_EQ(Call(IdOf(u"getteamdata"), DISPATCH_METHOD,
                 {I4(1), I4(0), Ref(VT_BSTR, team_name.Put()), Ref(VT_BSTR, description.Put()),
                  Ref(VT_I4, &actors)},
                 nullptr),
            S_OK);
  EXPECT_EQ(Text(team_name) + "|" + Text(description) + "|" + std::to_string(actors), "reds||1");
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
  VARIANT result;
  VariantInit(&result);
  ASSERT_EQ(Raw(23, DISPATCH_METHOD, {I2(1), I2(0)}, {1, 0}, &result, nullptr), S_OK);
  ASSERT_EQ(result.vt, VT_BSTR);
  EXPECT_EQ(Text(BStr::Adopt(result.bstrVal)), "hq");

  // Mixed: GetActor(1, type, name := , skin := , skill := ), the named ones in either order. rgvarg holds
  // the named arguments in the order of their DISPIDs, then the positional ones last to first.
  for (const bool reversed : {false, true}) {
    BStr type, name, skin;
    float skill = 0;
    std::vector<VARIANT> mixed = {Ref(VT_BSTR, name.Put()), Ref(VT_BSTR, skin.Put()), Ref(VT_R4, &skill),
                                  Ref(VT_BSTR, type.Put()), I4(1)};
    std::vector<DISPID> ids = {2, 3, 4};
    if (reversed) {
      std::swap(mixed[0], mixed[2]);
      std::swap(ids[0], ids[2]);
    }
    ASSERT_EQ(Raw(8, DISPATCH_METHOD, mixed, ids, nullptr, nullptr), S_OK);
    EXPECT_EQ(Text(name), "ann");
    EXPECT_EQ(skill, 4.5f);
    EXPECT_FALSE(Text(type).empty());
    EXPECT_FALSE(Text(skin).empty());
  }
  // A parameter named twice is refused at the second name.
  UINT arg_error = 99;
  EXPECT_EQ(Raw(23, DISPATCH_METHOD, {I2(1), I2(0)}, {0, 0}, &result, &arg_error), DISP_E_PARAMNOTFOUND);
  EXPECT_EQ(arg_error, 1u);
  // A name past the parameters (the result is none) is refused at that name.
  EXPECT_EQ(Raw(23, DISPATCH_METHOD, {I2(1), I2(0)}, {2}, &result, &arg_error), DISP_E_PARAMNOTFOUND);
  EXPECT_EQ(arg_error, 0u);
  // A named argument may not take a parameter a positional one already fills.
  EXPECT_EQ(Raw(23, DISPATCH_METHOD, {I2(1), I2(0)}, {0}, &result, nullptr), DISP_E_BADPARAMCOUNT);
}

// The conversions themselves are VariantChangeType's (its own tests); here that arguments go through it.
TEST_F(Dispatch, ArgumentsConvertAsVariantChangeTypeDoes) {
  ASSERT_EQ(Parse(mission_.Get(), kRaidScript), 0);
  BStr one(u" 1 "), big(u"40000");
  std::int16_t by_ref = 1;
  VARIANT inner = R8(0.5);  // rounds to the even 0
  struct Row {
    VARIANT index;
    HRESULT hr;
    const char* name;
  } rows[] = {
      {Str(one.Get()), S_OK, "ann"},          {R8(1.5), S_OK, "you"},
      {Ref(VT_I2, &by_ref), S_OK, "ann"},     {Ref(VT_VARIANT, &inner), S_OK, "bob"},
      {Of(VT_NULL), DISP_E_TYPEMISMATCH, ""}, {Str(big.Get()), DISP_E_OVERFLOW, ""},
  };
  for (Row& row : rows) {
    VARIANT name;
    VariantInit(&name);
    UINT arg_error = 99;
    BStr type, skin;
    float skill = 0;
    EXPECT_EQ(Call(8, DISPATCH_METHOD,
                   {row.index, Ref(VT_BSTR, type.Put()), Ref(VT_VARIANT, &name), Ref(VT_BSTR, skin.Put()),
                    Ref(VT_R4, &skill)},
                   nullptr, &arg_error),
              row.hr)
        << row.name;
    if (row.hr == S_OK) {
      ASSERT_EQ(name.vt, VT_BSTR);
      EXPECT_EQ(Text(BStr::Adopt(name.bstrVal)), row.name);
    } else {
      EXPECT_EQ(arg_error, 4u);  // the index is the first argument, last in rgvarg
      EXPECT_EQ(name.vt, VT_EMPTY);
    }
  }
  // A number where a string is wanted becomes its text; Empty becomes "".
  ASSERT_EQ(Call(13, DISPATCH_METHOD, {I2(0), R8(2.5)}, nullptr), S_OK);
  BStr skin;
  mission_->ActorInfo(0, nullptr, nullptr, skin.Put(), nullptr);
  EXPECT_EQ(Text(skin), "2.5");
  ASSERT_EQ(Call(13, DISPATCH_METHOD, {I2(0), Of(VT_EMPTY)}, nullptr), S_OK);
  mission_->ActorInfo(0, nullptr, nullptr, skin.Put(), nullptr);
  EXPECT_EQ(Text(skin), "");
}

TEST_F(Dispatch, OutputsReachVariablesOfOtherTypesOnlyWhenProduced) {
  ASSERT_EQ(Parse(mission_.Get(), kRaidScript), 0);
  // GetLocationData(1) gives hq <5, 6, 7>: into a double, a 32-bit integer and a string variable.
  VARIANT label;
  VariantInit(&label);
  double x = 0;
  std::int32_t y = 0;
  BSTR z = nullptr;
  ASSERT_EQ(Call(20, DISPATCH_METHOD,
                 {I2(1), Ref(VT_VARIANT, &label), Ref(VT_R8, &x), Ref(VT_I4, &y), Ref(VT_BSTR, &z)}, nullptr),
            S_OK);
  EXPECT_EQ(Text(BStr::Adopt(label.bstrVal)), "hq");
  EXPECT_EQ(x, 5.0);
  EXPECT_EQ(y, 6);
  EXPECT_EQ(Text(BStr::Adopt(z)), "7");

  // An invalid index leaves every variable as it was, whatever its type.
  VARIANT empty, number;
  VariantInit(&empty);
  number = I4(42);
  BStr kept(u"kept");
  BSTR kept_raw = kept.Get();
  float skill = 1.25f;
  for (std::int16_t bad : {std::int16_t{-1}, std::int16_t{3}}) {
    ASSERT_EQ(Call(8, DISPATCH_METHOD,
                   {I2(bad), Ref(VT_VARIANT, &empty), Ref(VT_VARIANT, &number), Ref(VT_BSTR, &kept_raw),
                    Ref(VT_R4, &skill)},
                   nullptr),
              S_OK);
    EXPECT_EQ(empty.vt, VT_EMPTY);
    EXPECT_EQ(number.vt, VT_I4);
    EXPECT_EQ(number.lVal, 42);
    EXPECT_EQ(kept_raw, kept.Get());
    EXPECT_EQ(skill, 1.25f);
  }
  VARIANT result;
  VariantInit(&result);
  ASSERT_EQ(Call(23, DISPATCH_METHOD, {I2(5), I2(0)}, &result), S_OK);
  EXPECT_EQ(result.vt, VT_EMPTY);

  // gate is <100, -200, 32>: -200 does not fit a byte, so no variable is written, not even those before it.
  std::uint8_t bx = 7, by = 7;
  VARIANT gate;
  VariantInit(&gate);
  UINT arg_error = 99;
  EXPECT_EQ(Call(20, DISPATCH_METHOD,
                 {I2(0), Ref(VT_VARIANT, &gate), Ref(VT_UI1, &bx), Ref(VT_UI1, &by), Ref(VT_R8, &x)}, nullptr,
                 &arg_error),
            DISP_E_OVERFLOW);
  EXPECT_EQ(arg_error, 1u);
  EXPECT_EQ(gate.vt, VT_EMPTY);
  EXPECT_EQ(bx, 7);
  EXPECT_EQ(x, 5.0);
  // Text is not read back into a number: refused before the call.
  EXPECT_EQ(Call(20, DISPATCH_METHOD, {I2(1), Ref(VT_I4, &y), Ref(VT_R8, &x), Ref(VT_R8, &x), Ref(VT_R8, &x)},
                 nullptr, &arg_error),
            DISP_E_TYPEMISMATCH);
  EXPECT_EQ(arg_error, 3u);
  EXPECT_EQ(y, 6);
}

TEST_F(Dispatch, MalformedArgumentListsAreRefusedWithoutTouchingMemory) {
  ASSERT_EQ(Parse(mission_.Get(), kRaidScript), 0);
  UINT arg_error = 99;
  // SetActorSkill(anActorIdx, anActorSkill) with more names than arguments, or counts beyond the arrays.
  EXPECT_EQ(Raw(14, DISPATCH_METHOD, {I2(0), R4(1)}, {0}, nullptr, &arg_error, 0, 3), DISP_E_BADPARAMCOUNT);
  EXPECT_EQ(Raw(14, DISPATCH_METHOD, {}, {}, nullptr, &arg_error, 2), E_INVALIDARG);
  EXPECT_EQ(Raw(14, DISPATCH_METHOD, {I2(0), R4(1)}, {}, nullptr, &arg_error, 0, 1), E_INVALIDARG);
  // Null references, given directly or inside a VARIANT, for inputs and outputs.
  VARIANT dangling;
  VariantInit(&dangling);
  dangling.vt = VT_BYREF | VT_I2;
  EXPECT_EQ(Call(14, DISPATCH_METHOD, {Ref(VT_I2, static_cast<std::int16_t*>(nullptr)), R4(1)}, nullptr,
                 &arg_error),
            E_POINTER);
  EXPECT_EQ(arg_error, 1u);
  EXPECT_EQ(Call(14, DISPATCH_METHOD, {Ref(VT_VARIANT, &dangling), R4(1)}, nullptr, &arg_error), E_POINTER);
  EXPECT_EQ(Call(15, DISPATCH_METHOD,
                 {I2(0), Ref(VT_VARIANT, &dangling), Ref(VT_BSTR, static_cast<BSTR*>(nullptr))}, nullptr,
                 &arg_error),
            E_POINTER);
  EXPECT_EQ(arg_error, 1u);
  float skill = 0;
  mission_->ActorInfo(0, nullptr, nullptr, nullptr, &skill);
  EXPECT_EQ(skill, 2.0f);  // nothing was called
}

TEST_F(Dispatch, TypeInfoListsEveryMethodWithItsParameters) {
  ComPtr<ITypeInfo> info;
  EXPECT_EQ(mission_->GetTypeInfo(1, 0, info.Put()), DISP_E_BADINDEX);
  ASSERT_EQ(mission_->GetTypeInfo(0, LOCALE_USER_DEFAULT, info.Put()), S_OK);
  TYPEATTR* attr = nullptr;
  ASSERT_EQ(info->GetTypeAttr(&attr), S_OK);
  // One IDispatch answers for both interfaces, so it describes the wider one.
  EXPECT_EQ(attr->guid, IID_IVYRMission2);
  EXPECT_EQ(attr->typekind, TKIND_DISPATCH);
  EXPECT_NE(attr->wTypeFlags & TYPEFLAG_FDUAL, 0);
  const UINT functions = attr->cFuncs;
  info->ReleaseTypeAttr(attr);
  BStr name, doc;
  ASSERT_EQ(info->GetDocumentation(MEMBERID_NIL, name.Put(), doc.Put(), nullptr, nullptr), S_OK);
  EXPECT_EQ(Text(name), "IVYRMission2");
  EXPECT_EQ(Text(doc), "IVYRMission2 Interface");

  // Each as "name id kind: result (parameter type flags, ...) help", types as VARTYPE numbers, * for
  // pointers.
  std::vector<std::string> listed;
  for (UINT i = 0; i < functions; ++i) {
    FUNCDESC* desc = nullptr;
    ASSERT_EQ(info->GetFuncDesc(i, &desc), S_OK);
    BSTR names[10] = {};
    UINT count = 0;
    ASSERT_EQ(info->GetNames(desc->memid, names, 10, &count), S_OK);
    std::vector<std::string> texts;
    for (UINT n = 0; n < count; ++n)
      texts.push_back(Text(BStr::Adopt(names[n])));
    std::string line = texts[0] + " " + std::to_string(desc->memid) + " " + std::to_string(desc->invkind) +
                       ": " + std::to_string(desc->elemdescFunc.tdesc.vt) + " (";
    for (int p = 0; p < desc->cParams; ++p) {
      const ELEMDESC& e = desc->lprgelemdescParam[p];
      const bool pointer = e.tdesc.vt == VT_PTR;
      line += (p > 0 ? ", " : "") +
              (p + 1 < static_cast<int>(texts.size()) ? texts[p + 1] : std::string("?")) + " " +
              std::to_string(pointer ? e.tdesc.lptdesc->vt : e.tdesc.vt) + (pointer ? "*" : "") + " " +
              std::to_string(e.paramdesc.wParamFlags);
    }
    info->ReleaseFuncDesc(desc);
    listed.push_back(line + ")");
  }
  // One row of each shape: a property get and put, [in] and [out] parameters of every type, the output
  // without flags, both interfaces' last rows.
  ASSERT_EQ(listed.size(), 51u);
  const std::pair<std::size_t, std::string> rows[] = {
      {0, "MissionTitle 1 1: 8 ()"},
      {7,
       "ActorInfo 8 1: 24 (anActorIdx 2 1, theActorType 8* 2, theActorName 8* 2, theActorModelAndSkin 8* 2, "
       "theActorSkill 4* 2)"},
      {8, "OverallSkill 9 2: 4 ()"},
      {9, "OverallSkill 9 4: 24 (? 4 1)"},
      {15, "GetActorForceAndTeam 15 1: 24 (anActorIdx 2 1, theActorForce 8* 2, theActorTeam 8* 0)"},
      {17,
       "NeedToIncorporateMissionExperiences 17 1: 2 (aPartialFileName 8 1, theMissionsRecorded 3* 2, "
       "theMissionsStudied 3* 2)"},
      {31, "GetObjectiveNextMission 31 1: 8 (anObjectiveIdx 2 1, aNextMissionIdx 2 1)"},
      {35,
       "GetTeamData 35 1: 24 (aForceIdx 3 1, aTeamIdx 3 1, aTeamName 8* 2, aTeamDescription 8* 2, "
       "anActorCount 3* 2)"},
      {50, "GetParseMessage 50 1: 24 (aMessageIdx 3 1, aLine 3* 2, aNearText 8* 2, aCause 8* 2)"},
  };
  for (const auto& [index, row] : rows)
    EXPECT_EQ(listed[index], row);
  ASSERT_EQ(info->GetDocumentation(15, name.Put(), doc.Put(), nullptr, nullptr), S_OK);
  EXPECT_EQ(Text(name), "GetActorForceAndTeam");
  EXPECT_EQ(Text(doc), "obtains force name and team name for actor");
  FUNCDESC* desc = reinterpret_cast<FUNCDESC*>(1);
  EXPECT_EQ(info->GetFuncDesc(functions, &desc), TYPE_E_ELEMENTNOTFOUND);
  EXPECT_EQ(desc, nullptr);
}

}  // namespace
}  // namespace vyr::automation::testing
