// The stack guard around a call into a library, written in assembly for each processor (the
// x86-64 one in stack_guard_x86_64.S; platform/win32/stack_guard_i686.S for 32-bit Windows).
#pragma once

extern "C" {

// Calls function(first, second) by the system's C calling convention and stores in
// *stack_delta how far the stack pointer after the call lies from where it was before: 0 when
// the callee kept to the convention. The stack pointer and the callee-saved registers are put
// back from the guard's own copies either way. One call at a time: it keeps its notes in
// static storage, because a callee that breaks the convention may break any register.
int xl_guarded_call2(void* function, const char* first, const char* second, long* stack_delta);

}  // extern "C"
