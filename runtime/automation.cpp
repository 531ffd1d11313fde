#include "runtime/automation.h"

#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

// Releases a COM reference when it goes out of scope.
template <class Interface>
class ComReference {
public:
    ComReference() = default;
    ~ComReference() {
        if (pointer_) pointer_->Release();
    }
    ComReference(const ComReference&) = delete;
    ComReference& operator=(const ComReference&) = delete;

    Interface* Get() const { return pointer_; }
    Interface** Out() { return &pointer_; }
    void** OutVoid() { return reinterpret_cast<void**>(&pointer_); }
    Interface* Detach() { return std::exchange(pointer_, nullptr); }

private:
    Interface* pointer_ = nullptr;
};

// Texts cross into COM through the system ANSI code page.
std::wstring WideFromText(const Text& text) {
    if (text.empty()) return {};
    const int inputLength = static_cast<int>(text.size());
    const int wideLength = MultiByteToWideChar(CP_ACP, 0, text.data(), inputLength, nullptr, 0);
    if (wideLength <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), inputLength, wide.data(), wideLength);
    return wide;
}

Text TextFromWide(const wchar_t* wide, UINT length) {
    if (!wide || length == 0) return {};
    const int wideLength = static_cast<int>(length);
    const int textLength = WideCharToMultiByte(CP_ACP, 0, wide, wideLength, nullptr, 0, nullptr, nullptr);
    if (textLength <= 0) return {};
    Text text(static_cast<std::size_t>(textLength), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide, wideLength, text.data(), textLength, nullptr, nullptr);
    return text;
}

enum class MemberUse { Get, Put, Call };

// A member bound by name: its dispatch id and, when the type information
// declares them, the types its arguments are converted to before the call
// (VT_EMPTY: pass the argument as it is).
struct MemberBinding {
    DISPID id = DISPID_UNKNOWN;
    std::vector<VARTYPE> argumentTypes;
};

// The declared type an argument is converted to, or VT_EMPTY for the types
// that the callee takes as they come (VARIANT, objects, records, arrays).
VARTYPE ConvertibleType(const TYPEDESC& declared) {
    VARTYPE type = declared.vt;
    if (type == VT_PTR && declared.lptdesc) type = declared.lptdesc->vt;
    switch (type) {
        case VT_I1: case VT_UI1: case VT_I2: case VT_UI2: case VT_I4: case VT_UI4:
        case VT_INT: case VT_UINT: case VT_I8: case VT_UI8: case VT_R4: case VT_R8:
        case VT_CY: case VT_DATE: case VT_BSTR: case VT_BOOL: case VT_DECIMAL:
            return type;
        default:
            return VT_EMPTY;
    }
}

// The argument types of a function description, without the return value
// and locale parameters that the caller never passes.
std::vector<VARTYPE> ArgumentTypesOf(const FUNCDESC& function) {
    std::vector<VARTYPE> types;
    for (SHORT i = 0; i < function.cParams; ++i) {
        const ELEMDESC& parameter = function.lprgelemdescParam[i];
        const USHORT flags = parameter.paramdesc.wParamFlags;
        if (flags & (PARAMFLAG_FRETVAL | PARAMFLAG_FLCID)) continue;
        types.push_back(ConvertibleType(parameter.tdesc));
    }
    return types;
}

