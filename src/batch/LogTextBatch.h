#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace ombrel {

// The batch's commands on the log's own lines: --find prints the matching
// lines as "LINE:TEXT" (exit 0 when some matched, 1 when none, 2 on a bad
// pattern, a usage error or a log that cannot be read); --lines K writes the
// lines of fight K. Nothing when `args` asks for neither.
std::optional<int> RunLogTextBatch(const std::vector<std::string>& args, std::ostream& out,
                                   std::ostream& err);

// The usage lines of those commands.
std::string LogTextUsage();

}  // namespace ombrel
