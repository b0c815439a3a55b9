#include "startup/program_options.h"

#include <algorithm>
#include <charconv>

namespace slidesaver {
namespace {

std::optional<uint32_t> ParseWindowId(const std::string& text) {
  const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  const char* begin = text.data() + (hex ? 2 : 0);
  const char* end = text.data() + text.size();
  uint32_t id = 0;
  const auto [stop, error] = std::from_chars(begin, end, id, hex ? 16 : 10);
  if (begin == end || error != std::errc() || stop != end || id == 0) return std::nullopt;
  return id;
}

std::optional<gdi::AreaFit> ParseFit(const std::string& text) {
  if (text == "none") return gdi::AreaFit::OwnSize;
  if (text == "fill") return gdi::AreaFit::Fill;
  if (text == "sharp") return gdi::AreaFit::Sharp;
  return std::nullopt;
}

std::optional<int> ParseIdleSeconds(const std::string& text) {
  int seconds = 0;
  const auto [stop, error] = std::from_chars(text.data(), text.data() + text.size(), seconds);
  if (text.empty() || error != std::errc() || stop != text.data() + text.size() || seconds < 1 ||
      seconds > kMaxIdleSeconds) {
    return std::nullopt;
  }
  return seconds;
}

const char* FitName(gdi::AreaFit fit) {
  switch (fit) {
    case gdi::AreaFit::Fill:
      return "fill";
    case gdi::AreaFit::Sharp:
      return "sharp";
    case gdi::AreaFit::OwnSize:
      break;
  }
  return "none";
}

ProgramOptions UsageError(std::string message) {
  ProgramOptions options;
  options.action = ProgramOptions::Action::UsageError;
  options.error = std::move(message);
  return options;
}

}  // namespace

ProgramOptions ParseProgramOptions(const std::vector<std::string>& arguments) {
  ProgramOptions options;
  bool help = false, version = false, options_ended = false;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    // No option begins with a digit: "-7" is a number for the mode (the owner window of /A).
    const bool negative_number = argument.size() > 1 && argument[0] == '-' &&
                                 ((argument[1] >= '0' && argument[1] <= '9') || argument[1] == '.');
    if (options_ended || argument.empty() || argument[0] != '-' || negative_number) {
      options.mode_arguments.push_back(argument);
      continue;
    }
    if (argument == "--") {
      options_ended = true;
      continue;
    }
    std::string name = argument.substr(argument.compare(0, 2, "--") == 0 ? 2 : 1);
    std::optional<std::string> value;
    if (const size_t equals = name.find('='); equals != std::string::npos) {
      value = name.substr(equals + 1);
      name.erase(equals);
    }
    const bool folder_choice =
        std::find(std::begin(kFolderShowOptions), std::end(kFolderShowOptions), name) !=
        std::end(kFolderShowOptions);
    const bool takes_value = name == "show" || name == "window-id" || name == "fit" ||
                             name == "folder" || name == "idle" || folder_choice;
    const bool flag = name == "help" || name == "version" || name == "root" || name == "window" ||
                      name == "wayland" || name == "xscreensaver-images";
    if (!takes_value && !flag) return UsageError("unknown option " + argument);
    if (takes_value && !value) {
      if (i + 1 == arguments.size()) return UsageError("option --" + name + " needs a value");
      value = arguments[++i];
    } else if (!takes_value && value) {
      return UsageError("option --" + name + " takes no value");
    }
    if (name == "help") {
      help = true;
    } else if (name == "version") {
      version = true;
    } else if (name == "show") {
      if (value->empty()) return UsageError("option --show needs a file");
      options.show_file = *value;
    } else if (name == "folder") {
      if (value->empty()) return UsageError("option --folder needs a folder");
      options.folder = *value;
    } else if (name == "xscreensaver-images") {
      options.xscreensaver_images = true;
    } else if (folder_choice) {
      options.folder_choices[name] = *value;
    } else if (name == "root") {
      options.target = ShowTarget::Root;
      options.window_id = 0;
    } else if (name == "window") {
      options.target = ShowTarget::OwnWindow;
      options.window_id = 0;
    } else if (name == "wayland") {
      options.wayland = true;
    } else if (name == "window-id") {
      const std::optional<uint32_t> id = ParseWindowId(*value);
      if (!id) return UsageError("not a window id: " + *value);
      options.target = ShowTarget::WindowId;
      options.window_id = *id;
    } else if (name == "idle") {
      options.idle_seconds = ParseIdleSeconds(*value);
      if (!options.idle_seconds) {
        return UsageError("--idle takes whole seconds from 1 to " +
                          std::to_string(kMaxIdleSeconds) + ", not " + *value);
      }
    } else if (name == "fit") {
      const std::optional<gdi::AreaFit> fit = ParseFit(*value);
      if (!fit) return UsageError("--fit takes none, fill or sharp, not " + *value);
      options.fit = *fit;
    } else {
      return UsageError("unknown option " + argument);
    }
  }
  if (help) {
    options.action = ProgramOptions::Action::Help;
  } else if (version) {
    options.action = ProgramOptions::Action::Version;
  } else if (options.folder && options.show_file) {
    return UsageError("--folder and --show: one show at a time");
  } else if (options.idle_seconds && options.target != ShowTarget::Mode) {
    return UsageError(
        "--idle plays the show full screen: not with --root, --window-id or --window");
  } else if (options.idle_seconds && !options.mode_arguments.empty()) {
    return UsageError("--idle plays the show full screen: no mode argument (" +
                      options.mode_arguments.front() + ") goes with it");
  } else if (options.target != ShowTarget::Mode && !options.mode_arguments.empty()) {
    return UsageError("--root, --window-id and --window play the show: no mode argument (" +
                      options.mode_arguments.front() + ") goes with them");
  }
  return options;
}

