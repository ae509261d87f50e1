// An early-bound client of vyrparser.dll: the interfaces as widl declares them from the IDL, reached
// through CoCreateInstance and QueryInterface, so a slot that the IDL and the library disagree on calls
// the wrong operation. Also compares the object's own type description with the registered type library.
// Arguments: the example mission, a file to generate. Prints one FAIL line per fault, then ALL OK.
#include <initguid.h>
// initguid.h first: the header then defines the identifiers it names.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "vyrmission_h.h"

namespace {

int failures = 0;

std::string Narrow(const wchar_t* text, std::size_t length) {
  std::string out;
  for (std::size_t i = 0; i < length; ++i)
    out += text[i] < 0x80 ? static_cast<char>(text[i]) : '?';
  return out;
}

// Takes ownership of a BSTR the library handed out.
std::string Take(BSTR text) {
  const std::string out = text == nullptr ? "(null)" : Narrow(text, SysStringLen(text));
  SysFreeString(text);
  return out;
}

void Expect(const char* what, const std::string& actual, const std::string& expected) {
  if (actual == expected) return;
  std::printf("FAIL: %s: got [%s], expected [%s]\n", what, actual.c_str(), expected.c_str());
  ++failures;
}

void Expect(const char* what, double actual, double expected) {
  Expect(what, std::to_string(actual), std::to_string(expected));
}

void Ok(const char* what, HRESULT hr) {
  if (hr == S_OK) return;
  std::printf("FAIL: %s returned 0x%08lX\n", what, static_cast<unsigned long>(hr));
  ++failures;
}

BSTR Arg(const char* text) {
  std::wstring wide(text, text + std::strlen(text));
  return SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
}

void Queries(IVYRMission2* m, const char* mission, const char* generated) {
  BSTR file = Arg(mission);
  short result = -1;
  Ok("CloseMission", m->CloseMission());
  Ok("TryParseMission", m->TryParseMission(file, &result));
  SysFreeString(file);
  Expect("TryParseMission", result, 0);

  BSTR text = nullptr;
  Ok("MissionAuthor", m->MissionAuthor(&text));
  Expect("MissionAuthor", Take(text), "J. Doe");
  Ok("MissionMap", m->MissionMap(&text));
  Expect("MissionMap", Take(text), "urban/ware1");
  Ok("MissionDescription", m->MissionDescription(&text));
  Expect("MissionDescription", Take(text), "Go in. Kill all.");
  short count = 0;
  Ok("ActorCount", m->ActorCount(&count));
  Expect("ActorCount", count, 3);
  BSTR type = nullptr, name = nullptr, skin = nullptr;
  float skill = 0;
  Ok("ActorInfo", m->ActorInfo(0, &type, &name, &skin, &skill));
  Expect("ActorInfo", Take(type) + " " + Take(name) + " " + Take(skin), "npc bob terror/terror");
  BSTR kept = Arg("kept");
  type = kept;
  skill = -1;
  Ok("ActorInfo invalid", m->ActorInfo(3, &type, &name, &skin, &skill));
  Expect("ActorInfo invalid leaves outputs", type == kept && skill == -1, true);
  SysFreeString(kept);
  Ok("OverallSkill put", m->put_OverallSkill(4.0f));
  Ok("OverallSkill get", m->get_OverallSkill(&skill));
  Expect("OverallSkill", skill, 4.0);
  float x = 0, y = 0, z = 0;
  Ok("GetLocationData", m->GetLocationData(1, &text, &x, &y, &z));
  Expect("GetLocationData", Take(text), "hq");
  Expect("GetLocationData z", z, 7.0);
  Ok("GetMapStyles", m->GetMapStyles(&count));
  Expect("GetMapStyles", count, 6);
  Ok("GetObjectiveNextMission", m->GetObjectiveNextMission(1, 0, &text));
  Expect("GetObjectiveNextMission", Take(text), "m3");

  // The slots of IVYRMission2, the last one included.
  LONG forces = 0, teams = 0, actors = 0, line = -1;
  Ok("GetForceCount", m->GetForceCount(&forces));
  Expect("GetForceCount", forces, 2);
  BSTR description = nullptr;
  Ok("GetForceData", m->GetForceData(1, &name, &description, &teams));
  Expect("GetForceData", Take(name) + " " + Take(description) + " " + std::to_string(teams), "red  1");
  Ok("TeamActorInfo", m->TeamActorInfo(0, 0, 1, &type, &name, &skin, &skill));
  Expect("TeamActorInfo", Take(type) + " " + Take(name), "npc ann");
  Ok("ActorCount32", m->ActorCount32(&actors));
  Expect("ActorCount32", actors, 3);

  BSTR out = Arg(generated);
  Ok("GenerateMission", m->GenerateMission(out));
  Ok("CloseMission", m->CloseMission());
  Ok("TryParseMission generated", m->TryParseMission(out, &result));
  Expect("TryParseMission generated", result, 0);
  Ok("ActorInfo generated", m->ActorInfo(1, &type, &name, &skin, &skill));
  Expect("generated", Take(type) + " " + Take(name) + " " + Take(skin), "npc ann female/ctf_r");
  Expect("generated skill", skill, 4.0);
  SysFreeString(out);

  BSTR bad = Arg("nothing here");
  Ok("TryParseMission missing", m->TryParseMission(bad, &result));
  SysFreeString(bad);
  Expect("TryParseMission missing", result, 1);
  LONG messages = 0;
  Ok("GetParseMessageCount", m->GetParseMessageCount(&messages));
  Expect("GetParseMessageCount", messages, 1);
  BSTR near_text = nullptr, cause = nullptr;
  Ok("GetParseMessage", m->GetParseMessage(0, &line, &near_text, &cause));
  Expect("GetParseMessage line", line, 0);
  SysFreeString(near_text);
  SysFreeString(cause);
}

// One line per function: "slot name dispid kind: result (name type flags, ...) help", types as VARTYPE
// numbers, * for pointers, the [out, retval] parameter as the result.
std::vector<std::string> Describe(ITypeInfo* info, bool interface_view) {
  std::vector<std::string> lines;
  TYPEATTR* attr = nullptr;
  if (FAILED(info->GetTypeAttr(&attr))) return lines;
  const UINT functions = attr->cFuncs;
  info->ReleaseTypeAttr(attr);
  for (UINT i = 0; i < functions; ++i) {
    FUNCDESC* desc = nullptr;
    if (FAILED(info->GetFuncDesc(i, &desc))) continue;
    BSTR names[16] = {};
    UINT name_count = 0;
    info->GetNames(desc->memid, names, 16, &name_count);
    std::vector<std::string> texts;
    for (UINT n = 0; n < name_count; ++n)
      texts.push_back(Take(names[n]));
    VARTYPE result = desc->elemdescFunc.tdesc.vt;
    std::string params;
    int listed = 0;
    for (int p = 0; p < desc->cParams; ++p) {
      const ELEMDESC& e = desc->lprgelemdescParam[p];
      const bool pointer = e.tdesc.vt == VT_PTR;
      const VARTYPE vt = pointer ? e.tdesc.lptdesc->vt : e.tdesc.vt;
      if (interface_view && (e.paramdesc.wParamFlags & PARAMFLAG_FRETVAL) != 0) {
        result = vt;
        continue;
      }
      // GetNames answers by DISPID, which a property's put shares with its get: its names are the get's.
      const std::size_t name_index = static_cast<std::size_t>(p) + 1;
      const bool named = desc->invkind != INVOKE_PROPERTYPUT && name_index < texts.size();
      const std::string name = named && !texts[name_index].empty() ? texts[name_index] : "?";
      params += (listed++ > 0 ? ", " : "") + name + " " + std::to_string(vt) + (pointer ? "*" : "") + " " +
                std::to_string(e.paramdesc.wParamFlags);
    }
    if (interface_view && result == VT_HRESULT) result = VT_VOID;
    BSTR help = nullptr;
    info->GetDocumentation(desc->memid, nullptr, &help, nullptr, nullptr);
    lines.push_back(std::to_string(desc->oVft / 8) + " " + (texts.empty() ? "?" : texts[0]) + " " +
                    std::to_string(desc->memid) + " " + std::to_string(desc->invkind) + ": " +
                    std::to_string(result) + " (" + params + ") " + Take(help));
    info->ReleaseFuncDesc(desc);
  }
  return lines;
}

// The registered type library (compiled from the IDL) against what the object itself serves.
void CompareTypeDescriptions(IVYRMission2* m) {
  ITypeInfo* ours = nullptr;
  Ok("GetTypeInfo", m->GetTypeInfo(0, 0x409, &ours));
  ITypeLib* library = nullptr;
  Ok("LoadRegTypeLib", LoadRegTypeLib(LIBID_VYRMISSIONLib, 1, 0, 0x409, &library));
  if (ours == nullptr || library == nullptr) return;
  BSTR name = nullptr, help = nullptr;
  ours->GetDocumentation(MEMBERID_NIL, &name, &help, nullptr, nullptr);
  Expect("served interface", Take(name) + ": " + Take(help), "IVYRMission2: IVYRMission2 Interface");

  // The interface views of IVYRMission2 and of its base, base first.
  std::vector<std::string> idl;
  ITypeInfo* dispatch_view = nullptr;
  Ok("GetTypeInfoOfGuid", library->GetTypeInfoOfGuid(IID_IVYRMission2, &dispatch_view));
  HREFTYPE ref = 0;
  ITypeInfo* second = nullptr;
  ITypeInfo* first = nullptr;
  if (dispatch_view != nullptr && SUCCEEDED(dispatch_view->GetRefTypeOfImplType(-1, &ref)) &&
      SUCCEEDED(dispatch_view->GetRefTypeInfo(ref, &second)) &&
      SUCCEEDED(second->GetRefTypeOfImplType(0, &ref)) && SUCCEEDED(second->GetRefTypeInfo(ref, &first))) {
    idl = Describe(first, true);
    const std::vector<std::string> more = Describe(second, true);
    idl.insert(idl.end(), more.begin(), more.end());
    first->GetDocumentation(MEMBERID_NIL, &name, &help, nullptr, nullptr);
    Expect("IDL base interface", Take(name) + ": " + Take(help), "IVYRMission: IVYRMission Interface");
  } else {
    Expect("IDL interface views", "missing", "present");
  }
  const std::vector<std::string> served = Describe(ours, false);
  Expect("function count", static_cast<double>(served.size()), static_cast<double>(idl.size()));
  for (std::size_t i = 0; i < served.size() && i < idl.size(); ++i) {
    if (served[i] != idl[i]) {
      std::printf("FAIL: type description differs\n  idl:    %s\n  served: %s\n", idl[i].c_str(),
                  served[i].c_str());
      ++failures;
    }
  }
  if (first != nullptr) first->Release();
  if (second != nullptr) second->Release();
  if (dispatch_view != nullptr) dispatch_view->Release();
  library->Release();
  ours->Release();
}

// The version block of the module that serves the class.
void CheckVersionResource() {
  wchar_t module[MAX_PATH] = {};
  LONG size = sizeof module;
  if (RegQueryValueW(HKEY_CLASSES_ROOT, L"CLSID\\{D2CE3E35-323A-11D3-9C8F-F170BB19FA62}\\InprocServer32",
                     module, &size) != ERROR_SUCCESS) {
    Expect("InprocServer32", "missing", "present");
    return;
  }
  DWORD ignored = 0;
  std::vector<char> block(GetFileVersionInfoSizeW(module, &ignored));
  if (block.empty() || !GetFileVersionInfoW(module, 0, static_cast<DWORD>(block.size()), block.data())) {
    Expect("version resource", "missing", "present");
    return;
  }
  for (const auto& [key, expected] :
       {std::pair<const wchar_t*, const char*>{L"FileDescription", "vyrmission Module"},
        {L"FileVersion", "1, 0, 0, 1"},
        {L"OriginalFilename", "vyrmission.DLL"},
        {L"OLESelfRegister", ""}}) {
    const std::wstring path = std::wstring(L"\\StringFileInfo\\040904B0\\") + key;
    wchar_t* value = nullptr;
    UINT length = 0;
    const bool found = VerQueryValueW(block.data(), path.c_str(), reinterpret_cast<void**>(&value), &length);
    const std::string key_text = Narrow(key, wcslen(key));
    Expect(key_text.c_str(), found ? Narrow(value, value != nullptr ? wcslen(value) : 0) : "(missing)",
           expected);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::printf("usage: vyr_wine_client MISSION GENERATED\n");
    return 2;
  }
  CoInitialize(nullptr);
  IVYRMission* first = nullptr;
  HRESULT hr = CoCreateInstance(CLSID_VYRMission, nullptr, CLSCTX_INPROC_SERVER, IID_IVYRMission,
                                reinterpret_cast<void**>(&first));
  Ok("CoCreateInstance", hr);
  IVYRMission2* mission = nullptr;
  if (first != nullptr) {
    Ok("QueryInterface IVYRMission2",
       first->QueryInterface(IID_IVYRMission2, reinterpret_cast<void**>(&mission)));
    first->Release();
  }
  if (mission != nullptr) {
    Queries(mission, argv[1], argv[2]);
    CompareTypeDescriptions(mission);
    mission->Release();
  }
  CheckVersionResource();
  CoUninitialize();
  if (failures > 0) {
    std::printf("%d FAILED\n", failures);
    return 1;
  }
  std::printf("ALL OK\n");
  return 0;
}
