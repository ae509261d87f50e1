// Late-bound calls of VYRMission: names to DISPIDs and Invoke, driven by the compiled-in type library.
#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "platform/codepage.h"
#include "vyrparser/automation/type_library.h"
#include "vyrparser/automation/vyr_mission.h"

namespace vyr::automation {
namespace {

using namespace platform;

constexpr std::size_t kMaxParams = 8;

bool NameEquals(const char* ours, LPOLESTR theirs) {
  if (theirs == nullptr) return false;
  std::size_t i = 0;
  for (; ours[i] != '\0'; ++i) {
    const char16_t c = theirs[i];
    if (c == 0 || c > 0x7F) return false;
    auto lower = [](char32_t x) { return (x >= 'A' && x <= 'Z') ? x - 'A' + 'a' : x; };
    if (lower(c) != lower(static_cast<unsigned char>(ours[i]))) return false;
  }
  return theirs[i] == 0;
}

VARTYPE VarTypeOf(ParamType type) {
  switch (type) {
    case ParamType::kI2:
      return VT_I2;
    case ParamType::kI4:
      return VT_I4;
    case ParamType::kR4:
      return VT_R4;
    case ParamType::kBstr:
      return VT_BSTR;
  }
  return VT_EMPTY;
}

bool IsInput(const ParamDescription& p) {
  return (p.flags & kParamIn) != 0;
}
bool IsRetval(const ParamDescription& p) {
  return (p.flags & kParamRetval) != 0;
}

// The value of one argument, read through any by-reference form.
bool ReadNumber(const VARIANT& v, double* out) {
  const bool byref = (v.vt & VT_BYREF) != 0;
  switch (v.vt & ~VT_BYREF) {
    case VT_I2:
      *out = byref ? *v.piVal : v.iVal;
      return true;
    case VT_I4:
      *out = byref ? *v.plVal : v.lVal;
      return true;
    case VT_R4:
      *out = byref ? *v.pfltVal : v.fltVal;
      return true;
    case VT_R8:
      *out = byref ? *v.pdblVal : v.dblVal;
      return true;
    case VT_UI1:
      *out = byref ? *static_cast<std::uint8_t*>(v.byref) : v.bVal;
      return true;
    case VT_BOOL:
      *out = byref ? *static_cast<VARIANT_BOOL*>(v.byref) : v.boolVal;
      return true;
    case VT_VARIANT:
      return byref && v.pvarVal != nullptr && ReadNumber(*v.pvarVal, out);
    default:
      return false;
  }
}

// One argument's storage: an input value, or a pointer to where an output goes.
struct Slot {
  std::int16_t i2 = 0;
  std::int32_t i4 = 0;
  float r4 = 0.0f;
  BSTR bstr = nullptr;
  void* out = nullptr;  // for outputs: the caller's storage, or this slot's own
  VARIANT* variant =
      nullptr;  // an output given as a VARIANT by reference: filled from this slot after the call
};

void* SlotStorage(ParamType type, Slot* slot) {
  switch (type) {
    case ParamType::kI2:
      return &slot->i2;
    case ParamType::kI4:
      return &slot->i4;
    case ParamType::kR4:
      return &slot->r4;
    case ParamType::kBstr:
      return &slot->bstr;
  }
  return nullptr;
}

// Stores a slot's value into a VARIANT as `type`; a string the VARIANT held is freed when replaced.
void StoreSlot(ParamType type, const Slot& slot, VARIANT* target, bool fresh) {
  const VARTYPE want = VarTypeOf(type);
  if (!fresh && target->vt == want && want == VT_BSTR && target->bstrVal == slot.bstr) return;
  if (!fresh) VariantClear(target);
  VariantInit(target);
  target->vt = want;
  switch (type) {
    case ParamType::kI2:
      target->iVal = slot.i2;
      break;
    case ParamType::kI4:
      target->lVal = slot.i4;
      break;
    case ParamType::kR4:
      target->fltVal = slot.r4;
      break;
    case ParamType::kBstr:
      target->bstrVal = slot.bstr;
      break;
  }
}

// Converts an input argument as VariantChangeType would for these types.
HRESULT ReadInput(const VARIANT& v, ParamType type, Slot* slot) {
  if (type == ParamType::kBstr) {
    const VARIANT* inner = &v;
    if (v.vt == (VT_BYREF | VT_VARIANT) && v.pvarVal != nullptr) inner = v.pvarVal;
    if (inner->vt == VT_BSTR) {
      slot->bstr = inner->bstrVal;
      return S_OK;
    }
    if (inner->vt == (VT_BYREF | VT_BSTR) && inner->pbstrVal != nullptr) {
      slot->bstr = *inner->pbstrVal;
      return S_OK;
    }
    return DISP_E_TYPEMISMATCH;
  }
  double value = 0;
  if (!ReadNumber(v, &value)) return DISP_E_TYPEMISMATCH;
  if (type == ParamType::kR4) {
    if (std::isfinite(value) && std::fabs(value) > std::numeric_limits<float>::max()) return DISP_E_OVERFLOW;
    slot->r4 = static_cast<float>(value);
    return S_OK;
  }
  const double rounded = std::nearbyint(value);  // to nearest, ties to even
  if (type == ParamType::kI2) {
    if (!(rounded >= -32768.0 && rounded <= 32767.0)) return DISP_E_OVERFLOW;
    slot->i2 = static_cast<std::int16_t>(rounded);
  } else {
    if (!(rounded >= -2147483648.0 && rounded <= 2147483647.0)) return DISP_E_OVERFLOW;
    slot->i4 = static_cast<std::int32_t>(rounded);
  }
  return S_OK;
}

// An output argument must be passed by reference, as its own type or as a VARIANT that receives it.
HRESULT BindOutput(VARIANT& v, ParamType type, Slot* slot) {
  const VARTYPE want = VarTypeOf(type);
  if (v.vt == (VT_BYREF | want)) {
    if (v.byref == nullptr) return E_POINTER;
    slot->out = v.byref;
    return S_OK;
  }
  if (v.vt == (VT_BYREF | VT_VARIANT) && v.pvarVal != nullptr) {
    // Filled after the call from the slot, which starts with what the VARIANT holds now, so that an
    // operation that leaves its output alone leaves the VARIANT alone.
    slot->variant = v.pvarVal;
    const VARIANT& inner = *v.pvarVal;
    if (inner.vt == want) {
      slot->i2 = want == VT_I2 ? inner.iVal : 0;
      slot->i4 = want == VT_I4 ? inner.lVal : 0;
      slot->r4 = want == VT_R4 ? inner.fltVal : 0.0f;
      slot->bstr = want == VT_BSTR ? inner.bstrVal : nullptr;
    }
    slot->out = SlotStorage(type, slot);
    return S_OK;
  }
  return DISP_E_TYPEMISMATCH;
}

template <typename T>
T* Out(Slot& slot) {
  return static_cast<T*>(slot.out);
}

HRESULT Call(IVYRMission2* m, DISPID dispid, WORD kind, Slot* a) {
  switch (dispid) {
    case 1:
      return m->MissionTitle(Out<BSTR>(a[0]));
    case 2:
      return m->MissionDescription(Out<BSTR>(a[0]));
    case 3:
      return m->MissionAuthor(Out<BSTR>(a[0]));
    case 4:
      return m->MissionMap(Out<BSTR>(a[0]));
    case 5:
      return m->TryParseMission(a[0].bstr, Out<std::int16_t>(a[1]));
    case 6:
      return m->CloseMission();
    case 7:
      return m->ActorCount(Out<std::int16_t>(a[0]));
    case 8:
      return m->ActorInfo(a[0].i2, Out<BSTR>(a[1]), Out<BSTR>(a[2]), Out<BSTR>(a[3]), Out<float>(a[4]));
    case 9:
      return kind == DISPATCH_PROPERTYPUT ? m->put_OverallSkill(a[0].r4)
                                          : m->get_OverallSkill(Out<float>(a[0]));
    case 10:
      return m->GenerateMission(a[0].bstr);
    case 11:
      return m->GetActorItemCount(a[0].i2, a[1].bstr, Out<std::int16_t>(a[2]));
    case 12:
      return m->SetActorItemCount(a[0].i2, a[1].bstr, a[2].i2);
    case 13:
      return m->SetActorModelSkin(a[0].i2, a[1].bstr);
    case 14:
      return m->SetActorSkill(a[0].i2, a[1].r4);
    case 15:
      return m->GetActorForceAndTeam(a[0].i2, Out<BSTR>(a[1]), Out<BSTR>(a[2]));
    case 16:
      return m->SetActorName(a[0].i2, a[1].bstr);
    case 17:
      return m->NeedToIncorporateMissionExperiences(a[0].bstr, Out<std::int32_t>(a[1]),
                                                    Out<std::int32_t>(a[2]), Out<std::int16_t>(a[3]));
    case 18:
      return m->IncorporateMissionExperiences(a[0].bstr);
    case 19:
      return m->GetLocationCount(Out<std::int16_t>(a[0]));
    case 20:
      return m->GetLocationData(a[0].i2, Out<BSTR>(a[1]), Out<float>(a[2]), Out<float>(a[3]),
                                Out<float>(a[4]));
    case 21:
      return m->GetAreaCount(Out<std::int16_t>(a[0]));
    case 22:
      return m->GetAreaData(a[0].i2, Out<BSTR>(a[1]), Out<std::int16_t>(a[2]), Out<std::int16_t>(a[3]),
                            Out<std::int16_t>(a[4]), Out<std::int16_t>(a[5]), Out<std::int16_t>(a[6]),
                            Out<float>(a[7]));
    case 23:
      return m->GetAreaLocationLabel(a[0].i2, a[1].i2, Out<BSTR>(a[2]));
    case 24:
      return m->GetTeamPlan(a[0].bstr, Out<BSTR>(a[1]));
    case 25:
      return m->GetMapAnnotation(Out<BSTR>(a[0]));
    case 26:
      return m->SetActorType(a[0].i2, a[1].bstr);
    case 27:
      return m->GetRawMissionDescription(Out<BSTR>(a[0]));
    case 28:
      return m->GetMapStyles(Out<std::int16_t>(a[0]));
    case 29:
      return m->GetObjectiveCount(Out<std::int16_t>(a[0]));
    case 30:
      return m->GetObjectiveData(a[0].i2, Out<BSTR>(a[1]), Out<BSTR>(a[2]), Out<BSTR>(a[3]), Out<BSTR>(a[4]),
                                 Out<std::int16_t>(a[5]));
    case 31:
      return m->GetObjectiveNextMission(a[0].i2, a[1].i2, Out<BSTR>(a[2]));
    // IVYRMission2
    case 32:
      return m->GetForceCount(Out<std::int32_t>(a[0]));
    case 33:
      return m->GetForceData(a[0].i4, Out<BSTR>(a[1]), Out<BSTR>(a[2]), Out<std::int32_t>(a[3]));
    case 34:
      return m->GetTeamCount(a[0].i4, Out<std::int32_t>(a[1]));
    case 35:
      return m->GetTeamData(a[0].i4, a[1].i4, Out<BSTR>(a[2]), Out<BSTR>(a[3]), Out<std::int32_t>(a[4]));
    case 36:
      return m->GetForceTeamPlan(a[0].i4, a[1].i4, Out<BSTR>(a[2]));
    case 37:
      return m->TeamActorCount(a[0].i4, a[1].i4, Out<std::int32_t>(a[2]));
    case 38:
      return m->TeamActorInfo(a[0].i4, a[1].i4, a[2].i4, Out<BSTR>(a[3]), Out<BSTR>(a[4]), Out<BSTR>(a[5]),
                              Out<float>(a[6]));
    case 39:
      return m->GetTeamActorItemCount(a[0].i4, a[1].i4, a[2].i4, a[3].bstr, Out<std::int32_t>(a[4]));
    case 40:
      return m->SetTeamActorItemCount(a[0].i4, a[1].i4, a[2].i4, a[3].bstr, a[4].i2);
    case 41:
      return m->SetTeamActorModelSkin(a[0].i4, a[1].i4, a[2].i4, a[3].bstr);
    case 42:
      return m->SetTeamActorSkill(a[0].i4, a[1].i4, a[2].i4, a[3].r4);
    case 43:
      return m->SetTeamActorName(a[0].i4, a[1].i4, a[2].i4, a[3].bstr);
    case 44:
      return m->SetTeamActorType(a[0].i4, a[1].i4, a[2].i4, a[3].bstr);
    case 45:
      return m->ActorCount32(Out<std::int32_t>(a[0]));
    case 46:
      return m->GetLocationCount32(Out<std::int32_t>(a[0]));
    case 47:
      return m->GetAreaCount32(Out<std::int32_t>(a[0]));
    case 48:
      return m->GetObjectiveCount32(Out<std::int32_t>(a[0]));
    case 49:
      return m->GetParseMessageCount(Out<std::int32_t>(a[0]));
    case 50:
      return m->GetParseMessage(a[0].i4, Out<std::int32_t>(a[1]), Out<BSTR>(a[2]), Out<BSTR>(a[3]));
    default:
      return DISP_E_MEMBERNOTFOUND;
  }
}

const FunctionDescription* FindFunction(DISPID dispid, WORD flags) {
  for (const FunctionDescription& f : IVYRMission2Functions()) {
    if (f.dispid != dispid) continue;
    if ((f.invoke_kind & flags) != 0) return &f;
    // A method may be asked for as a property get too: late-bound callers often cannot tell them apart.
    if (f.invoke_kind == DISPATCH_METHOD && (flags & DISPATCH_PROPERTYGET) != 0) return &f;
  }
  return nullptr;
}

}  // namespace

HRESULT VYRMission::GetTypeInfoCount(UINT* count) {
  if (count == nullptr) return E_POINTER;
  *count = 0;  // type information is not served as an object
  return S_OK;
}

HRESULT VYRMission::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (info == nullptr) return E_POINTER;
  *info = nullptr;
  return DISP_E_BADINDEX;
}

