// The stack guard for x86-64 (System V AMD64 calling convention), GNU as.
//
// int xl_guarded_call2(void* function, const char* first, const char* second, long* stack_delta)
//
// The callee must return with the stack pointer where the call left it and with rbx, rbp and
// r12-r15 unchanged. The guard notes the stack pointer in static storage rather than in a
// register, since the callee may have broken any of them, puts its own copies back afterwards
// and reports how far the stack pointer had moved.

        .text
        .globl  xl_guarded_call2
        .type   xl_guarded_call2, @function
        .p2align 4
xl_guarded_call2:
        .cfi_startproc
        pushq   %rbp
        .cfi_def_cfa_offset 16
        .cfi_offset %rbp, -16
        pushq   %rbx
        .cfi_def_cfa_offset 24
        .cfi_offset %rbx, -24
        pushq   %r12
        .cfi_def_cfa_offset 32
        .cfi_offset %r12, -32
        pushq   %r13
        .cfi_def_cfa_offset 40
        .cfi_offset %r13, -40
        pushq   %r14
        .cfi_def_cfa_offset 48
        .cfi_offset %r14, -48
        pushq   %r15
        .cfi_def_cfa_offset 56
        .cfi_offset %r15, -56
        // Six pushes after the return address: 8 more bytes bring the stack to the 16-byte
        // boundary that the convention wants at a call.
        subq    $8, %rsp
        .cfi_def_cfa_offset 64

        movq    %rsp, noted_rsp(%rip)
        movq    %rcx, delta_out(%rip)
        movq    %rdi, %rax
        movq    %rsi, %rdi
        movq    %rdx, %rsi
        call    *%rax

        // eax holds the callee's result from here on.
        movq    %rsp, %rcx
        subq    noted_rsp(%rip), %rcx
        movq    noted_rsp(%rip), %rsp
        movq    delta_out(%rip), %rdx
        movq    %rcx, (%rdx)

        addq    $8, %rsp
        .cfi_def_cfa_offset 56
        popq    %r15
        .cfi_def_cfa_offset 48
        popq    %r14
        .cfi_def_cfa_offset 40
        popq    %r13
        .cfi_def_cfa_offset 32
        popq    %r12
        .cfi_def_cfa_offset 24
        popq    %rbx
        .cfi_def_cfa_offset 16
        popq    %rbp
        .cfi_def_cfa_offset 8
        ret
        .cfi_endproc
        .size   xl_guarded_call2, .-xl_guarded_call2

        .bss
        .p2align 3
noted_rsp:
        .zero   8
delta_out:
        .zero   8

        .section .note.GNU-stack,"",@progbits
