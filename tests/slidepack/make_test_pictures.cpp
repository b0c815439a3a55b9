// Writes the slidepack tests' pictures into a folder, for checks outside the test program
// (the Windows player under Wine):  make_test_pictures FOLDER [WIDTH HEIGHT]
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "test_pictures.h"

int main(int argc, char** argv) {
  if (argc != 2 && argc != 4) {
    std::fprintf(stderr, "usage: %s FOLDER [WIDTH HEIGHT]\n", argv[0]);
    return 2;
  }
  const int width = argc == 4 ? std::atoi(argv[2]) : 400;
  const int height = argc == 4 ? std::atoi(argv[3]) : 300;
  for (const auto& picture : slidepack_test::AllTestPictures(width, height, true)) {
    std::ofstream out(std::string(argv[1]) + "/" + picture.file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(picture.bytes.data()),
              static_cast<std::streamsize>(picture.bytes.size()));
    if (!out) {
      std::perror(picture.file.c_str());
      return 1;
    }
  }
  return 0;
}