HRESULT VYRMission::GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT name_count, LCID, DISPID* dispids) {
  if (!(riid == GUID_NULL)) return DISP_E_UNKNOWNINTERFACE;
  if (names == nullptr || dispids == nullptr || name_count == 0) return E_INVALIDARG;
  if (!TypeLibraryRegistered()) return TYPE_E_LIBNOTREGISTERED;
  std::fill(dispids, dispids + name_count, DISPID_UNKNOWN);
  const FunctionDescription* found = nullptr;
  for (const FunctionDescription& f : IVYRMission2Functions()) {
    if (NameEquals(f.name, names[0])) {
      found = &f;
      break;
    }
  }
  if (found == nullptr) return DISP_E_UNKNOWNNAME;
  dispids[0] = found->dispid;
  HRESULT hr = S_OK;
  // Parameter names answer their position; the property's put half has none.
  for (UINT n = 1; n < name_count; ++n) {
    for (std::size_t p = 0; p < found->params.size(); ++p) {
      if (found->params[p].name[0] != '\0' && NameEquals(found->params[p].name, names[n])) {
        dispids[n] = static_cast<DISPID>(p);
      }
    }
    if (dispids[n] == DISPID_UNKNOWN) hr = DISP_E_UNKNOWNNAME;
  }
  return hr;
}

