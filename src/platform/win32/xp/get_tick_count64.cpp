// GetTickCount64 for the statically linked thread runtime (winpthreads),
// which imports it, while Windows XP's kernel32 lacks it: a binary that
// imports it does not load there. This file defines the import's pointer
// itself, so the linker takes it instead of kernel32's import; it calls the
// system's function where there is one (Vista and later) and otherwise
// widens GetTickCount, counting its wraps every 49.7 days.
//
// Linked as an object into each shipped binary (cmake/windows-ship.cmake),
// never through a static library, whose member the linker would not pull.
#include <windows.h>

namespace {

using TickCount64 = ULONGLONG(WINAPI*)();

ULONGLONG WINAPI WidenedTickCount() {
  // The high 32 bits count wraps; the low 32 bits are the last reading. One
  // 64-bit compare-exchange keeps both in step across threads.
  static volatile LONGLONG state = 0;
  for (;;) {
    const LONGLONG seen = state;
    const DWORD now = ::GetTickCount();
    ULONGLONG high = static_cast<ULONGLONG>(seen) >> 32;
    if (now < static_cast<DWORD>(seen)) ++high;  // wrapped since the last reading
    const LONGLONG next = static_cast<LONGLONG>((high << 32) | now);
    if (::InterlockedCompareExchange64(&state, next, seen) == seen) return static_cast<ULONGLONG>(next);
  }
}

ULONGLONG WINAPI FirstCall();

TickCount64 chosen = &FirstCall;

ULONGLONG WINAPI FirstCall() {
  auto system = reinterpret_cast<TickCount64>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "GetTickCount64")));
  chosen = system != nullptr ? system : &WidenedTickCount;
  return chosen();
}

ULONGLONG WINAPI Dispatch() { return chosen(); }

}  // namespace

// The import pointer's own name, as kernel32's import library would define it.
#if defined(__i386__)
extern "C" TickCount64 kavrolin_get_tick_count64 __asm__("__imp__GetTickCount64@0");
#else
extern "C" TickCount64 kavrolin_get_tick_count64 __asm__("__imp_GetTickCount64");
#endif
extern "C" TickCount64 kavrolin_get_tick_count64 = &Dispatch;