// Finds the description of the member in the type information and keeps the
// types of the arguments that this use passes.
void ReadArgumentTypes(ITypeInfo* typeInfo, MemberUse use, MemberBinding& binding) {
    TYPEATTR* attributes = nullptr;
    if (FAILED(typeInfo->GetTypeAttr(&attributes)) || !attributes) return;
    const WORD functionCount = attributes->cFuncs;
    const WORD variableCount = attributes->cVars;
    typeInfo->ReleaseTypeAttr(attributes);

    INVOKEKIND preferred[2] = {INVOKE_PROPERTYGET, INVOKE_FUNC};
    if (use == MemberUse::Put) {
        preferred[0] = INVOKE_PROPERTYPUT;
        preferred[1] = INVOKE_PROPERTYPUTREF;
    } else if (use == MemberUse::Call) {
        std::swap(preferred[0], preferred[1]);
    }
    for (INVOKEKIND kind : preferred) {
        for (WORD i = 0; i < functionCount; ++i) {
            FUNCDESC* function = nullptr;
            if (FAILED(typeInfo->GetFuncDesc(i, &function)) || !function) continue;
            const bool found = function->memid == binding.id && function->invkind == kind;
            if (found) binding.argumentTypes = ArgumentTypesOf(*function);
            typeInfo->ReleaseFuncDesc(function);
            if (!found) continue;
            // A put passes only the new value, which is the last parameter.
            if (use == MemberUse::Put && !binding.argumentTypes.empty())
                binding.argumentTypes = {binding.argumentTypes.back()};
            return;
        }
    }
    // Properties of a dispatch interface may be declared as variables.
    for (WORD i = 0; i < variableCount; ++i) {
        VARDESC* variable = nullptr;
        if (FAILED(typeInfo->GetVarDesc(i, &variable)) || !variable) continue;
        const bool found = variable->memid == binding.id;
        if (found && use == MemberUse::Put)
            binding.argumentTypes = {ConvertibleType(variable->elemdescVar.tdesc)};
        typeInfo->ReleaseVarDesc(variable);
        if (found) return;
    }
}

// Binds a member name on each call through the object's type information.
bool BindMember(IDispatch* object, const Text& name, MemberUse use, MemberBinding& binding) {
    std::wstring wideName = WideFromText(name);
    if (wideName.empty()) return false;
    LPOLESTR names[1] = {wideName.data()};

    ComReference<ITypeInfo> typeInfo;
    if (SUCCEEDED(object->GetTypeInfo(0, GetUserDefaultLCID(), typeInfo.Out())) && typeInfo.Get() &&
        SUCCEEDED(typeInfo.Get()->GetIDsOfNames(names, 1, &binding.id))) {
        ReadArgumentTypes(typeInfo.Get(), use, binding);
        return true;
    }
    // Some objects answer GetTypeInfo with an error but know their names
    // (the match collections and matches of "VBScript.RegExp" under Wine):
    // bind through the dispatch interface itself and pass arguments unconverted.
    binding.argumentTypes.clear();
    return SUCCEEDED(object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &binding.id));
}

// The argument slots of one Invoke, in the reverse order that COM wants.
// Slots that hold a shallow copy of the caller's value are not cleared here;
// those made by a conversion are.
class ArgumentSlots {
public:
    explicit ArgumentSlots(std::size_t count) : slots_(count), owned_(count, false) {
        for (VARIANT& slot : slots_) VariantInit(&slot);
    }
    ~ArgumentSlots() {
        for (std::size_t i = 0; i < slots_.size(); ++i)
            if (owned_[i]) VariantClear(&slots_[i]);
    }
    ArgumentSlots(const ArgumentSlots&) = delete;
    ArgumentSlots& operator=(const ArgumentSlots&) = delete;

    // Sets argument number position (left to right) to value, converted to
    // type unless type is VT_EMPTY. False when the conversion failed.
    bool SetByValue(std::size_t position, const VARIANT& value, VARTYPE type) {
        VARIANT& slot = SlotOf(position);
        // Arrays (byte data among them) go to the callee as they are.
        const bool convert = type != VT_EMPTY && value.vt != type && (value.vt & VT_ARRAY) == 0;
        if (!convert) {
            std::memcpy(&slot, &value, sizeof(VARIANT));
            return true;
        }
        owned_[slots_.size() - 1 - position] = true;
        return SUCCEEDED(VariantChangeType(&slot, const_cast<VARIANT*>(&value), 0, type));
    }

