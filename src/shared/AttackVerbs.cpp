#include "shared/AttackVerbs.h"

namespace ombrel {

std::string_view ThirdPersonForm(AttackVerbList verbs, std::string_view name) {
  for (size_t k = 1; k < verbs.size(); k += 2)
    if (verbs[k] == name) return verbs[k - 1];
  return name;
}

}  // namespace ombrel
