// Stand-in for the Windows SDK's <oleauto.h>: BSTR allocation.
#pragma once

#include <windows.h>

extern "C" {
__declspec(dllimport) BSTR WINAPI SysAllocString(const OLECHAR* text);
__declspec(dllimport) BSTR WINAPI SysAllocStringLen(const OLECHAR* text, UINT length);
__declspec(dllimport) void WINAPI SysFreeString(BSTR text);
__declspec(dllimport) UINT WINAPI SysStringLen(BSTR text);
}