    void SetByReference(std::size_t position, VARIANT& value) {
        VARIANT& slot = SlotOf(position);
        slot.vt = VT_BYREF | VT_VARIANT;
        slot.pvarVal = &value;
    }

    VARIANT* Data() { return slots_.empty() ? nullptr : slots_.data(); }
    UINT Count() const { return static_cast<UINT>(slots_.size()); }

private:
    VARIANT& SlotOf(std::size_t position) { return slots_[slots_.size() - 1 - position]; }

    std::vector<VARIANT> slots_;
    std::vector<bool> owned_;
};

VARTYPE ArgumentType(const MemberBinding& binding, std::size_t position) {
    return position < binding.argumentTypes.size() ? binding.argumentTypes[position] : static_cast<VARTYPE>(VT_EMPTY);
}

void ClearExceptionInfo(EXCEPINFO& exception) {
    if (exception.pfnDeferredFillIn) exception.pfnDeferredFillIn(&exception);
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
}

// Invokes the member; false when the call failed. The result, if wanted, is
// stored in result (left empty on failure).
bool InvokeMember(IDispatch* object, DISPID id, WORD flags, ArgumentSlots& arguments, VARIANT* result) {
    DISPPARAMS parameters{};
    parameters.rgvarg = arguments.Data();
    parameters.cArgs = arguments.Count();
    DISPID putId = DISPID_PROPERTYPUT;
    if (flags & DISPATCH_PROPERTYPUT) {
        parameters.rgdispidNamedArgs = &putId;
        parameters.cNamedArgs = 1;
    }
    EXCEPINFO exception{};
    UINT argumentError = 0;
    const HRESULT hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &parameters, result,
                                      &exception, &argumentError);
    ClearExceptionInfo(exception);
    if (FAILED(hr)) {
        if (result) VariantClear(result);
        return false;
    }
    return true;
}

}  // namespace

// ---------------------------------------------------------------- AutomationObject

AutomationObject::~AutomationObject() { Reset(); }

AutomationObject::AutomationObject(AutomationObject&& other) noexcept
    : dispatch_(std::exchange(other.dispatch_, nullptr)) {}

AutomationObject& AutomationObject::operator=(AutomationObject&& other) noexcept {
    if (this != &other) Reset(std::exchange(other.dispatch_, nullptr));
    return *this;
}

void AutomationObject::Reset(IDispatch* takenReference) {
    IDispatch* previous = std::exchange(dispatch_, takenReference);
    if (previous) previous->Release();
}

AutomationObject AutomationObject::Share() const {
    if (dispatch_) dispatch_->AddRef();
    return AutomationObject(dispatch_);
}

// ---------------------------------------------------------------- AutomationVariant

AutomationVariant::AutomationVariant() { VariantInit(&value_); }

AutomationVariant::~AutomationVariant() { VariantClear(&value_); }

AutomationVariant::AutomationVariant(AutomationVariant&& other) noexcept {
    std::memcpy(&value_, &other.value_, sizeof(VARIANT));
    VariantInit(&other.value_);
}

AutomationVariant& AutomationVariant::operator=(AutomationVariant&& other) noexcept {
    if (this != &other) {
        VariantClear(&value_);
        std::memcpy(&value_, &other.value_, sizeof(VARIANT));
        VariantInit(&other.value_);
    }
    return *this;
}

AutomationVariant::AutomationVariant(const AutomationVariant& other) {
    VariantInit(&value_);
    VariantCopy(&value_, const_cast<VARIANT*>(&other.value_));
}

AutomationVariant& AutomationVariant::operator=(const AutomationVariant& other) {
    if (this != &other) {
        VARIANT copy;
        VariantInit(&copy);
        VariantCopy(&copy, const_cast<VARIANT*>(&other.value_));
        VariantClear(&value_);
        std::memcpy(&value_, &copy, sizeof(VARIANT));
    }
    return *this;
}

AutomationVariant AutomationVariant::FromBool(bool value) {
    AutomationVariant variant;
    variant.value_.vt = VT_BOOL;
    variant.value_.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    return variant;
}

