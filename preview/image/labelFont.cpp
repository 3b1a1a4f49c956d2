#include "image/labelFont.h"

// The font file is assembled into read-only data as it is; the build passes
// its path in FLAKECOAT_LABEL_FONT_FILE.
#if defined(_WIN32)
#define FLAKECOAT_RODATA_SECTION ".pushsection .rdata,\"dr\"\n"
#define FLAKECOAT_HIDE(symbol) ""
#else
#define FLAKECOAT_RODATA_SECTION ".pushsection .rodata\n"
#define FLAKECOAT_HIDE(symbol) ".hidden " symbol "\n"
#endif

asm(FLAKECOAT_RODATA_SECTION
    ".balign 16\n"
    ".globl flakecoatLabelFontBegin\n" FLAKECOAT_HIDE("flakecoatLabelFontBegin")
    "flakecoatLabelFontBegin:\n"
    ".incbin \"" FLAKECOAT_LABEL_FONT_FILE "\"\n"
    ".globl flakecoatLabelFontEnd\n" FLAKECOAT_HIDE("flakecoatLabelFontEnd")
    "flakecoatLabelFontEnd:\n"
    ".popsection\n");

extern "C" const unsigned char flakecoatLabelFontBegin[];
extern "C" const unsigned char flakecoatLabelFontEnd[];

namespace flakecoat::preview {

const unsigned char* labelFontData() { return flakecoatLabelFontBegin; }

std::size_t labelFontSize() { return std::size_t(flakecoatLabelFontEnd - flakecoatLabelFontBegin); }

}  // namespace flakecoat::preview
