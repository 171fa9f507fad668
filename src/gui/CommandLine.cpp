#include "gui/CommandLine.h"

#include <string_view>

namespace ombrel::gui {

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
  CommandLine line;
  if (!args.empty()) line.rest.push_back(args.front());
  auto take_log = [&line](const std::string& arg) {
    if (line.log) {
      line.error = "only one log can be opened: " + arg;
    } else {
      line.log = arg;
    }
  };
  bool only_logs = false;
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const std::string_view view(arg);
    if (only_logs || view.empty() || view.front() != '-' || view == "-") {
      take_log(arg);
    } else if (view == "--") {
      only_logs = true;
    } else if (view == "--name") {
      if (i + 1 >= args.size()) {
        line.error = "--name needs the character's name";
      } else {
        line.name = args[++i];
      }
    } else if (view.starts_with("--name=")) {
      line.name = arg.substr(7);
    } else if (view == "--follow") {
      line.follow = true;
    } else if (view == "--help" || view == "-h") {
      line.help = true;
    } else if (view == "--version") {
      line.version = true;
    } else {
      line.rest.push_back(arg);  // -platform offscreen, -style ...: Qt's
      // A Qt option's value follows it; it is no log.
      if ((view == "-platform" || view == "-style" || view == "-display" || view == "-geometry" ||
           view == "-qwindowgeometry" || view == "-qwindowtitle" || view == "-qwindowicon" ||
           view == "-platformpluginpath" || view == "-platformtheme") &&
          i + 1 < args.size()) {
        line.rest.push_back(args[++i]);
      }
    }
  }
  return line;
}

std::string CommandLineUsage() {
  return "Usage: ombrel-raid [--name NAME] [--follow] [LOG]\n"
         "Analyses a game's combat log by fight.\n"
         "\n"
         "  --name NAME  your character's name as the log writes it\n"
         "  --follow     follow LOG while the game writes it\n"
         "  LOG          a log to parse at once\n"
         "  --help       this text\n"
         "  --version    the program's version\n";
}

}  // namespace ombrel::gui