HRESULT VYRMission::Invoke(DISPID member, REFIID riid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                           EXCEPINFO*, UINT* arg_error) {
  if (!(riid == GUID_NULL)) return DISP_E_UNKNOWNINTERFACE;
  if (params == nullptr) return E_INVALIDARG;
  if (params->cArgs > 0 && params->rgvarg == nullptr) return E_INVALIDARG;
  if (params->cNamedArgs > params->cArgs ||
      (params->cNamedArgs > 0 && params->rgdispidNamedArgs == nullptr)) {
    return E_INVALIDARG;
  }
  if (!TypeLibraryRegistered()) return TYPE_E_LIBNOTREGISTERED;
  const FunctionDescription* f = FindFunction(member, flags);
  if (f == nullptr) return DISP_E_MEMBERNOTFOUND;
  const WORD kind = f->invoke_kind;

  // Which argument feeds which parameter: named ones by their DISPID, the rest by position
  // (rgvarg holds positional arguments last to first, after the named ones).
  const std::size_t visible = static_cast<std::size_t>(std::count_if(
      f->params.begin(), f->params.end(), [](const ParamDescription& p) { return !IsRetval(p); }));
  std::vector<int> source(kMaxParams, -1);
  const UINT named = params->cNamedArgs;
  for (UINT n = 0; n < named; ++n) {
    DISPID id = params->rgdispidNamedArgs[n];
    if (id == DISPID_PROPERTYPUT && kind == DISPATCH_PROPERTYPUT) id = 0;
    if (id < 0 || static_cast<std::size_t>(id) >= visible) {
      if (arg_error != nullptr) *arg_error = n;
      return DISP_E_PARAMNOTFOUND;
    }
    source[static_cast<std::size_t>(id)] = static_cast<int>(n);
  }
  const UINT positional = params->cArgs - named;
  if (positional + named != visible) return DISP_E_BADPARAMCOUNT;
  for (UINT p = 0; p < positional; ++p) {
    if (source[p] != -1) return DISP_E_BADPARAMCOUNT;
    source[p] = static_cast<int>(params->cArgs - 1 - p);
  }

  Slot slots[kMaxParams];
  for (std::size_t p = 0; p < f->params.size(); ++p) {
    const ParamDescription& desc = f->params[p];
    Slot& slot = slots[p];
    if (IsRetval(desc)) {
      slot.out = SlotStorage(desc.type, &slot);
      continue;
    }
    VARIANT& arg = params->rgvarg[source[p]];
    if (arg.vt == VT_ERROR && arg.scode == DISP_E_PARAMNOTFOUND) {
      if (arg_error != nullptr) *arg_error = static_cast<UINT>(source[p]);
      return DISP_E_PARAMNOTOPTIONAL;
    }
    const HRESULT hr = IsInput(desc) ? ReadInput(arg, desc.type, &slot) : BindOutput(arg, desc.type, &slot);
    if (FAILED(hr)) {
      if (arg_error != nullptr) *arg_error = static_cast<UINT>(source[p]);
      return hr;
    }
  }

  const HRESULT hr = Call(this, f->dispid, kind, slots);
  for (std::size_t p = 0; p < f->params.size(); ++p) {
    const ParamDescription& desc = f->params[p];
    if (slots[p].variant != nullptr) {
      const VARIANT& before = *slots[p].variant;
      const bool unchanged = before.vt == VarTypeOf(desc.type) && desc.type == ParamType::kBstr &&
                             before.bstrVal == slots[p].bstr;
      if (!unchanged) StoreSlot(desc.type, slots[p], slots[p].variant, false);
    } else if (IsRetval(desc)) {
      // The retval travels in *result; a caller that passed none does not want it.
      if (result != nullptr) {
        StoreSlot(desc.type, slots[p], result, true);
      } else {
        SysFreeString(slots[p].bstr);
      }
    }
  }
  return hr;
}

}  // namespace vyr::automation