AutomationVariant AutomationVariant::FromInt(std::int32_t value) {
    AutomationVariant variant;
    variant.value_.vt = VT_I4;
    variant.value_.lVal = value;
    return variant;
}

AutomationVariant AutomationVariant::FromDouble(double value) {
    AutomationVariant variant;
    variant.value_.vt = VT_R8;
    variant.value_.dblVal = value;
    return variant;
}

AutomationVariant AutomationVariant::FromText(const Text& value) {
    AutomationVariant variant;
    const std::wstring wide = WideFromText(value);
    BSTR string = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    if (string) {
        variant.value_.vt = VT_BSTR;
        variant.value_.bstrVal = string;
    }
    return variant;
}

AutomationVariant AutomationVariant::FromBytes(const ByteData& value) {
    AutomationVariant variant;
    SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(value.size()));
    if (!array) return variant;
    if (!value.empty()) {
        void* data = nullptr;
        if (FAILED(SafeArrayAccessData(array, &data))) {
            SafeArrayDestroy(array);
            return variant;
        }
        std::memcpy(data, value.data(), value.size());
        SafeArrayUnaccessData(array);
    }
    variant.value_.vt = VT_ARRAY | VT_UI1;
    variant.value_.parray = array;
    return variant;
}

Text AutomationVariant::ToText() const {
    if (value_.vt == VT_EMPTY || value_.vt == VT_NULL) return {};
    if (value_.vt == VT_BSTR) return TextFromWide(value_.bstrVal, SysStringLen(value_.bstrVal));
    VARIANT converted;
    VariantInit(&converted);
    Text text;
    if (SUCCEEDED(VariantChangeType(&converted, const_cast<VARIANT*>(&value_), 0, VT_BSTR)) &&
        converted.vt == VT_BSTR)
        text = TextFromWide(converted.bstrVal, SysStringLen(converted.bstrVal));
    VariantClear(&converted);
    return text;
}

double AutomationVariant::ToNumber() const {
    VARIANT converted;
    VariantInit(&converted);
    double number = 0;
    if (SUCCEEDED(VariantChangeType(&converted, const_cast<VARIANT*>(&value_), 0, VT_R8)))
        number = converted.dblVal;
    VariantClear(&converted);
    return number;
}

AutomationObject AutomationVariant::ToObject() const {
    const VARIANT* value = &value_;
    if (value->vt == (VT_BYREF | VT_VARIANT) && value->pvarVal) value = value->pvarVal;
    IUnknown* unknown = nullptr;
    switch (value->vt) {
        case VT_DISPATCH: unknown = value->pdispVal; break;
        case VT_UNKNOWN: unknown = value->punkVal; break;
        case VT_BYREF | VT_DISPATCH: unknown = value->ppdispVal ? *value->ppdispVal : nullptr; break;
        case VT_BYREF | VT_UNKNOWN: unknown = value->ppunkVal ? *value->ppunkVal : nullptr; break;
        default: break;
    }
    IDispatch* dispatch = nullptr;
    if (!unknown || FAILED(unknown->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch))))
        return {};
    return AutomationObject(dispatch);
}

ByteData AutomationVariant::ToBytes() const {
    SAFEARRAY* array = nullptr;
    if (value_.vt == (VT_ARRAY | VT_UI1)) array = value_.parray;
    else if (value_.vt == (VT_BYREF | VT_ARRAY | VT_UI1) && value_.pparray) array = *value_.pparray;
    if (!array || SafeArrayGetDim(array) != 1) return {};
    LONG lower = 0, upper = -1;
    if (FAILED(SafeArrayGetLBound(array, 1, &lower)) || FAILED(SafeArrayGetUBound(array, 1, &upper)) ||
        upper < lower)
        return {};
    void* data = nullptr;
    if (FAILED(SafeArrayAccessData(array, &data))) return {};
    const auto* bytes = static_cast<const unsigned char*>(data);
    ByteData result(bytes, bytes + (static_cast<std::size_t>(upper - lower) + 1));
    SafeArrayUnaccessData(array);
    return result;
}