std::vector<std::string> IdleShowArguments(const ProgramOptions& options) {
  std::vector<std::string> arguments;
  if (options.show_file) arguments.push_back("--show=" + *options.show_file);
  if (options.folder) arguments.push_back("--folder=" + *options.folder);
  if (options.xscreensaver_images) arguments.push_back("--xscreensaver-images");
  for (const auto& [name, value] : options.folder_choices)
    arguments.push_back("--" + name + "=" + value);
  if (options.fit != gdi::AreaFit::OwnSize)
    arguments.push_back(std::string("--fit=") + FitName(options.fit));
  if (options.wayland) arguments.push_back("--wayland");
  arguments.push_back("/S");
  return arguments;
}

std::string UsageText() {
  return "Usage: slidesaver [--show FILE] [--fit FIT] [/S | /C | /A [WINDOW] | /P]\n"
         "       slidesaver [--show FILE] [--fit FIT] --root | --window-id ID | --window\n"
         "       slidesaver --folder DIR [FOLDER OPTIONS] /S | --root | --window-id ID | --window\n"
         "       slidesaver --idle SECONDS [--show FILE | --folder DIR ...] [--fit FIT]\n"
         "Plays the slide show appended to the program's own file, or to FILE, or the\n"
         "pictures in DIR.\n"
         "\n"
         "Modes:\n"
         "  /S              the show, full screen, until a key, a button or the mouse ends it\n"
         "  /C              the show's settings (background music and sounds)\n"
         "  /A              change the screen-saver password\n"
         "  /P              nothing (the preview of other systems)\n"
         "\n"
         "Options:\n"
         "  --show FILE     play the show appended to FILE (a show file made by slidepack,\n"
         "                  for Linux or Windows) instead of the program's own; its settings\n"
         "                  are FILE's name with .set, beside it or, where that folder is not\n"
         "                  writable, in $XDG_CONFIG_HOME/slidesaver/\n"
         "  --root          play in the window $XSCREENSAVER_WINDOW names, else on the root\n"
         "                  window (as a program of an X screen saver such as xscreensaver)\n"
         "  --window-id ID  play in the window ID (decimal or 0x-hexadecimal); a window\n"
         "                  smaller than the show is given all of it, scaled down\n"
         "  --window        play in a window of its own; closing it ends the show\n"
         "  --wayland       show it through the Wayland compositor (the default when\n"
         "                  WAYLAND_DISPLAY is set and DISPLAY is not)\n"
         "  --fit FIT       how the show meets a larger screen or window: none (its own\n"
         "                  size, centred; the default), fill (the largest size that fits,\n"
         "                  aspect kept, smoothly enlarged) or sharp (the largest whole\n"
         "                  factor that fits, each pixel a square block)\n"
         "  --folder DIR    play the pictures in DIR and its folders (hidden ones left out),\n"
         "                  fitted to the screen or window; pictures copied there while it\n"
         "                  plays are shown as they arrive\n"
         "  --xscreensaver-images  play the pictures of the folder xscreensaver's settings\n"
         "                  choose for images (imageDirectory in ~/.xscreensaver), when no\n"
         "                  --folder is given\n"
         "  --idle SECONDS  stay in the background and play the show full screen, as /S\n"
         "                  does, each time the session has been idle SECONDS (1 to\n"
         "                  86400): an X11 session, sway, KWin or GNOME on Wayland; the\n"
         "                  next show waits for input and a new idle time; no show while\n"
         "                  xscreensaver runs; one watcher per display\n"
         "  --help          show this text\n"
         "  --version       show the version\n"
         "In the window of --root and --window-id, input does not end the show: the screen\n"
         "saver that started it ends it with SIGTERM. With /S the show covers every\n"
         "monitor, its area on the primary one.\n"
         "\n"
         "Folder options:\n"
         "  --time MS                 each picture stays MS milliseconds (5000)\n"
         "  --effects all|random|N,M  the transitions: 1 to 35 in turn, random (never the\n"
         "                            same twice in a row; the default), or these in turn\n"
         "  --speed N                 transition speed: 0 normal, each step twice as fast\n"
         "  --order shuffle|name|date every picture once a round in random order (the\n"
         "                            default), by name, or by the time it was taken\n"
         "  --music FILE              music looped under the show (MIDI, WAV, OGG, MP3)\n"
         "  --background \"#RRGGBB\"   the colour around the pictures (#000000)\n"
         "  --folder-fit contain|cover all of each picture (the default), or the area filled\n"
         "                            and the rest cut off\n"
         "Defaults for any option come from $XDG_CONFIG_HOME/slidesaver/slidesaver.conf, one\n"
         "'name = value' a line ('time = 8000'); the command line wins, and a show or\n"
         "folder it names replaces the file's.\n";
}

}  // namespace slidesaver
