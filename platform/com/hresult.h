#pragma once
// 32-bit result codes of component calls, and their texts.
#include <QString>
#include <cstdint>

namespace platform::com {

using HRESULT = std::int32_t;

constexpr HRESULT S_OK = 0;
constexpr HRESULT E_FAIL = HRESULT(0x80004005);
constexpr HRESULT E_NOINTERFACE = HRESULT(0x80004002);
constexpr HRESULT E_INVALIDARG = HRESULT(0x80070057);
constexpr HRESULT E_UNEXPECTED = HRESULT(0x8000FFFF);
constexpr HRESULT CO_E_CLASSSTRING = HRESULT(0x800401F3);
constexpr HRESULT REGDB_E_CLASSNOTREG = HRESULT(0x80040154);
constexpr HRESULT CO_E_DLLNOTFOUND = HRESULT(0x8004018F);

inline bool failed(HRESULT hr) { return hr < 0; }

// What a call came to: its result and, when it failed, what went wrong
// ("" when nothing more is known than the result).
struct Status {
    HRESULT code = S_OK;
    QString error;
    bool failed() const { return com::failed(code); }
};

// The result a control returns for an error it raised with a number of its
// own (1001 gives 0x800A03E9).
inline HRESULT controlError(int number) { return HRESULT(0x800A0000u | (std::uint32_t(number) & 0xFFFFu)); }

// A call's error description, kept per thread by the component that failed
// and read by the caller right after the failing call.
void setErrorInfo(const QString& description);
QString takeErrorInfo();

// The system text of a result: the description the failing component left,
// else the text of a well-known code, else "".
QString resultText(HRESULT hr);

}  // namespace platform::com
