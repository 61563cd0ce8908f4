#include "kvInstallFiles.h"

#include <QResource>

// The collection is tens of megabytes: written into the object file by the
// assembler rather than compiled as a C++ array, which would take minutes.
#ifndef KV_INSTALL_RCC
#error "KV_INSTALL_RCC names the resource collection to carry"
#endif

__asm__(".section .rodata\n"
        ".balign 16\n"
        ".globl kv_install_rcc\n"
        ".type kv_install_rcc, @object\n"
        "kv_install_rcc:\n"
        ".incbin \"" KV_INSTALL_RCC "\"\n"
        ".previous\n");

extern "C" const unsigned char kv_install_rcc[];

bool RegisterInstallFiles()
{
    static const bool registered = QResource::registerResource(kv_install_rcc);
    return registered;
}
