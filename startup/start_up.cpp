#include "startup/start_up.h"

#include <stdexcept>

#include "common/resume_next.h"
#include "package/extract_files.h"
#include "package/read_package.h"
#include "settings/settings_file.h"
#include "settings/settings_form.h"
#include "show/show_form.h"
#include "startup/command_line.h"

namespace slidesaver {
namespace {

constexpr const char* kNoSettingsText = "設定項目はありません";
constexpr const char* kNoSettingsTitle = "スクリーンセーバー";

// Where a skipped step is told: the program's log.
auto LogTo(platform::Platform& platform) {
  return [&platform](const std::string& text) { platform.process.Log(text); };
}

void ShowSettings(platform::Platform& platform, AppState& app) {
  if (app.Package.HasSettings == 0) {
    platform.dialogs.MessageBox(kNoSettingsText, kNoSettingsTitle,
                                platform::MessageIcon::Information);
    return;
  }
  SettingsForm form(platform.files, platform.dialogs, app.settings,
                    platform.process.ProgramBaseName());
  form.Show();
  platform.dialogs.ShowSettingsDialog(form);
}  // the form is unloaded here

// A show of its own slides at the size of the place it plays in, its music on and no settings
// file.
void PlayOwnShow(platform::Platform& platform, const ShowSourceMaker& make) {
  const std::unique_ptr<ShowSource> source = make(platform.window.GetScreenSize(), LogTo(platform));
  Settings settings;
  settings.BgmEnabled = -1;
  settings.SoundEnabled = -1;
  ResumeNext("the show", LogTo(platform),
             [&] { RunShowForm(platform, source->Show(), settings, *source); });
}

void ChangePassword(platform::Platform& platform, const std::string& arguments) {
  platform::WindowHandle owner = static_cast<uint32_t>(OwnerWindowArgument(arguments));
  if (owner == 0)
    ResumeNext("finding the foreground window", LogTo(platform),
               [&] { owner = platform.system.ForegroundWindow(); });
  platform.dialogs.ChangePassword(owner);
}

}  // namespace

void StartUp(platform::Platform& platform, AppState& app, const StartOptions& options) {
  bool another_instance = false;
  ResumeNext("looking for another instance", LogTo(platform),
             [&] { another_instance = platform.process.AnotherInstanceRunning(); });
  if (another_instance) return;
  if (options.own_show) return PlayOwnShow(platform, options.own_show);

  std::string folder;
  std::string base_name;
  platform::PathRules paths;
  ResumeNext("finding the program's file", LogTo(platform), [&] {
    folder = platform.process.ProgramFolder();
    base_name = platform.process.ProgramBaseName();
    paths = platform.files.GetPathRules();
  });

  const std::string package_path =
      options.show_file ? *options.show_file : paths.Join(folder, base_name + ".scr");
  PackageReadResult package_read;
  if (options.show_file || options.play_show) {
    package_read = ReadPackageFile(platform.files, package_path, app.Package);
    if (!package_read.complete) {
      throw std::runtime_error(options.show_file_named_at + package_path + ": no show (" +
                               package_read.problem + ")");
    }
  } else {
    ResumeNext("reading the show", LogTo(platform),
               [&] { package_read = ReadPackageFile(platform.files, package_path, app.Package); });
  }

  app.settings.SettingsPath =
      options.show_file ? options.settings_file : paths.Join(folder, base_name + ".set");
  ResumeNext("reading the settings", LogTo(platform),
             [&] { ReadSettings(platform.files, app.settings); });

  std::string arguments;
  ResumeNext("reading the command line", LogTo(platform),
             [&] { arguments = platform.process.CommandLineArguments(); });
  const std::string mode = options.play_show ? "/S" : CommandLineMode(arguments);

  if (mode == "/S") {
    // The extracted files and their folder go when `extracted` does, however the show ended.
    ExtractedShow extracted(platform.files);
    ResumeNext("extracting the show", LogTo(platform),
               [&] { extracted = ExtractFiles(platform, app.Package); });
    // A Package read only in part is said in the show's error box and log.
    ResumeNext("the show", LogTo(platform), [&] {
      RunShowForm(platform, app.Package, app.settings, extracted, package_read.problem);
    });
  } else if (mode == "/C") {
    ResumeNext("the settings dialog", LogTo(platform), [&] { ShowSettings(platform, app); });
  } else if (mode == "/A") {
    ResumeNext("the password change", LogTo(platform),
               [&] { ChangePassword(platform, arguments); });
  }
  // "/P" and anything else: nothing is done.
}

}  // namespace slidesaver
