// libFuzzer target for sounds and music: the header check, then the Linux player's decoders
// (fuzz/sound_decode_check.h).
#include <cstdlib>

#include "fuzz/sound_decode_check.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  if (!slidesaver::sound_fuzzing::StartDecoders()) std::abort();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  slidesaver::sound_fuzzing::DecodeCheckedSound(std::span(data, size));
  return 0;
}
