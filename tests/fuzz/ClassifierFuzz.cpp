// Feeds arbitrary bytes to the parser as a log and checks it against the
// literal reference of the rules: same records, mob list, line and
// unreadable-line counts, under both rule sets. The first input byte chooses the length of the
// character name taken from the bytes after it.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ostream>
#include <streambuf>
#include <string_view>

#include "parse/DataCsv.h"
#include "parse/ParseLog.h"
#include "parse/ReferenceParse.h"

namespace {

class Discard : public std::streambuf {
 protected:
  std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
  int_type overflow(int_type ch) override { return traits_type::not_eof(ch); }
};

[[noreturn]] void Disagree(const char* what) {
  std::fprintf(stderr, "parser and reference disagree: %s\n", what);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  if (input.empty()) return 0;
  const size_t name_length =
      std::min<size_t>(static_cast<uint8_t>(input[0]) % 16, input.size() - 1);
  const std::string_view name = input.substr(1, name_length);
  const std::string_view log = input.substr(1 + name_length);

  // The default rules and the extended ones, each against its reference.
  for (const ombrel::LineRules rules :
       {ombrel::LineRules::kDefault, ombrel::LineRules::kExtended}) {
    const ombrel::AttackVerbList verbs = ombrel::AttackVerbsOf(rules);
    const ombrel::ParseResult fast = ombrel::ParseLogText(log, name, verbs, rules);
    const ombrel::testing::ReferenceResult slow =
        ombrel::testing::ReferenceParse(log, name, verbs, rules);
    if (fast.lines != slow.lines) Disagree("lines");
    if (fast.unreadable_lines != slow.unreadable_lines) Disagree("unreadable lines");
    if (ombrel::testing::ToReference(fast.DamageTable) != slow.records) Disagree("records");
    if (fast.MobList.size() != slow.mobs.size()) Disagree("mob list size");
    for (size_t k = 0; k < slow.mobs.size(); ++k)
      if (fast.MobList[k] != slow.mobs[k]) Disagree("mob list");

    Discard discard;
    std::ostream out(&discard);
    ombrel::WriteDataCsv(out, fast.DamageTable, {}, fast.written_names);
  }
  return 0;
}