void AutomationVariant::Clear() {
    VariantClear(&value_);
    VariantInit(&value_);
}

// ---------------------------------------------------------------- services

bool AutomationCreate(AutomationObject& holder, const Text& progId) {
    const std::wstring wideProgId = WideFromText(progId);
    if (wideProgId.empty()) return false;
    CLSID classId;
    if (FAILED(CLSIDFromProgID(wideProgId.c_str(), &classId))) return false;

    ComReference<IUnknown> instance;
    HRESULT hr = CoCreateInstance(classId, nullptr, CLSCTX_SERVER, IID_IUnknown, instance.OutVoid());
    if (hr == E_INVALIDARG) {
        // Some classes refuse the remote server context that CLSCTX_SERVER includes.
        hr = CoCreateInstance(classId, nullptr,
                              CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER,
                              IID_IUnknown, instance.OutVoid());
    }
    if (FAILED(hr) || !instance.Get()) return false;
    if (FAILED(OleRun(instance.Get()))) return false;

    ComReference<IDispatch> dispatch;
    if (FAILED(instance.Get()->QueryInterface(IID_IDispatch, dispatch.OutVoid())) || !dispatch.Get())
        return false;
    holder.Reset(dispatch.Detach());
    return true;
}

bool AutomationPutProperty(AutomationObject& holder, const Text& name, const AutomationVariant& value) {
    IDispatch* object = holder.Get();
    MemberBinding binding;
    if (!object || !BindMember(object, name, MemberUse::Put, binding)) return false;
    ArgumentSlots arguments(1);
    if (!arguments.SetByValue(0, *value.Raw(), ArgumentType(binding, 0))) return false;
    return InvokeMember(object, binding.id, DISPATCH_PROPERTYPUT, arguments, nullptr);
}

AutomationVariant AutomationGetProperty(AutomationObject& holder, const Text& name,
                                        std::initializer_list<double> indexes) {
    AutomationVariant result;
    IDispatch* object = holder.Get();
    MemberBinding binding;
    if (!object || !BindMember(object, name, MemberUse::Get, binding)) return result;

    std::vector<VARIANT> numbers(indexes.size());
    ArgumentSlots arguments(indexes.size());
    std::size_t position = 0;
    for (double index : indexes) {
        VARIANT& number = numbers[position];
        VariantInit(&number);
        number.vt = VT_R8;
        number.dblVal = index;
        if (!arguments.SetByValue(position, number, ArgumentType(binding, position))) return result;
        ++position;
    }
    // Collections may declare Item as a method rather than a property.
    InvokeMember(object, binding.id, DISPATCH_PROPERTYGET | DISPATCH_METHOD, arguments, result.Raw());
    return result;
}

AutomationVariant AutomationCallMethod(AutomationObject& holder, const Text& name,
                                       std::initializer_list<AutomationArgument> arguments) {
    AutomationVariant result;
    IDispatch* object = holder.Get();
    MemberBinding binding;
    if (!object || !BindMember(object, name, MemberUse::Call, binding)) return result;

    ArgumentSlots slots(arguments.size());
    std::size_t position = 0;
    for (const AutomationArgument& argument : arguments) {
        if (!argument.value) return result;
        if (argument.byReference) {
            slots.SetByReference(position, *argument.value->Raw());
        } else if (!slots.SetByValue(position, *argument.value->Raw(), ArgumentType(binding, position))) {
            return result;
        }
        ++position;
    }
    InvokeMember(object, binding.id, DISPATCH_METHOD, slots, result.Raw());
    return result;
}

void AutomationRelease(AutomationObject& holder) { holder.Reset(); }

bool AutomationIsEmpty(const AutomationObject& holder) { return holder.Get() == nullptr; }
