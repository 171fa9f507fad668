#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <ostream>

#include "shared/Failure.h"

namespace ombrel {

// Writes a whole file through `write`: into a temporary file in the same
// folder, renamed over `path` once everything was written. A failure leaves no
// partial file and names the path and the reason.
std::optional<Failure> WriteFileAtomically(const std::filesystem::path& path,
                                           const std::function<void(std::ostream&)>& write);

}  // namespace ombrel
