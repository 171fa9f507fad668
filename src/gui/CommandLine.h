#pragma once

#include <optional>
#include <string>
#include <vector>

namespace ombrel::gui {

// The window's command line, `ombrel-raid [--name NAME] [--follow] [LOG]`, taken apart
// before Qt sees it: Qt's own options include -name (and reads --name the
// same way), which would swallow the character's name.
struct CommandLine {
  std::optional<std::string> name;
  std::optional<std::string> log;
  bool follow = false;  // follow the log instead of parsing it once
  bool help = false;
  bool version = false;
  std::string error;              // a usage error, empty when none
  std::vector<std::string> rest;  // the program and the arguments left for Qt
};

// `args` starts with the program. "--name NAME" and "--name=NAME" give the
// name; "--" makes every later argument a log; an argument that does not
// start with "-" is the log (one at most); other options go to Qt.
CommandLine ParseCommandLine(const std::vector<std::string>& args);

// The usage text for --help and errors.
std::string CommandLineUsage();

}  // namespace ombrel::gui
