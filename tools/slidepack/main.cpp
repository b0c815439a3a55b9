// slidepack: builds a show file from a manifest, prints a show file's manifest, and unpacks a
// show file into a folder that builds the same file again.
#include <CLI/CLI.hpp>
#include <iostream>

#include "tools/slidepack/commands.h"
#include "tools/slidepack/slidepack_error.h"

namespace {

// The player installed beside slidepack.
std::filesystem::path DefaultPlayer() {
  std::error_code error;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  return (error ? std::filesystem::path(".") : self.parent_path()) / "slidesaver";
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"slidepack: makes, inspects and unpacks slide-show screen savers"};
  app.require_subcommand(1);

  std::string manifest, output, player = DefaultPlayer().string();
  auto* build = app.add_subcommand("build", "Build a show file from a manifest");
  build->add_option("MANIFEST", manifest, "The show's manifest (TOML)")->required();
  build->add_option("-o,--output", output, "The show file to write")->required();
  build->add_option("--player", player,
                    "The player to copy (default: slidesaver beside slidepack)");

  std::string file;
  auto* info = app.add_subcommand("info", "Print a show file's manifest with the stored sizes");
  info->add_option("FILE", file, "A show file")->required();

  std::string folder;
  auto* unpack = app.add_subcommand("unpack", "Write a show file's manifest and files into DIR");
  unpack->add_option("FILE", file, "A show file")->required();
  unpack->add_option("DIR", folder, "A new or empty folder")->required();

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    const int status = app.exit(error);
    return status == 0 ? 0 : 1;
  }

  try {
    if (*build) slidepack::Build(manifest, output, player);
    if (*info) slidepack::Info(file, std::cout);
    if (*unpack) slidepack::Unpack(file, folder);
  } catch (const slidepack::SlidepackError& error) {
    std::cerr << "slidepack: " << error.what() << '\n';
    return 1;
  } catch (const std::exception& error) {
    std::cerr << "slidepack: " << error.what() << '\n';
    return 1;
  }
  std::cout << std::flush;
  if (!std::cout) {
    std::cerr << "slidepack: cannot write to standard output\n";
    return 1;
  }
  return 0;
}
