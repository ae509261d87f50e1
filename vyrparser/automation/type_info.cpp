// ITypeInfo over the compiled-in rows of an interface, for type browsers and adapters that list members.
#include <algorithm>
#include <atomic>
#include <new>

#include "vyrparser/automation/module.h"
#include "vyrparser/automation/serial_call.h"
#include "vyrparser/automation/type_library.h"

namespace vyr::automation {
namespace {

using namespace platform;

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

bool IsRetval(const ParamDescription& p) {
  return (p.flags & kParamRetval) != 0;
}

BSTR AsciiBstr(const char* text) {
  const std::u16string wide(text, text + std::char_traits<char>::length(text));
  return AllocOleText(wide);
}

// A FUNCDESC with its parameter array and the pointees of output parameters in one block.
FUNCDESC* NewFuncDesc(const FunctionDescription& f) {
  const std::size_t n = f.params.size();
  void* block = ::operator new(sizeof(FUNCDESC) + n * (sizeof(ELEMDESC) + sizeof(TYPEDESC)), std::nothrow);
  if (block == nullptr) return nullptr;
  auto* desc = new (block) FUNCDESC{};
  auto* params = reinterpret_cast<ELEMDESC*>(desc + 1);
  auto* pointees = reinterpret_cast<TYPEDESC*>(params + n);
  desc->memid = f.dispid;
  desc->funckind = FUNC_DISPATCH;
  desc->invkind = static_cast<INVOKEKIND>(f.invoke_kind);
  desc->callconv = CC_STDCALL;
  desc->oVft = static_cast<std::int16_t>(f.slot * static_cast<int>(sizeof(void*)));
  desc->lprgelemdescParam = params;
  desc->elemdescFunc.tdesc.vt = VT_VOID;
  std::int16_t count = 0;
  for (const ParamDescription& p : f.params) {
    if (IsRetval(p)) {
      desc->elemdescFunc.tdesc.vt = VarTypeOf(p.type);
      continue;
    }
    ELEMDESC* e = new (&params[count]) ELEMDESC{};
    if ((p.flags & kParamIn) != 0) {
      e->tdesc.vt = VarTypeOf(p.type);
      e->paramdesc.wParamFlags = PARAMFLAG_FIN;
    } else {
      TYPEDESC* pointee = new (&pointees[count]) TYPEDESC{};
      pointee->vt = VarTypeOf(p.type);
      e->tdesc.vt = VT_PTR;
      e->tdesc.lptdesc = pointee;
      e->paramdesc.wParamFlags = (p.flags & kParamOut) != 0 ? PARAMFLAG_FOUT : PARAMFLAG_NONE;
    }
    ++count;
  }
  desc->cParams = count;
  return desc;
}

class TypeInfo final : public ITypeInfo {
 public:
  explicit TypeInfo(const InterfaceDescription& description) : description_(description) { LockModule(); }

