#pragma once
// Names Windows opens as a device rather than as a file: extraction never writes one, and
// slidepack never gives one to a file it writes.
#include <string_view>

namespace slidesaver {

// CON, PRN, AUX, NUL, COM1 to COM9, LPT1 to LPT9, CONIN$ and CONOUT$, in any case, also with
// blanks after them and with anything after a '.' or ':' (an extension, a stream): "con",
// "Lpt1.jpg", "CON .txt", "nul.tar.gz" and "aux." are all devices.
bool IsWindowsDeviceName(std::string_view name);

}  // namespace slidesaver
