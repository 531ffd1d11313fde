/*
 * void CallAddressProbe(const std::uint32_t words[11], CallProbe* probe)
 *
 * Calls CallAddress(words[0], words[1], ..., words[10]) the way a cdecl
 * caller does and records into probe: the result; the stack pointer right
 * after the call minus the one at the call (0 when CallAddress left the
 * caller's stack as it found it, before the caller drops its 44 bytes of
 * arguments); and whether EBX, ESI and EDI came back holding the marker
 * values they held at the call.
 */
        .text
        .globl  _CallAddressProbe
        .def    _CallAddressProbe; .scl 2; .type 32; .endef
_CallAddressProbe:
        pushl   %ebp
        movl    %esp, %ebp
        pushl   %ebx
        pushl   %esi
        pushl   %edi
        subl    $4, %esp                /* -16(%ebp): stack pointer at the call */

        movl    8(%ebp), %eax
        movl    $11, %ecx
1:      pushl   -4(%eax,%ecx,4)         /* words[10] first, words[0] last */
        loop    1b
        movl    %esp, -16(%ebp)

        movl    $0x0B0B0B0B, %ebx
        movl    $0x05151515, %esi
        movl    $0x0D1D1D1D, %edi
        call    _CallAddress

        movl    %esp, %ecx
        subl    -16(%ebp), %ecx
        xorl    %edx, %edx
        cmpl    $0x0B0B0B0B, %ebx
        jne     2f
        cmpl    $0x05151515, %esi
        jne     2f
        cmpl    $0x0D1D1D1D, %edi
        jne     2f
        movl    $1, %edx
2:      movl    12(%ebp), %ebx
        movl    %eax, 0(%ebx)           /* probe->result */
        movl    %ecx, 4(%ebx)           /* probe->stackShift */
        movl    %edx, 8(%ebx)           /* probe->registersKept */

        leal    -12(%ebp), %esp
        popl    %edi
        popl    %esi
        popl    %ebx
        popl    %ebp
        ret