  HRESULT QueryInterface(REFIID riid, void** object) override {
    const SerialCall serial;
    if (object == nullptr) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_ITypeInfo) {
      *object = static_cast<ITypeInfo*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG AddRef() override {
    const SerialCall serial;
    return ++refs_;
  }
  ULONG Release() override {
    const SerialCall serial;
    const ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
  }

  HRESULT GetTypeAttr(TYPEATTR** attr) override {
    const SerialCall serial;
    if (attr == nullptr) return E_INVALIDARG;
    *attr = new (std::nothrow) TYPEATTR{};
    if (*attr == nullptr) return E_OUTOFMEMORY;
    TYPEATTR& a = **attr;
    a.guid = description_.iid;
    a.lcid = kTypeLibraryLocale;
    a.memidConstructor = MEMBERID_NIL;
    a.memidDestructor = MEMBERID_NIL;
    a.cbSizeInstance = sizeof(void*);
    a.typekind = TKIND_DISPATCH;
    a.cFuncs = static_cast<WORD>(description_.functions.size());
    a.cbSizeVft = 7 * sizeof(void*);  // the dispatch view's table is IDispatch's
    a.cbAlignment = alignof(void*);
    a.wTypeFlags = TYPEFLAG_FDUAL | TYPEFLAG_FOLEAUTOMATION | TYPEFLAG_FDISPATCHABLE;
    a.wMajorVerNum = 1;
    a.tdescAlias.vt = VT_EMPTY;
    return S_OK;
  }
  void ReleaseTypeAttr(TYPEATTR* attr) override {
    const SerialCall serial;
    delete attr;
  }

  HRESULT GetFuncDesc(UINT index, FUNCDESC** desc) override {
    const SerialCall serial;
    if (desc == nullptr) return E_INVALIDARG;
    *desc = nullptr;
    if (index >= description_.functions.size()) return TYPE_E_ELEMENTNOTFOUND;
    *desc = NewFuncDesc(description_.functions[index]);
    return *desc == nullptr ? E_OUTOFMEMORY : S_OK;
  }
  void ReleaseFuncDesc(FUNCDESC* desc) override {
    const SerialCall serial;
    ::operator delete(desc);
  }

  // The member's name, then the names of the parameters GetFuncDesc lists (a put's value has none).
  HRESULT GetNames(MEMBERID member, BSTR* names, UINT max_names, UINT* name_count) override {
    const SerialCall serial;
    if (names == nullptr || name_count == nullptr) return E_INVALIDARG;
    *name_count = 0;
    const FunctionDescription* f = Find(member);
    if (f == nullptr) return TYPE_E_ELEMENTNOTFOUND;
    UINT n = 0;
    if (n < max_names) names[n++] = AsciiBstr(f->name);
    for (const ParamDescription& p : f->params) {
      if (n >= max_names) break;
      if (!IsRetval(p) && p.name[0] != '\0') names[n++] = AsciiBstr(p.name);
    }
    *name_count = n;
    return S_OK;
  }

  HRESULT GetIDsOfNames(LPOLESTR* names, UINT name_count, MEMBERID* members) override {
    const SerialCall serial;
    return LookUpNames(description_.functions, names, name_count, members);
  }

  // MEMBERID_NIL describes the interface itself.
  HRESULT GetDocumentation(MEMBERID member, BSTR* name, BSTR* doc_string, DWORD* help_context,
                           BSTR* help_file) override {
    const SerialCall serial;
    const char* member_name = description_.name;
    const char* help = description_.help;
    if (member != MEMBERID_NIL) {
      const FunctionDescription* f = Find(member);
      if (f == nullptr) return TYPE_E_ELEMENTNOTFOUND;
      member_name = f->name;
      help = f->help;
    }
    if (name != nullptr) *name = AsciiBstr(member_name);
    if (doc_string != nullptr) *doc_string = AsciiBstr(help);
    if (help_context != nullptr) *help_context = 0;
    if (help_file != nullptr) *help_file = nullptr;
    return S_OK;
  }

  // No variables, no base types served, no direct calls: the object's own IDispatch does those.
  HRESULT GetVarDesc(UINT, VARDESC** desc) override {
    const SerialCall serial;
    return Nothing(desc, TYPE_E_ELEMENTNOTFOUND);
  }
  void ReleaseVarDesc(VARDESC*) override { const SerialCall serial; }
  HRESULT GetTypeComp(ITypeComp** comp) override {
    const SerialCall serial;
    return Nothing(comp, E_NOTIMPL);
  }
  HRESULT GetRefTypeOfImplType(UINT, HREFTYPE*) override {
    const SerialCall serial;
    return E_NOTIMPL;
  }
  HRESULT GetImplTypeFlags(UINT, std::int32_t*) override {
    const SerialCall serial;
    return E_NOTIMPL;
  }
  HRESULT Invoke(void*, MEMBERID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    const SerialCall serial;
    return E_NOTIMPL;
  }
  HRESULT GetDllEntry(MEMBERID, INVOKEKIND, BSTR*, BSTR*, WORD*) override {
    const SerialCall serial;
    return E_NOTIMPL;
  }
  HRESULT GetRefTypeInfo(HREFTYPE, ITypeInfo** info) override {
    const SerialCall serial;
    return Nothing(info, E_NOTIMPL);
  }
  HRESULT AddressOfMember(MEMBERID, INVOKEKIND, void** address) override {
    const SerialCall serial;
    return Nothing(address, E_NOTIMPL);
  }
  HRESULT CreateInstance(IUnknown*, REFIID, void** object) override {
    const SerialCall serial;
    return Nothing(object, E_NOTIMPL);
  }
  HRESULT GetMops(MEMBERID, BSTR* mops) override {
    const SerialCall serial;
    return Nothing(mops, E_NOTIMPL);
  }
  HRESULT GetContainingTypeLib(ITypeLib** library, UINT*) override {
    const SerialCall serial;
    return Nothing(library, E_NOTIMPL);
  }

 private:
  ~TypeInfo() { UnlockModule(); }

  template <typename T>
  static HRESULT Nothing(T** out, HRESULT hr) {
    if (out != nullptr) *out = nullptr;
    return hr;
  }

  const FunctionDescription* Find(MEMBERID member) const {
    const auto it = std::find_if(description_.functions.begin(), description_.functions.end(),
                                 [&](const FunctionDescription& f) { return f.dispid == member; });
    return it == description_.functions.end() ? nullptr : &*it;
  }

  const InterfaceDescription& description_;
  std::atomic<ULONG> refs_{1};
};

}  // namespace

HRESULT CreateTypeInfo(const InterfaceDescription& description, ITypeInfo** info) {
  if (info == nullptr) return E_POINTER;
  *info = new (std::nothrow) TypeInfo(description);
  return *info == nullptr ? E_OUTOFMEMORY : S_OK;
}

HRESULT LookUpNames(std::span<const FunctionDescription> functions, LPOLESTR* names, UINT name_count,
                    DISPID* dispids) {
  if (names == nullptr || dispids == nullptr || name_count == 0) return E_INVALIDARG;
  std::fill(dispids, dispids + name_count, DISPID_UNKNOWN);
  const auto found = std::find_if(functions.begin(), functions.end(),
                                  [&](const FunctionDescription& f) { return NameEquals(f.name, names[0]); });
  if (found == functions.end()) return DISP_E_UNKNOWNNAME;
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

}  // namespace vyr::automation
