// slidepack: writes a manifest for a folder of pictures, builds a show file from a manifest,
// prints a show file's manifest, unpacks a show file into a folder that builds the same file
// again, and renders a show as a video or a contact sheet.
#include <CLI/CLI.hpp>
#include <iostream>

#include "photos/vips_preparer.h"
#include "platform/linux/linux_platform.h"
#include "tools/slidepack/commands.h"
#include "tools/slidepack/new_show.h"
#include "tools/slidepack/players.h"
#include "tools/slidepack/slidepack_error.h"

int main(int argc, char** argv) {
  CLI::App app{"slidepack: makes, inspects, unpacks and renders slide-show screen savers"};
  app.require_subcommand(1);

  slidepack::NewShowOptions show;
  std::vector<std::string> inputs;
  std::string size, fit = "contain", order = "name", music;
  auto* create =
      app.add_subcommand("new", "Write a manifest with one slide per picture, to edit and build");
  create
      ->add_option("PICTURES_OR_FOLDERS", inputs,
                   "Pictures, and folders searched for pictures (recursively)")
      ->required();
  show.output = "show.toml";  // in the current folder, as `build` takes it
  create->add_option("-o,--output", show.output, "The manifest to write")->capture_default_str();
  create->add_option("--size", size,
                     "The show area, WIDTHxHEIGHT (default: the primary monitor's size, else "
                     "1920x1080)");
  create->add_option("--time", show.time, "Milliseconds each picture stays on screen")
      ->check(CLI::Range(0, INT32_MAX))
      ->capture_default_str();
  create
      ->add_option("--effects", show.effects,
                   "Transitions: all (1 to " + std::to_string(slidepack::kMaxEffect) +
                       " in turn), random, or a list N,M,...")
      ->capture_default_str();
  create->add_option("--seed", show.seed, "The seed of --effects random")->capture_default_str();
  create->add_option("--speed", show.speed, "Transition speed: 0 normal, each step twice as fast")
      ->check(CLI::Range(0, slidepack::kMaxSpeed))
      ->capture_default_str();
  create->add_option("--music", music, "Background music (MIDI, WAV, OGG, MP3)");
  create->add_option("--background", show.background, "Background colour, \"#RRGGBB\"")
      ->capture_default_str();
  create->add_option("--fit", fit, "contain, cover or none")
      ->check(CLI::IsMember({"contain", "cover", "none"}))
      ->capture_default_str();
  create->add_option("--order", order, "name, or date (the time the picture was taken)")
      ->check(CLI::IsMember({"name", "date"}))
      ->capture_default_str();
  create->add_flag("--force", show.overwrite, "Replace the manifest if it exists");

  std::string manifest, output, player, target = "linux";
  slidepack::BuildOptions build_options;
  auto* build = app.add_subcommand("build", "Build a show file from a manifest");
  build->add_option("MANIFEST", manifest, "The show's manifest (TOML)")->required();
  build->add_option("-o,--output", output, "The show file to write")->required();
  build
      ->add_option("--for", target,
                   "The show's system: linux, or windows (a .scr; its pictures are checked as "
                   "the Windows player decodes them)")
      ->check(CLI::IsMember({"linux", "windows"}))
      ->capture_default_str();
  build->add_option("--player", player,
                    "The player to copy (default: slidesaver beside slidepack, or with --for "
                    "windows the Windows player installed with it)");
  build->add_flag("--linux-only", build_options.linux_only,
                  "Accept pictures with fit = \"none\" that only the Linux player decodes");
  build
      ->add_option("--max-upscale", build_options.max_upscale,
                   "Enlarge a prepared picture by at most this factor")
      ->check(CLI::Range(1.0, 64.0))
      ->capture_default_str();

  std::string file;
  auto* info = app.add_subcommand("info", "Print a show file's manifest with the stored sizes");
  info->add_option("FILE", file, "A show file")->required();

  std::string folder;
  auto* unpack = app.add_subcommand("unpack", "Write a show file's manifest and files into DIR");
  unpack->add_option("FILE", file, "A show file")->required();
  unpack->add_option("DIR", folder, "A new or empty folder")->required();

  std::string show_path;
  slidepack::RenderOptions render_options;
  std::string render_size;
  int64_t render_slides = 0;
  bool no_audio = false;
  auto* render = app.add_subcommand(
      "render", "Write a show as a video (.mp4, .webm, .gif) or a folder of PNG frames");
  render->add_option("SHOW", show_path, "A show file or a manifest")->required();
  render->add_option("-o,--output", render_options.output, "The video file or frame folder")
      ->required();
  render->add_option("--fps", render_options.fps, "Frames per second")
      ->check(CLI::Range(1, 1000))
      ->capture_default_str();
  render->add_option("--from", render_options.from, "The first slide rendered (1: the first)")
      ->check(CLI::Range(1, INT32_MAX))
      ->capture_default_str();
  render->add_option("--slides", render_slides, "How many slides (default: the whole show)")
      ->check(CLI::Range(int64_t{1}, int64_t{INT32_MAX}));
  render->add_option("--loops", render_options.loops, "How many rounds of the show")
      ->check(CLI::Range(1, 100000))
      ->capture_default_str();
  render->add_option("--size", render_size, "The frames' WIDTHxHEIGHT (default: the show area)");
  render->add_flag("--no-audio", no_audio, "Leave the music and the sounds out");

  std::string sheet_output;
  auto* sheet = app.add_subcommand("sheet", "Write a contact sheet of a show: one row per slide");
  sheet->add_option("SHOW", show_path, "A show file or a manifest")->required();
  sheet->add_option("-o,--output", sheet_output, "The PNG to write")->required();

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    const int status = app.exit(error);
    return status == 0 ? 0 : 1;
  }

  try {
    if (*create) {
      show.inputs.assign(inputs.begin(), inputs.end());
      if (size.empty()) {
        slidepack::SizeForThisScreen(show);
      } else {
        slidepack::ParseShowSize(size, show.width, show.height);
      }
      show.fit = *slidepack::ParseFit(fit);
      show.order =
          order == "date" ? slidepack::PictureOrder::kDate : slidepack::PictureOrder::kName;
      if (!music.empty()) show.music = music;
      const auto files = slidesaver::linux_platform::MakePosixFileSystem();
      const auto folders = slidesaver::linux_platform::MakeFolderWatch();
      slidesaver::photos::VipsPreparer preparer;
      slidepack::NewShow(show, {*files, *folders, preparer});
    }
    if (*build) {
      const slidepack::ShowTarget show_target = *slidepack::ParseShowTarget(target);
      if (show_target == slidepack::ShowTarget::kWindows && build_options.linux_only) {
        throw slidepack::SlidepackError(
            "--linux-only: a show for Windows holds only pictures the Windows player decodes");
      }
      const std::filesystem::path player_file =
          player.empty() ? slidepack::DefaultPlayer(show_target, slidepack::OwnProgramFolder())
                         : std::filesystem::path(player);
      slidepack::Build(manifest, output, player_file, build_options);
    }
    if (*info) slidepack::Info(file, std::cout);
    if (*unpack) slidepack::Unpack(file, folder);
    if (*render) {
      if (render_slides > 0) render_options.slides = render_slides;
      if (!render_size.empty()) render_options.size = render_size;
      render_options.audio = !no_audio;
      slidepack::Render(show_path, render_options);
    }
    if (*sheet) slidepack::Sheet(show_path, sheet_output);
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
