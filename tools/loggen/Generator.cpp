#include "loggen/Generator.h"

namespace ombrel::loggen {
namespace {

constexpr size_t kFlushBytes = size_t{1} << 18;

}  // namespace

Generator::Generator(const Options& o, std::ostream& out)
    : opt_(o), out_(out), rng_(o.seed ^ 0x6F6D6272656C6C67ull), clock_(o.start) {
  done_ = opt_.target_bytes == 0;
  // Threshold on a 32-bit draw; the double product is exact IEEE arithmetic.
  double r = opt_.malformed_rate < 0 ? 0 : (opt_.malformed_rate > 1 ? 1 : opt_.malformed_rate);
  malformed_threshold_ = static_cast<uint64_t>(r * 4294967296.0);
  if (opt_.malformed_kinds == 0) malformed_threshold_ = 0;
  buf_.reserve(kFlushBytes + 4096);
  BuildParty();
}

Stats Generator::Run() {
  Intro();
  uint64_t fight_no = 0;
  while (!done_) {
    Fight(fight_no);
    if (!done_) Idle(fight_no);
    ++fight_no;
  }
  Flush();
  return st_;
}

bool Generator::BudgetSpent(uint64_t fight_no, double share) const {
  if (opt_.fights_per_mib == 0) return false;
  const double per_fight = 1048576.0 / opt_.fights_per_mib;
  return static_cast<double>(st_.bytes) >= (static_cast<double>(fight_no) + share) * per_fight;
}

void Generator::Flush() {
  if (!buf_.empty()) out_.write(buf_.data(), static_cast<std::streamsize>(buf_.size()));
  buf_.clear();
}

void Generator::Close(Kind k) {
  buf_.append("\r\n", 2);
  if (done_) {  // size reached: drop whatever still comes
    buf_.resize(line_start_);
    return;
  }
  st_.bytes += buf_.size() - line_start_;
  ++st_.lines;
  switch (k) {
    case Kind::Combat:
      ++st_.combat_lines;
      break;
    case Kind::Chat:
      ++st_.chat_lines;
      break;
    case Kind::Other:
      ++st_.other_lines;
      break;
  }
  if (st_.bytes >= opt_.target_bytes) done_ = true;
  if (buf_.size() >= kFlushBytes) Flush();
}

void Generator::Line(string_view text, Kind k) {
  Open();
  Put(text);
  Close(k);
}

void Generator::BuildParty() {
  Actor me{"You", Role::Owner, opt_.character + "`s warder", kOwnerVerbs, 6, 42, true};
  party_.push_back(me);
  std::vector<Member> members(kCore.begin(), kCore.end());
  std::array<Member, kExtra.size()> extra = kExtra;
  for (size_t i = extra.size() - 1; i > 0; --i) std::swap(extra[i], extra[rng_.Below(i + 1)]);
  const size_t n_extra = static_cast<size_t>(rng_.Range(1, 6));
  members.insert(members.end(), extra.begin(),
                 extra.begin() + static_cast<std::ptrdiff_t>(n_extra));
  for (const Member& m : members) {
    if (opt_.character == m.name) continue;
    Actor a{m.name, m.role, "", RoleVerbs(m.role), 5, 40, false};
    switch (m.role) {
      case Role::Tank:
        a.lo = 10;
        a.hi = 48;
        break;
      case Role::Rogue:
        a.lo = 8;
        a.hi = 44;
        break;
      case Role::Berserker:
        a.lo = 12;
        a.hi = 55;
        break;
      case Role::Caster:
        a.lo = 1;
        a.hi = 12;
        break;
      case Role::Healer:
        a.lo = 2;
        a.hi = 18;
        break;
      case Role::PetOwner:
        a.lo = 3;
        a.hi = 20;
        a.pet = a.name + "`s pet";
        break;
      default:
        break;
    }
    if (m.role == Role::Tank && tank_ == 0) tank_ = party_.size();
    party_.push_back(std::move(a));
  }
  if (tank_ == 0) tank_ = 1 < party_.size() ? 1 : 0;
}

// How an actor is named as the target of a mob's attack.
std::string_view Generator::TargetName(size_t i) const {
  return i == 0 ? string_view("YOU") : string_view(party_[i].name);
}

void Generator::Intro() {
  Line("Hail, traveller! Well met...", Kind::Other);
  Open();
  Put("You have entered ");
  Put(kZones[zone_].name);
  Put('.');
  Close(Kind::Other);
  for (size_t i = 1; i < party_.size() && !done_; ++i) {
    Open();
    Put(party_[i].name);
    Put(" has joined the group.");
    Close(Kind::Other);
  }
  clock_.Advance(rng_.Range(3, 20));
}

}  // namespace ombrel::loggen
