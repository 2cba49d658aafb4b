// The camera's property objects: a tree of COM objects, reached by slot.
// Items collection -> property items -> element collection -> elements ->
// typed interfaces. Every object has IUnknown at slots 0 to 2; every other
// operation returns an HRESULT, negative on failure. Texts are BSTRs that the
// receiver frees; collections count positions from 1. Slots the adaptor never
// calls are placeholders that answer E_NOTIMPL.
#pragma once

#include "platform/win32.h"

#include <utility>

#define VEXLIB_RESERVED_SLOT(n) \
    virtual HRESULT STDMETHODCALLTYPE reservedSlot##n() { return E_NOTIMPL; }

// IDispatch's four operations, which the property objects carry but the
// adaptor never calls.
#define VEXLIB_DISPATCH_SLOTS \
    VEXLIB_RESERVED_SLOT(3)   \
    VEXLIB_RESERVED_SLOT(4)   \
    VEXLIB_RESERVED_SLOT(5)   \
    VEXLIB_RESERVED_SLOT(6)

namespace Vexlib {

struct PropertyItem;
struct ElementCollection;
struct PropertyElement;
struct TextCollection;

struct IVCDPropertyItems : IUnknown {
    VEXLIB_DISPATCH_SLOTS
    VEXLIB_RESERVED_SLOT(7)
    virtual HRESULT STDMETHODCALLTYPE get_Item(LONG position, PropertyItem** item) = 0; // slot 8
    virtual HRESULT STDMETHODCALLTYPE get_Count(LONG* count) = 0;                       // slot 9
    VEXLIB_RESERVED_SLOT(10)
    VEXLIB_RESERVED_SLOT(11)
    VEXLIB_RESERVED_SLOT(12)
    VEXLIB_RESERVED_SLOT(13)
    VEXLIB_RESERVED_SLOT(14)
    VEXLIB_RESERVED_SLOT(15)
    VEXLIB_RESERVED_SLOT(16)
    // path: item id ":" element id [":" interface id], each in registry form.
    // S_OK with the object when found; any other status means not found.
    virtual HRESULT STDMETHODCALLTYPE findInterfaceByPath(BSTR path, IUnknown** object) = 0; // slot 17
};

struct PropertyItem : IUnknown {
    VEXLIB_DISPATCH_SLOTS
    virtual HRESULT STDMETHODCALLTYPE get_Name(BSTR* name) = 0;                      // slot 7
    virtual HRESULT STDMETHODCALLTYPE get_Elements(ElementCollection** elements) = 0; // slot 8
    VEXLIB_RESERVED_SLOT(9)
    virtual HRESULT STDMETHODCALLTYPE get_ItemID(GUID* id) = 0;                       // slot 10
};

struct ElementCollection : IUnknown {
    VEXLIB_DISPATCH_SLOTS
    VEXLIB_RESERVED_SLOT(7)
    virtual HRESULT STDMETHODCALLTYPE get_Item(LONG position, PropertyElement** element) = 0; // slot 8
    virtual HRESULT STDMETHODCALLTYPE get_Count(LONG* count) = 0;                             // slot 9
};

struct PropertyElement : IUnknown {
    VEXLIB_DISPATCH_SLOTS
    VEXLIB_RESERVED_SLOT(7)
    VEXLIB_RESERVED_SLOT(8)
    VEXLIB_RESERVED_SLOT(9)
    virtual HRESULT STDMETHODCALLTYPE get_Name(BSTR* name) = 0;       // slot 10
    VEXLIB_RESERVED_SLOT(11)
    virtual HRESULT STDMETHODCALLTYPE get_ElementID(GUID* id) = 0;    // slot 12
    // interfaceId: an interface identifier in registry form.
    virtual HRESULT STDMETHODCALLTYPE findInterface(BSTR interfaceId, IUnknown** object) = 0; // slot 13
};

// The placeholders every typed interface carries before slot 13.
#define VEXLIB_TYPED_INTERFACE_SLOTS \
    VEXLIB_DISPATCH_SLOTS            \
    VEXLIB_RESERVED_SLOT(7)          \
    VEXLIB_RESERVED_SLOT(8)          \
    VEXLIB_RESERVED_SLOT(9)          \
    VEXLIB_RESERVED_SLOT(10)         \
    VEXLIB_RESERVED_SLOT(11)         \
    VEXLIB_RESERVED_SLOT(12)

struct IntegerRangeInterface : IUnknown {
    VEXLIB_TYPED_INTERFACE_SLOTS
    virtual HRESULT STDMETHODCALLTYPE get_Value(LONG* value) = 0;    // slot 13
    virtual HRESULT STDMETHODCALLTYPE put_Value(LONG value) = 0;     // slot 14
    virtual HRESULT STDMETHODCALLTYPE get_RangeMin(LONG* value) = 0; // slot 15
    virtual HRESULT STDMETHODCALLTYPE get_RangeMax(LONG* value) = 0; // slot 16
    virtual HRESULT STDMETHODCALLTYPE get_Default(LONG* value) = 0;  // slot 17
};

struct DoubleRangeInterface : IUnknown {
    VEXLIB_TYPED_INTERFACE_SLOTS
    virtual HRESULT STDMETHODCALLTYPE get_Value(double* value) = 0;    // slot 13
    virtual HRESULT STDMETHODCALLTYPE put_Value(double value) = 0;     // slot 14
    virtual HRESULT STDMETHODCALLTYPE get_RangeMin(double* value) = 0; // slot 15
    virtual HRESULT STDMETHODCALLTYPE get_RangeMax(double* value) = 0; // slot 16
    virtual HRESULT STDMETHODCALLTYPE get_Default(double* value) = 0;  // slot 17
};

struct StringListInterface : IUnknown {
    VEXLIB_TYPED_INTERFACE_SLOTS
    virtual HRESULT STDMETHODCALLTYPE get_Value(LONG* value) = 0;                // slot 13
    virtual HRESULT STDMETHODCALLTYPE put_Value(LONG value) = 0;                 // slot 14
    virtual HRESULT STDMETHODCALLTYPE get_RangeMin(LONG* value) = 0;             // slot 15
    virtual HRESULT STDMETHODCALLTYPE get_RangeMax(LONG* value) = 0;             // slot 16
    virtual HRESULT STDMETHODCALLTYPE get_Default(LONG* value) = 0;              // slot 17
    VEXLIB_RESERVED_SLOT(18)
    virtual HRESULT STDMETHODCALLTYPE get_Strings(TextCollection** texts) = 0;   // slot 19
};

struct SwitchInterface : IUnknown {
    VEXLIB_TYPED_INTERFACE_SLOTS
    virtual HRESULT STDMETHODCALLTYPE get_Switch(VARIANT_BOOL* state) = 0; // slot 13
    virtual HRESULT STDMETHODCALLTYPE put_Switch(VARIANT_BOOL state) = 0;  // slot 14
};

struct ButtonInterface : IUnknown {
    VEXLIB_TYPED_INTERFACE_SLOTS
    virtual HRESULT STDMETHODCALLTYPE Push() = 0; // slot 13
};

struct TextCollection : IUnknown {
    VEXLIB_DISPATCH_SLOTS
    VEXLIB_RESERVED_SLOT(7)
    virtual HRESULT STDMETHODCALLTYPE get_Item(LONG position, BSTR* text) = 0; // slot 8
    virtual HRESULT STDMETHODCALLTYPE get_Count(LONG* count) = 0;              // slot 9
};

// Interface identifiers.
inline constexpr GUID IntegerRangeInterfaceId{0x99B44940, 0xBFE1, 0x4083, {0xAD, 0xA1, 0xBE, 0x70, 0x3F, 0x4B, 0x8E, 0x03}};
inline constexpr GUID SwitchInterfaceId{0x99B44940, 0xBFE1, 0x4083, {0xAD, 0xA1, 0xBE, 0x70, 0x3F, 0x4B, 0x8E, 0x04}};
inline constexpr GUID ButtonInterfaceId{0x99B44940, 0xBFE1, 0x4083, {0xAD, 0xA1, 0xBE, 0x70, 0x3F, 0x4B, 0x8E, 0x05}};
inline constexpr GUID StringListInterfaceId{0x99B44940, 0xBFE1, 0x4083, {0xAD, 0xA1, 0xBE, 0x70, 0x3F, 0x4B, 0x8E, 0x06}};
inline constexpr GUID DoubleRangeInterfaceId{0x99B44940, 0xBFE1, 0x4083, {0xAD, 0xA1, 0xBE, 0x70, 0x3F, 0x4B, 0x8E, 0x08}};

// Element identifiers.
inline constexpr GUID ValueElementId{0xB57D3000, 0x0AC6, 0x4819, {0xA6, 0x09, 0x27, 0x2A, 0x33, 0x14, 0x0A, 0xCA}};
inline constexpr GUID AutoElementId{0xB57D3001, 0x0AC6, 0x4819, {0xA6, 0x09, 0x27, 0x2A, 0x33, 0x14, 0x0A, 0xCA}};
inline constexpr GUID SelfNamedElementIdA{0x6519038A, 0x1AD8, 0x4E91, {0x90, 0x21, 0x66, 0xD6, 0x40, 0x90, 0xCC, 0x85}};
inline constexpr GUID SelfNamedElementIdB{0x6519038B, 0x1AD8, 0x4E91, {0x90, 0x21, 0x66, 0xD6, 0x40, 0x90, 0xCC, 0x85}};
inline constexpr GUID SelfNamedElementIdC{0x8407E480, 0x175A, 0x498C, {0x81, 0x71, 0x08, 0xBD, 0x98, 0x7C, 0xC1, 0xAC}};
inline constexpr GUID AutoCenterElementId{0x36EAA683, 0x3321, 0x44BE, {0x9D, 0x73, 0xE1, 0xFD, 0x4C, 0x3F, 0xDB, 0x87}};
inline constexpr GUID OffsetXElementId{0x5E59F654, 0x7B47, 0x4458, {0xB4, 0xC6, 0x5D, 0x4F, 0x0D, 0x17, 0x5F, 0xC1}};
inline constexpr GUID OffsetYElementId{0x87FB6C02, 0x98A8, 0x46B0, {0xB1, 0x8D, 0x64, 0x42, 0xD9, 0x77, 0x5C, 0xD3}};

// Item identifiers.
inline constexpr GUID PartialScanOffsetItemId{0x2CED6FD6, 0xAB4D, 0x4C74, {0x90, 0x4C, 0xD6, 0x82, 0xE5, 0x3B, 0x9C, 0xC5}};
inline constexpr GUID ExcludedItemId{0x4F95A06D, 0x9C15, 0x407B, {0x96, 0xAB, 0xCF, 0x3F, 0xED, 0x04, 0x7B, 0xA4}};

// Owns one reference to a property object; may be empty.
template <class T>
class smart_com {
public:
    smart_com() noexcept = default;
    // Takes over a reference that the caller owns.
    explicit smart_com(T* object) noexcept : object_(object) {}
    smart_com(const smart_com& other) noexcept : object_(other.object_)
    {
        if (object_) object_->AddRef();
    }
    smart_com(smart_com&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
    smart_com& operator=(smart_com other) noexcept
    {
        std::swap(object_, other.object_);
        return *this;
    }
    ~smart_com() { reset(); }

    void reset() noexcept
    {
        if (object_) std::exchange(object_, nullptr)->Release();
    }
    T* get() const noexcept { return object_; }
    T* operator->() const noexcept { return object_; }
    explicit operator bool() const noexcept { return object_ != nullptr; }

private:
    T* object_ = nullptr;
};

} // namespace Vexlib
