// Native builds have no ANSI code page of their own: Windows-1252 stands in.
#include "common/text_encoding.h"

namespace tessel {

const AnsiCodePage& SystemAnsiCodePage() { return Windows1252(); }

}  // namespace tessel
