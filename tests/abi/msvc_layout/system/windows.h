// Stand-in for the Windows SDK's <windows.h>: the types, constants and calls
// that the interface headers name, declared as the SDK declares them for
// 64-bit Windows (LLP64: LONG and DWORD are 32 bits, WCHAR is wchar_t).
#pragma once

typedef int BOOL;
typedef unsigned char BYTE;
typedef unsigned short WORD;
typedef unsigned long DWORD;
typedef unsigned int UINT;
typedef long LONG;
typedef unsigned long ULONG;
typedef long HRESULT;
typedef short VARIANT_BOOL;
typedef wchar_t WCHAR;
typedef WCHAR OLECHAR;
typedef OLECHAR* LPOLESTR;
typedef const OLECHAR* LPCOLESTR;
typedef const WCHAR* LPCWSTR;
typedef char* LPSTR;
typedef const char* LPCSTR;
typedef void* LPVOID;
typedef unsigned long long SIZE_T;
typedef OLECHAR* BSTR;
typedef struct HWND__* HWND;

#define WINAPI __stdcall
#define STDMETHODCALLTYPE __stdcall

typedef struct _GUID {
    unsigned long Data1;
    unsigned short Data2;
    unsigned short Data3;
    unsigned char Data4[8];
} GUID;
typedef GUID IID;
typedef GUID CLSID;
#define REFIID const IID&
#define REFCLSID const IID&
#define REFGUID const GUID&

typedef struct tagSIZE {
    LONG cx;
    LONG cy;
} SIZE;

#define S_OK ((HRESULT)0L)
#define S_FALSE ((HRESULT)1L)
#define E_NOTIMPL ((HRESULT)0x80004001L)
#define E_NOINTERFACE ((HRESULT)0x80004002L)
#define E_POINTER ((HRESULT)0x80004003L)
#define E_FAIL ((HRESULT)0x80004005L)
#define SUCCEEDED(hr) (((HRESULT)(hr)) >= 0)
#define FAILED(hr) (((HRESULT)(hr)) < 0)

#define VARIANT_TRUE ((VARIANT_BOOL)-1)
#define VARIANT_FALSE ((VARIANT_BOOL)0)

struct __declspec(novtable) IUnknown {
    virtual HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) = 0;
    virtual ULONG STDMETHODCALLTYPE AddRef() = 0;
    virtual ULONG STDMETHODCALLTYPE Release() = 0;
};

extern "C" {
__declspec(dllimport) int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT style);
__declspec(dllimport) void WINAPI OutputDebugStringA(LPCSTR text);
}
