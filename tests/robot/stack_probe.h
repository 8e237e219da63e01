// Checks a calling convention at the machine level in the 32-bit build: a caller that declares
// a DLL export __stdcall gets its stack back balanced only if the export really pops its own
// arguments. Through a C++ call the compiler's frame pointer would hide a mismatch.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

#if defined(__i386__)
// Pushes `args` (first argument pushed last), calls `function` and returns how many bytes of
// them are still on the stack when it returns: 0 for a __stdcall function, all of them for a
// __cdecl one.
extern "C" int __cdecl StackBytesLeftAfterCall(const void* function, const std::uintptr_t* args, int count);

namespace robot {
inline int StackBytesLeftAfterCall(const void* function, std::initializer_list<std::uintptr_t> args) {
  const std::vector<std::uintptr_t> values(args);
  return ::StackBytesLeftAfterCall(function, values.data(), static_cast<int>(values.size()));
}
}  // namespace robot
#endif
