// The observable Win32 calls on Windows: each forwards to the real function.
// Task memory and BSTRs are counted, a message box goes to the hook when one
// is installed (an automated run never waits for a person), debugger lines
// reach the hook as well as the debugger.
#include "platform/win32.h"
#include "seam_state.h"

#include <cstdio>
#include <string>

using namespace win32seam::state;

extern "C" {

int WINAPI win32seamMessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT style)
{
    const auto hook = messageBoxHook();
    if (!hook) return MessageBoxA(owner, text, caption, style);
    const win32seam::MessageBoxCall call{text ? text : "", caption ? caption : "", style};
    hook(call);
    if (echoMessageBoxes())
        std::fprintf(stderr, "[message box] %s: %s\n", call.caption.c_str(), call.text.c_str());
    return IDOK;
}

void WINAPI win32seamOutputDebugStringA(LPCSTR text)
{
    if (const auto hook = debugOutputHook()) hook(text ? text : "");
    OutputDebugStringA(text);
}

LPVOID WINAPI win32seamCoTaskMemAlloc(SIZE_T bytes)
{
    if (consumeTaskMemFailure()) return nullptr;
    void* block = CoTaskMemAlloc(bytes);
    if (block) ++liveTaskMem;
    return block;
}

void WINAPI win32seamCoTaskMemFree(LPVOID block)
{
    if (!block) return;
    --liveTaskMem;
    CoTaskMemFree(block);
}

BSTR WINAPI win32seamSysAllocStringLen(const OLECHAR* text, UINT length)
{
    if (consumeBstrFailure()) return nullptr;
    BSTR result = SysAllocStringLen(text, length);
    if (result) ++liveBstrs;
    return result;
}

BSTR WINAPI win32seamSysAllocString(const OLECHAR* text)
{
    if (!text) return nullptr;
    if (consumeBstrFailure()) return nullptr;
    BSTR result = SysAllocString(text);
    if (result) ++liveBstrs;
    return result;
}

void WINAPI win32seamSysFreeString(BSTR text)
{
    if (!text) return;
    --liveBstrs;
    SysFreeString(text);
}

// The text is task memory that the caller frees through the seam, so it is
// counted like any other block.
HRESULT WINAPI win32seamStringFromCLSID(REFCLSID clsid, LPOLESTR* text)
{
    if (!text) return E_INVALIDARG;
    if (consumeTaskMemFailure()) {
        *text = nullptr;
        return E_OUTOFMEMORY;
    }
    const HRESULT result = StringFromCLSID(clsid, text);
    if (SUCCEEDED(result) && *text) ++liveTaskMem;
    return result;
}

} // extern "C"
