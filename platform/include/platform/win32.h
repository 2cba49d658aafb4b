// The Win32 calls the adaptor makes. On Windows these are the real functions
// from the system headers; elsewhere libwin32seam provides the same names with
// the same meaning (UTF-16 WCHAR, length-prefixed BSTR, counted allocations).
#pragma once

#if defined(_WIN32)

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <objbase.h>
#include <oleauto.h>

#if defined(ORX_WIN32SEAM_BUILD)
#define ORX_WIN32SEAM_API __declspec(dllexport)
#else
#define ORX_WIN32SEAM_API __declspec(dllimport)
#endif

// The calls that must stay observable go through win32seam.dll, which counts
// or hooks them and forwards to the real functions. The seam library itself
// sees the real names.
extern "C" {
ORX_WIN32SEAM_API int WINAPI win32seamMessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT style);
ORX_WIN32SEAM_API void WINAPI win32seamOutputDebugStringA(LPCSTR text);
ORX_WIN32SEAM_API LPVOID WINAPI win32seamCoTaskMemAlloc(SIZE_T bytes);
ORX_WIN32SEAM_API void WINAPI win32seamCoTaskMemFree(LPVOID block);
ORX_WIN32SEAM_API BSTR WINAPI win32seamSysAllocString(const OLECHAR* text);
ORX_WIN32SEAM_API BSTR WINAPI win32seamSysAllocStringLen(const OLECHAR* text, UINT length);
ORX_WIN32SEAM_API void WINAPI win32seamSysFreeString(BSTR text);
ORX_WIN32SEAM_API HRESULT WINAPI win32seamStringFromCLSID(REFCLSID clsid, LPOLESTR* text);
}

#if !defined(ORX_WIN32SEAM_BUILD)
#define MessageBoxA win32seamMessageBoxA
#define OutputDebugStringA win32seamOutputDebugStringA
#define CoTaskMemAlloc win32seamCoTaskMemAlloc
#define CoTaskMemFree win32seamCoTaskMemFree
#define SysAllocString win32seamSysAllocString
#define SysAllocStringLen win32seamSysAllocStringLen
#define SysFreeString win32seamSysFreeString
#define StringFromCLSID win32seamStringFromCLSID
#endif

#else

#include <cstddef>
#include <cstdint>

#if defined(ORX_WIN32SEAM_BUILD)
#define ORX_WIN32SEAM_API __attribute__((visibility("default")))
#else
#define ORX_WIN32SEAM_API
#endif

using BOOL = int;
using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using UINT = unsigned int;
using LONG = std::int32_t;
using ULONG = std::uint32_t;
using HRESULT = std::int32_t;
using VARIANT_BOOL = std::int16_t;
using WCHAR = char16_t;
using OLECHAR = WCHAR;
using LPOLESTR = OLECHAR*;
using LPCOLESTR = const OLECHAR*;
using LPCWSTR = const WCHAR*;
using LPSTR = char*;
using LPCSTR = const char*;
using BSTR = OLECHAR*;
using HWND = void*;

struct GUID {
    std::uint32_t Data1;
    std::uint16_t Data2;
    std::uint16_t Data3;
    std::uint8_t Data4[8];
};
using IID = GUID;
using CLSID = GUID;
using REFIID = const IID&;
using REFCLSID = const CLSID&;
using REFGUID = const GUID&;

inline bool operator==(const GUID& a, const GUID& b) noexcept
{
    const auto* pa = reinterpret_cast<const unsigned char*>(&a);
    const auto* pb = reinterpret_cast<const unsigned char*>(&b);
    for (std::size_t i = 0; i < sizeof(GUID); ++i)
        if (pa[i] != pb[i]) return false;
    return true;
}
inline bool operator!=(const GUID& a, const GUID& b) noexcept { return !(a == b); }

struct tagSIZE {
    LONG cx;
    LONG cy;
};
using SIZE = tagSIZE;

constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001u);
constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002u);
constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003u);
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);
constexpr HRESULT DISP_E_BADINDEX = static_cast<HRESULT>(0x8002000Bu);

constexpr VARIANT_BOOL VARIANT_TRUE = -1;
constexpr VARIANT_BOOL VARIANT_FALSE = 0;

constexpr UINT MB_OK = 0x00000000u;
constexpr UINT MB_ICONERROR = 0x00000010u;
constexpr int IDOK = 1;
constexpr UINT CP_UTF8 = 65001u;

#define STDMETHODCALLTYPE
// A wide (OLECHAR) literal, as the Windows headers spell it: OLESTR("text").
#define OLESTR(text) u##text
#define SUCCEEDED(hr) (static_cast<HRESULT>(hr) >= 0)
#define FAILED(hr) (static_cast<HRESULT>(hr) < 0)

// IUnknown: slot 0 QueryInterface, slot 1 AddRef, slot 2 Release.
struct IUnknown {
    virtual HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) = 0; // slot 0
    virtual ULONG STDMETHODCALLTYPE AddRef() = 0;                                    // slot 1
    virtual ULONG STDMETHODCALLTYPE Release() = 0;                                   // slot 2

protected:
    ~IUnknown() = default;
};

extern "C" {
ORX_WIN32SEAM_API int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT style);
ORX_WIN32SEAM_API void OutputDebugStringA(LPCSTR text);
ORX_WIN32SEAM_API void* CoTaskMemAlloc(std::size_t bytes);
ORX_WIN32SEAM_API void CoTaskMemFree(void* block);
ORX_WIN32SEAM_API BSTR SysAllocString(const OLECHAR* text);
ORX_WIN32SEAM_API BSTR SysAllocStringLen(const OLECHAR* text, UINT length);
ORX_WIN32SEAM_API void SysFreeString(BSTR text);
ORX_WIN32SEAM_API UINT SysStringLen(BSTR text);
ORX_WIN32SEAM_API HRESULT StringFromCLSID(REFCLSID clsid, LPOLESTR* text);
ORX_WIN32SEAM_API int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wide, int wideLength,
                                          LPSTR narrow, int narrowBytes, LPCSTR defaultChar,
                                          BOOL* usedDefaultChar);
}

#endif
