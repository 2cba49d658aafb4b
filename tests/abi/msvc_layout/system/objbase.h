// Stand-in for the Windows SDK's <objbase.h>: COM task memory and identifiers.
#pragma once

#include <windows.h>

extern "C" {
__declspec(dllimport) LPVOID WINAPI CoTaskMemAlloc(SIZE_T bytes);
__declspec(dllimport) void WINAPI CoTaskMemFree(LPVOID block);
__declspec(dllimport) HRESULT WINAPI StringFromCLSID(REFCLSID clsid, LPOLESTR* text);
}
