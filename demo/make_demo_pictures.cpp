// Makes the files of the bundled demo show: the pictures (JPEG), three short sounds (WAV) and
// the music (MIDI), all drawn or synthesised here so the repository holds no large binaries.
//
//   make_demo_pictures OUTPUT_FOLDER
//
// Writes OUTPUT_FOLDER/demo-files.stamp last, so a build system can depend on it.
#include <SDL.h>
#include <SDL_image.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "demo_audio.h"
#include "demo_pictures.h"

namespace {

bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) std::fprintf(stderr, "make_demo_pictures: %s: cannot write\n", path.c_str());
  return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_demo_pictures OUTPUT_FOLDER\n");
    return 2;
  }
  const std::string folder = std::string(argv[1]) + "/";
  if ((IMG_Init(IMG_INIT_JPG) & IMG_INIT_JPG) == 0) {
    std::fprintf(stderr, "make_demo_pictures: no JPEG support: %s\n", IMG_GetError());
    return 1;
  }
  int status = 0;
  for (const demo::PictureSpec& spec : demo::DemoPictures()) {
    demo::Canvas canvas(spec.width, spec.height, demo::kBackground);
    canvas.Paint(spec.painter, spec.samples);
    const std::string error = canvas.SaveJpeg(folder + spec.file, 90, spec.colour_keyed);
    if (!error.empty()) {
      std::fprintf(stderr, "make_demo_pictures: %s\n", error.c_str());
      status = 1;
    }
  }
  const bool sounds =
      WriteBytes(folder + "chime.wav", demo::WaveFile(demo::Chime(880, 0.9))) &&
      WriteBytes(folder + "low-chime.wav", demo::WaveFile(demo::Chime(523.25, 1.1))) &&
      WriteBytes(folder + "pop.wav", demo::WaveFile(demo::Pop())) &&
      WriteBytes(folder + "sweep.wav", demo::WaveFile(demo::Sweep())) &&
      WriteBytes(folder + "music.mid", demo::MusicFile());
  if (!sounds) status = 1;
  IMG_Quit();
  if (status == 0 && !WriteBytes(folder + "demo-files.stamp", {'o', 'k', '\n'})) status = 1;
  return status;
}
