#pragma once
// Late-bound calls on COM automation objects, by member name. Every failure
// gives the empty value of the wanted kind ("" / 0 / empty holder / empty
// variant) and never throws, so a chain of reads after a failure simply ends
// empty.
#include <windows.h>
#include <oleauto.h>

#include <cstdint>
#include <initializer_list>

#include "text/gbk_text.h"

// Holds at most one reference to an automation object.
class AutomationObject {
public:
    AutomationObject() = default;
    explicit AutomationObject(IDispatch* takenReference) : dispatch_(takenReference) {}
    ~AutomationObject();
    AutomationObject(AutomationObject&& other) noexcept;
    AutomationObject& operator=(AutomationObject&& other) noexcept;
    AutomationObject(const AutomationObject&) = delete;
    AutomationObject& operator=(const AutomationObject&) = delete;

    IDispatch* Get() const { return dispatch_; }
    // Drops the held reference (if any) and takes ownership of the given one.
    void Reset(IDispatch* takenReference = nullptr);
    // A second holder of the same object (one more reference).
    AutomationObject Share() const;

private:
    IDispatch* dispatch_ = nullptr;
};

// One automation value (VARIANT), cleared when destroyed.
class AutomationVariant {
public:
    AutomationVariant();
    ~AutomationVariant();
    AutomationVariant(AutomationVariant&& other) noexcept;
    AutomationVariant& operator=(AutomationVariant&& other) noexcept;
    AutomationVariant(const AutomationVariant& other);
    AutomationVariant& operator=(const AutomationVariant& other);

    static AutomationVariant FromBool(bool value);
    static AutomationVariant FromInt(std::int32_t value);
    static AutomationVariant FromDouble(double value);
    // A string made through the system ANSI code page.
    static AutomationVariant FromText(const Text& value);
    // A one-dimensional array of unsigned bytes, zero bytes included.
    static AutomationVariant FromBytes(const ByteData& value);

    // Read as Text through the ANSI code page; an empty value reads as "".
    Text ToText() const;
    // Read as a number; 0 when it does not convert.
    double ToNumber() const;
    // Read as an object (a new holder); empty when it is no object.
    AutomationObject ToObject() const;
    // Read as byte data; empty unless it holds an array of unsigned bytes.
    ByteData ToBytes() const;

    bool IsEmpty() const { return value_.vt == VT_EMPTY; }
    void Clear();
    VARIANT* Raw() { return &value_; }
    const VARIANT* Raw() const { return &value_; }

private:
    VARIANT value_;
};

// An argument of a method call, passed by value or by reference.
struct AutomationArgument {
    AutomationVariant* value;
    bool byReference = false;
};

// Looks the class up by ProgID, instantiates it and runs it; on success the
// holder's previous reference is released and the new one stored, on failure
// the holder is left as it was.
bool AutomationCreate(AutomationObject& holder, const Text& progId);

// Sets a property; false when the write failed.
bool AutomationPutProperty(AutomationObject& holder, const Text& name, const AutomationVariant& value);

// Reads a property, with optional index arguments (numbers), as a variant;
// use ToText / ToNumber / ToObject for the wanted kind.
AutomationVariant AutomationGetProperty(AutomationObject& holder, const Text& name,
                                        std::initializer_list<double> indexes = {});

// Calls a method; its result as a variant (empty on failure).
AutomationVariant AutomationCallMethod(AutomationObject& holder, const Text& name,
                                       std::initializer_list<AutomationArgument> arguments = {});

void AutomationRelease(AutomationObject& holder);
bool AutomationIsEmpty(const AutomationObject& holder);
