// The exports of the printer command library QLC07RT.dll: __stdcall, undecorated names.
// Printer references pass by value (handle first); scan and status outputs by pointer;
// data goes through the caller's 256-byte buffer; paths are zero-terminated UTF-16LE bytes.
// Any library that honours these signatures can stand in for ours.
#pragma once

#include <cstdint>

#if defined(_WIN32)
#define KVCMD_CALL __stdcall
#else
#define KVCMD_CALL
#endif

namespace kvcmd_abi {

inline constexpr const wchar_t* kLibraryFileName = L"QLC07RT.dll";
inline constexpr int kDataBufferSize = 256;

using ScanKV450 = int32_t(KVCMD_CALL*)(int32_t* handle, int32_t* unit);
using ScanKV450Next = int32_t(KVCMD_CALL*)(int32_t* handle, int32_t* unit);
using TestUnitReady = int32_t(KVCMD_CALL*)(int32_t handle, int32_t unit);
using GetPrinterStatus = int32_t(KVCMD_CALL*)(int32_t handle, int32_t unit, int32_t* status, int32_t* state);
using LogSense = int32_t(KVCMD_CALL*)(int32_t handle, int32_t unit, int32_t pageCode, uint8_t* buffer);
using ModeSense = int32_t(KVCMD_CALL*)(int32_t handle, int32_t unit, int32_t pageCode, uint8_t* buffer);
using ModeSelect = int32_t(KVCMD_CALL*)(int32_t handle, int32_t unit, int32_t pageCode, uint8_t* buffer);
using StandardInquiry = int32_t(KVCMD_CALL*)(int32_t handle, int32_t unit, uint8_t* buffer);
using VPDInquiry = int32_t(KVCMD_CALL*)(int32_t handle, int32_t unit, int32_t page, uint8_t* buffer);
// Test print: (handle, unit, 0, 16 for both sides or 0 for one side, 1, pointer to a zeroed 32-bit value).
using SendDiagnostic = int32_t(KVCMD_CALL*)(int32_t handle, int32_t unit, int32_t selfTest, int32_t sides,
                                            int32_t count, int32_t* value);
using LogSelect = int32_t(KVCMD_CALL*)(int32_t handle, int32_t unit);
using UpdateFirmware = int32_t(KVCMD_CALL*)(int32_t handle, int32_t unit, const uint8_t* path, int32_t flags);
using GetLogMessageAsFile = int32_t(KVCMD_CALL*)(int32_t handle, int32_t unit, const uint8_t* path);
// Declared by the library; the monitor never calls it.
using ReadPosition = int32_t(KVCMD_CALL*)(int32_t handle, int32_t unit, uint8_t* buffer);

}  // namespace kvcmd_abi
