// SPDX-FileCopyrightText: 2026 The Tarvolin authors
// SPDX-License-Identifier: GPL-3.0-or-later

// A stand-in for Windows' UIAutomationCore.dll, for a program under Wine, whose own
// UiaClientsAreListening() says no one listens, so that Qt raises nothing. This one says a
// client listens, and appends each event the program raises to the UTF-8 file named by
// TARVOLIN_UIA_LOG, a line each: what was raised, the element's control type and name, and
// the notification's text or the property's new value.

#include <cwchar>
#include <string>
#include <uiautomationclient.h>
#include <uiautomationcore.h>
#include <windows.h>

namespace {

std::wstring textOf(const VARIANT &value)
{
    if (value.vt == VT_BSTR)
        return value.bstrVal ? value.bstrVal : L"";
    if (value.vt == VT_I4 || value.vt == VT_BOOL)
        return std::to_wstring(value.vt == VT_I4 ? value.lVal : value.boolVal);
    return {};
}

std::wstring property(IRawElementProviderSimple *element, PROPERTYID id)
{
    VARIANT value;
    VariantInit(&value);
    if (!element || FAILED(element->GetPropertyValue(id, &value)))
        return {};
    std::wstring text = textOf(value);
    VariantClear(&value);
    return text;
}

void record(const std::wstring &what, IRawElementProviderSimple *element, const std::wstring &text)
{
    wchar_t path[MAX_PATH];
    if (!GetEnvironmentVariableW(L"TARVOLIN_UIA_LOG", path, MAX_PATH))
        return;
    const std::wstring line = what + L" " + property(element, UIA_ControlTypePropertyId) + L" \""
        + property(element, UIA_NamePropertyId) + L"\" " + text + L"\n";
    std::string utf8(line.size() * 3, '\0');
    utf8.resize(WideCharToMultiByte(CP_UTF8, 0, line.data(), int(line.size()), utf8.data(),
        int(utf8.size()), nullptr, nullptr));
    HANDLE file = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
        OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(file, utf8.data(), DWORD(utf8.size()), &written, nullptr);
    CloseHandle(file);
}

} // namespace

extern "C" {

__declspec(dllexport) BOOL WINAPI UiaClientsAreListening()
{
    return TRUE;
}

__declspec(dllexport) LRESULT WINAPI
    UiaReturnRawElementProvider(HWND, WPARAM, LPARAM, IRawElementProviderSimple *)
{
    return 0;
}

__declspec(dllexport) HRESULT WINAPI
    UiaHostProviderFromHwnd(HWND, IRawElementProviderSimple **provider)
{
    *provider = nullptr;
    return E_NOTIMPL;
}

__declspec(dllexport) HRESULT WINAPI
    UiaRaiseAutomationEvent(IRawElementProviderSimple *element, EVENTID id)
{
    record(L"event " + std::to_wstring(id), element, {});
    return S_OK;
}

__declspec(dllexport) HRESULT WINAPI UiaRaiseAutomationPropertyChangedEvent(
    IRawElementProviderSimple *element, PROPERTYID id, VARIANT, VARIANT newValue)
{
    record(L"property " + std::to_wstring(id), element, textOf(newValue));
    return S_OK;
}

__declspec(dllexport) HRESULT WINAPI
    UiaRaiseNotificationEvent(IRawElementProviderSimple *element, int, int, BSTR text, BSTR)
{
    record(L"notification", element, text ? text : L"");
    return S_OK;
}

} // extern "C"
