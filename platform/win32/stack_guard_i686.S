// The stack guard for 32-bit Windows (i686), GNU as for MinGW. Not built on Linux; the Windows
// build adds it to its backend in place of stack_guard_x86_64.S.
//
// int __cdecl xl_guarded_call2(void* function, const char* first, const char* second,
//                              long* stack_delta)
//
// Library functions of 32-bit Windows use the standard calling convention: the callee removes
// its arguments, here two 4-byte pointers. The guard notes the stack pointer before it pushes
// them, so that after a well-behaved callee it is back at the noted place; it keeps the note in
// static storage, since the callee may have broken any register, puts its own copies of ebx,
// esi, edi and ebp back afterwards and reports how far the stack pointer had moved.

        .text
        .globl  _xl_guarded_call2
        .def    _xl_guarded_call2; .scl 2; .type 32; .endef
        .p2align 4
_xl_guarded_call2:
        pushl   %ebp
        movl    %esp, %ebp
        pushl   %ebx
        pushl   %esi
        pushl   %edi

        movl    20(%ebp), %eax
        movl    %eax, _delta_out
        movl    8(%ebp), %eax
        movl    %esp, _noted_esp
        pushl   16(%ebp)                // second
        pushl   12(%ebp)                // first
        call    *%eax

        // eax holds the callee's result from here on.
        movl    %esp, %ecx
        subl    _noted_esp, %ecx
        movl    _noted_esp, %esp
        movl    _delta_out, %edx
        movl    %ecx, (%edx)

        popl    %edi
        popl    %esi
        popl    %ebx
        popl    %ebp
        ret

        .bss
        .p2align 2
_noted_esp:
        .space  4
_delta_out:
        .space  4
