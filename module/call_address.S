/*
 * std::uint32_t CallAddress(routine, argument1, ..., argument10)   (cdecl)
 *
 * Pushes the ten argument words again (argument1 at the lowest address) and
 * calls the routine. A stdcall routine removes some or all of them, a cdecl
 * routine none: either way the stack pointer is restored from this routine's
 * own frame afterwards, so the count the routine pops does not matter. The
 * callee-saved registers are kept even if the routine does not keep them,
 * and EAX comes back untouched.
 */
        .text
        .globl  _CallAddress
        .def    _CallAddress; .scl 2; .type 32; .endef
        .p2align 4
_CallAddress:
        pushl   %ebp
        movl    %esp, %ebp
        pushl   %ebx
        pushl   %esi
        pushl   %edi

        /* Leave the stack 16-byte aligned at the call, as compiled routines
           that keep aligned locals on it prefer: 8 + 40 pushed bytes. */
        andl    $-16, %esp
        subl    $8, %esp

        /* Frame: 8(%ebp) routine, 12(%ebp) argument1 ... 48(%ebp) argument10. */
        pushl   48(%ebp)
        pushl   44(%ebp)
        pushl   40(%ebp)
        pushl   36(%ebp)
        pushl   32(%ebp)
        pushl   28(%ebp)
        pushl   24(%ebp)
        pushl   20(%ebp)
        pushl   16(%ebp)
        pushl   12(%ebp)
        cld
        call    *8(%ebp)

        /* Whatever the routine popped, the saved registers lie just below
           the frame pointer. */
        leal    -12(%ebp), %esp
        popl    %edi
        popl    %esi
        popl    %ebx
        popl    %ebp
        ret
