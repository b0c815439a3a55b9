// The sound fuzzer's seeds through what the Linux player does with them: each passes the
// header check and its decoder takes it, a WAV decoded whole through the plain view of it.
// A WAV of 0 channels, which crashed SDL_mixer's music loader, never reaches it.
#include <gtest/gtest.h>

#include <filesystem>

#include "fuzz/sound_decode_check.h"
#include "tests/unit/test_support.h"

namespace slidesaver::sound_fuzzing {
namespace {

TEST(SoundDecoders, EveryFuzzSeedIsDecodedAndNoChannelsIsRefused) {
  ASSERT_TRUE(StartDecoders()) << SDL_GetError();
  int seeds = 0;
  for (const auto& entry : std::filesystem::directory_iterator(
           std::filesystem::path(SLIDESAVER_SOURCE_DIR) / "fuzz/sound-corpus")) {
    SCOPED_TRACE(entry.path().string());
    std::vector<uint8_t> bytes = testing::ReadBytes(entry.path().string());
    EXPECT_TRUE(DecodeCheckedSound(bytes)) << SDL_GetError();
    if (entry.path().filename() == "tone16.wav") {
      bytes[22] = 0;  // the format's channels
      EXPECT_FALSE(DecodeCheckedSound(bytes));
    }
    ++seeds;
  }
  EXPECT_GE(seeds, 9);
  Mix_CloseAudio();
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

}  // namespace
}  // namespace slidesaver::sound_fuzzing
