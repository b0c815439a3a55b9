#include "platform/linux/password_switch.h"

namespace slidesaver::linux_platform {

bool ReadPasswordSwitch() { return false; }  // not read yet

}  // namespace slidesaver::linux_platform
