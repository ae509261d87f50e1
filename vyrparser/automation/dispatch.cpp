// Late-bound calls of VYRMission: names to DISPIDs and Invoke, driven by the compiled-in type library.
// Arguments convert as VariantChangeType converts them; outputs reach the caller only when produced.
#include <algorithm>
#include <vector>

#include "vyrparser/automation/serial_call.h"
#include "vyrparser/automation/type_library.h"
#include "vyrparser/automation/vyr_mission.h"

namespace vyr::automation {
namespace {

using namespace platform;

bool IsInput(const ParamDescription& p) {
  return (p.flags & kParamIn) != 0;
}
bool IsRetval(const ParamDescription& p) {
  return (p.flags & kParamRetval) != 0;
}

// One parameter's storage for the call: a converted input, or where the operation writes an output.
struct Slot {
  Slot() = default;
  Slot(const Slot&) = delete;
  Slot& operator=(const Slot&) = delete;
  ~Slot() { SysFreeString(bstr); }

  std::int16_t i2 = 0;
  std::int32_t i4 = 0;
  float r4 = 0.0f;
  BSTR bstr = nullptr;        // owned until handed to the caller
  void* out = nullptr;        // for outputs: this slot's own storage, which the operation writes
  VARIANT* target = nullptr;  // for outputs: the caller's by-reference argument
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

// The slot's value as a VARIANT of the parameter's type; a string stays the slot's.
VARIANT Borrow(ParamType type, const Slot& slot) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VarTypeOf(type);
  switch (type) {
    case ParamType::kI2:
      v.iVal = slot.i2;
      break;
    case ParamType::kI4:
      v.lVal = slot.i4;
      break;
    case ParamType::kR4:
      v.fltVal = slot.r4;
      break;
    case ParamType::kBstr:
      v.bstrVal = slot.bstr;
      break;
  }
  return v;
}

// A by-reference argument must point somewhere, and so must a by-reference VARIANT it points at.
bool HasNullReference(const VARIANT& v) {
  if ((v.vt & VT_BYREF) == 0) return false;
  if (v.byref == nullptr) return true;
  if (v.vt != (VT_BYREF | VT_VARIANT)) return false;
  return (v.pvarVal->vt & VT_BYREF) != 0 && v.pvarVal->byref == nullptr;
}

HRESULT ReadInput(const VARIANT& arg, ParamType type, Slot* slot) {
  VARIANT converted;
  VariantInit(&converted);
  const HRESULT hr = VariantChangeType(&converted, &arg, 0, VarTypeOf(type));
  if (FAILED(hr)) return hr;
  slot->i2 = converted.iVal;
  slot->i4 = converted.lVal;
  slot->r4 = converted.fltVal;
  if (type == ParamType::kBstr) slot->bstr = converted.bstrVal;
  return S_OK;
}

// An output is passed by reference: as a VARIANT, which receives the value and its type, or as a variable
// of a type the value converts to. Text is not read back into a number.
HRESULT BindOutput(VARIANT& arg, ParamType type, Slot* slot) {
  if ((arg.vt & VT_BYREF) == 0) return DISP_E_TYPEMISMATCH;
  switch (arg.vt & ~VT_BYREF) {
    case VT_VARIANT:
    case VT_BSTR:
      break;
    case VT_I2:
    case VT_I4:
    case VT_R4:
    case VT_R8:
    case VT_BOOL:
    case VT_UI1:
      if (type == ParamType::kBstr) return DISP_E_TYPEMISMATCH;
      break;
    default:
      return DISP_E_TYPEMISMATCH;
  }
  slot->target = &arg;
  slot->out = SlotStorage(type, slot);
  return S_OK;
}

// Stores a value of the target variable's own type through its reference; a string moves there.
void StoreThrough(VARIANT* target, VARIANT* value) {
  switch (target->vt & ~VT_BYREF) {
    case VT_I2:
      *target->piVal = value->iVal;
      break;
    case VT_I4:
      *target->plVal = value->lVal;
      break;
    case VT_R4:
      *target->pfltVal = value->fltVal;
      break;
    case VT_R8:
      *target->pdblVal = value->dblVal;
      break;
    case VT_BOOL:
      *target->pboolVal = value->boolVal;
      break;
    case VT_UI1:
      *target->pbVal = value->bVal;
      break;
    case VT_BSTR:
      *target->pbstrVal = value->bstrVal;  // an [out] string: what was there is the caller's
      break;
    case VT_VARIANT:
      VariantClear(target->pvarVal);
      *target->pvarVal = *value;
      break;
    default:
      return;
  }
  VariantInit(value);
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
  const SerialCall serial;
  if (count == nullptr) return E_POINTER;
  *count = 1;
  return S_OK;
}

HRESULT VYRMission::GetTypeInfo(UINT index, LCID, ITypeInfo** info) {
  const SerialCall serial;
  if (info == nullptr) return E_POINTER;
  *info = nullptr;
  if (index != 0) return DISP_E_BADINDEX;
  if (!TypeLibraryRegistered()) return TYPE_E_LIBNOTREGISTERED;
  return CreateTypeInfo(IVYRMission2Description(), info);
}

HRESULT VYRMission::GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT name_count, LCID, DISPID* dispids) {
  const SerialCall serial;
  if (!(riid == GUID_NULL)) return DISP_E_UNKNOWNINTERFACE;
  if (names == nullptr || dispids == nullptr || name_count == 0) return E_INVALIDARG;
  if (!TypeLibraryRegistered()) return TYPE_E_LIBNOTREGISTERED;
  return LookUpNames(IVYRMission2Functions(), names, name_count, dispids);
}

HRESULT VYRMission::Invoke(DISPID member, REFIID riid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                           EXCEPINFO*, UINT* arg_error) {
  const SerialCall serial;
  auto fail_at = [arg_error](UINT index, HRESULT hr) {
    if (arg_error != nullptr) *arg_error = index;
    return hr;
  };
  if (!(riid == GUID_NULL)) return DISP_E_UNKNOWNINTERFACE;
  if (params == nullptr) return E_INVALIDARG;
  if (params->cArgs > 0 && params->rgvarg == nullptr) return E_INVALIDARG;
  if (params->cNamedArgs > 0 && params->rgdispidNamedArgs == nullptr) return E_INVALIDARG;
  if (params->cNamedArgs > params->cArgs) return DISP_E_BADPARAMCOUNT;
  if (!TypeLibraryRegistered()) return TYPE_E_LIBNOTREGISTERED;
  const FunctionDescription* f = FindFunction(member, flags);
  if (f == nullptr) return DISP_E_MEMBERNOTFOUND;
  const WORD kind = f->invoke_kind;

  // Which argument feeds which parameter: named ones by their DISPID, each at most once, the rest by
  // position (rgvarg holds positional arguments last to first, after the named ones).
  const std::size_t visible = static_cast<std::size_t>(std::count_if(
      f->params.begin(), f->params.end(), [](const ParamDescription& p) { return !IsRetval(p); }));
  std::vector<int> source(f->params.size(), -1);
  const UINT named = params->cNamedArgs;
  for (UINT n = 0; n < named; ++n) {
    DISPID id = params->rgdispidNamedArgs[n];
    if (id == DISPID_PROPERTYPUT && kind == DISPATCH_PROPERTYPUT) id = 0;
    if (id < 0 || static_cast<std::size_t>(id) >= visible || source[static_cast<std::size_t>(id)] != -1) {
      return fail_at(n, DISP_E_PARAMNOTFOUND);
    }
    source[static_cast<std::size_t>(id)] = static_cast<int>(n);
  }
  const UINT positional = params->cArgs - named;
  if (positional + named != visible) return DISP_E_BADPARAMCOUNT;
  for (UINT p = 0; p < positional; ++p) {
    if (source[p] != -1) return DISP_E_BADPARAMCOUNT;
    source[p] = static_cast<int>(params->cArgs - 1 - p);
  }

  std::vector<Slot> slots(f->params.size());
  for (std::size_t p = 0; p < f->params.size(); ++p) {
    const ParamDescription& desc = f->params[p];
    Slot& slot = slots[p];
    if (IsRetval(desc)) {
      slot.out = SlotStorage(desc.type, &slot);
      continue;
    }
    if (source[p] < 0) return DISP_E_PARAMNOTFOUND;  // cannot happen once the counts agree
    const UINT index = static_cast<UINT>(source[p]);
    VARIANT& arg = params->rgvarg[index];
    if (arg.vt == VT_ERROR && arg.scode == DISP_E_PARAMNOTFOUND)
      return fail_at(index, DISP_E_PARAMNOTOPTIONAL);
    if (HasNullReference(arg)) return fail_at(index, E_POINTER);
    const HRESULT hr = IsInput(desc) ? ReadInput(arg, desc.type, &slot) : BindOutput(arg, desc.type, &slot);
    if (FAILED(hr)) return fail_at(index, hr);
  }

  const std::uint64_t written_before = OutputsWritten();
  const HRESULT hr = Call(this, f->dispid, kind, slots.data());
  if (FAILED(hr) || OutputsWritten() == written_before) return hr;

  // Every output is converted for its target before any is stored, so that a value that does not fit
  // leaves all the caller's variables as they were.
  std::vector<VARIANT> staged(f->params.size());
  auto clear_staged = [&staged] {
    for (VARIANT& v : staged)
      VariantClear(&v);
  };
  for (std::size_t p = 0; p < f->params.size(); ++p) {
    VariantInit(&staged[p]);
    const VARTYPE target_type = slots[p].target == nullptr ? VT_EMPTY : (slots[p].target->vt & ~VT_BYREF);
    if (target_type == VT_EMPTY || target_type == VT_VARIANT || target_type == VarTypeOf(f->params[p].type)) {
      continue;
    }
    const VARIANT value = Borrow(f->params[p].type, slots[p]);
    if (const HRESULT converted = VariantChangeType(&staged[p], &value, 0, target_type); FAILED(converted)) {
      clear_staged();
      return fail_at(static_cast<UINT>(source[p]), converted);
    }
  }
  for (std::size_t p = 0; p < f->params.size(); ++p) {
    Slot& slot = slots[p];
    if (slot.target != nullptr) {
      if (staged[p].vt == VT_EMPTY) {
        staged[p] = Borrow(f->params[p].type, slot);
        slot.bstr = nullptr;  // moves to the caller
      }
      StoreThrough(slot.target, &staged[p]);
    } else if (IsRetval(f->params[p]) && result != nullptr) {
      // The retval travels in *result, which the caller passes empty; without one, nobody wants it.
      *result = Borrow(f->params[p].type, slot);
      slot.bstr = nullptr;
    }
  }
  return hr;
}

}  // namespace vyr::automation
