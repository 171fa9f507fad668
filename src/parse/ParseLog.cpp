#include "parse/ParseLog.h"

#include <cstring>

namespace ombrel {

// Placeholder until the classifier lands: reads nothing.
std::variant<ParseResult, Failure> ParseLog(const std::filesystem::path& path, std::string_view,
                                            const AttackVerbTable&, const Progress&) {
  return Failure{path.string(), "not implemented"};
}

ParseResult ParseLogBuffer(std::unique_ptr<char[]> buffer, size_t size, std::string_view,
                           const AttackVerbTable&, const Progress&) {
  ParseResult result;
  result.DamageTable = DamageTable(std::move(buffer), size);
  return result;
}

ParseResult ParseLogText(std::string_view text, std::string_view character_name,
                         const AttackVerbTable& verbs) {
  auto buffer = std::make_unique<char[]>(text.size() + 1);
  if (!text.empty()) std::memcpy(buffer.get(), text.data(), text.size());
  return ParseLogBuffer(std::move(buffer), text.size(), character_name, verbs);
}

void WriteDataCsv(std::ostream&, const DamageTable&) {}

}  // namespace ombrel
