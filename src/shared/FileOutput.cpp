#include "shared/FileOutput.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <random>
#include <system_error>

namespace ombrel {

std::optional<Failure> WriteFileAtomically(const std::filesystem::path& path,
                                           const std::function<void(std::ostream&)>& write) {
  namespace fs = std::filesystem;
  const std::string shown = path.string();
  std::error_code ec;
  if (fs::is_directory(path, ec)) return Failure{shown, "Is a directory"};
  std::random_device rd;
  fs::path temp = path;
  temp += ".tmp" + std::to_string(rd() % 1000000);
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out) {
      const int err = errno;
      return Failure{shown, err != 0 ? std::strerror(err) : "cannot create the file"};
    }
    write(out);
    out.flush();
    if (!out) {
      const int err = errno;
      out.close();
      fs::remove(temp, ec);
      return Failure{shown, err != 0 ? std::strerror(err) : "cannot write the file"};
    }
    out.close();
    if (!out) {
      fs::remove(temp, ec);
      return Failure{shown, "cannot write the file"};
    }
  }
  fs::rename(temp, path, ec);
  if (ec) {
    std::error_code ignored;
    fs::remove(temp, ignored);
    return Failure{shown, ec.message()};
  }
  return std::nullopt;
}

}  // namespace ombrel
