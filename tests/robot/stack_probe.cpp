// The 32-bit stack probe: plain assembly, so no compiler frame set-up hides what the callee popped.
#include "stack_probe.h"

#if defined(__i386__)
__asm__(
    ".text\n"
    ".globl _StackBytesLeftAfterCall\n"
    "_StackBytesLeftAfterCall:\n"
    "  pushl %ebp\n"
    "  movl %esp, %ebp\n"
    "  pushl %esi\n"
    "  pushl %ebx\n"
    "  movl %esp, %esi\n"
    "  movl 16(%ebp), %ecx\n"
    "  movl 12(%ebp), %edx\n"
    "1:\n"
    "  testl %ecx, %ecx\n"
    "  jz 2f\n"
    "  decl %ecx\n"
    "  pushl (%edx,%ecx,4)\n"
    "  jmp 1b\n"
    "2:\n"
    "  call *8(%ebp)\n"
    "  movl %esi, %eax\n"
    "  subl %esp, %eax\n"
    "  movl %esi, %esp\n"
    "  popl %ebx\n"
    "  popl %esi\n"
    "  popl %ebp\n"
    "  ret\n");

#endif
