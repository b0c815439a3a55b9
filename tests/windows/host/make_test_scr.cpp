// Builds the screen savers of the Wine tests: a copy of the player with a Package appended.
//   make_test_scr <player> <output> <width>x<height> <background 0xBBGGRR> <has settings 0|1>
//                 <slide>...
// A slide is name=file:display ms:x:y:effect, e.g. "0=red.jpg:60000:200:150:0".
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "package/write_package.h"

namespace {

std::vector<uint8_t> ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

slidesaver::SlideEntry ParseSlide(const std::string& spec) {
  const size_t equals = spec.find('=');
  if (equals == std::string::npos) throw std::runtime_error("bad slide: " + spec);
  std::vector<std::string> fields;
  std::stringstream rest(spec.substr(equals + 1));
  for (std::string field; std::getline(rest, field, ':');) fields.push_back(field);
  if (fields.size() != 5) throw std::runtime_error("bad slide: " + spec);
  slidesaver::SlideEntry slide;
  slide.PictureFileName = spec.substr(0, equals);
  slide.PictureData = slidesaver::Bytes::Copy(ReadAll(fields[0]));
  slide.DisplayTime = std::stoi(fields[1]);
  slide.PictureX = std::stoi(fields[2]);
  slide.PictureY = std::stoi(fields[3]);
  slide.EffectNumber = std::stoi(fields[4]);
  return slide;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 6) {
    std::fprintf(stderr,
                 "usage: %s player output WxH background has-settings name=file:ms:x:y:effect...\n",
                 argv[0]);
    return 2;
  }
  try {
    slidesaver::PackageHeader header;
    if (std::sscanf(argv[3], "%dx%d", &header.ShowWidth, &header.ShowHeight) != 2)
      throw std::runtime_error("bad size");
    header.BackgroundColor = static_cast<int32_t>(std::stoul(argv[4], nullptr, 0));
    header.HasSettings = std::atoi(argv[5]) ? -1 : 0;
    for (int i = 6; i < argc; ++i) header.Slides.push_back(ParseSlide(argv[i]));
    header.SlideCount = static_cast<int32_t>(header.Slides.size());
    std::vector<uint8_t> file = ReadAll(argv[1]);
    const std::vector<uint8_t> package = slidesaver::WritePackage(header);
    file.insert(file.end(), package.begin(), package.end());
    std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(file.data()),
              static_cast<std::streamsize>(file.size()));
    if (!out) throw std::runtime_error(std::string("cannot write ") + argv[2]);
    return 0;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "make_test_scr: %s\n", error.what());
    return 1;
  }
}
