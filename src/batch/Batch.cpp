#include "batch/Batch.h"

namespace ombrel {

int RunBatch(const std::vector<std::string>&, std::ostream&, std::ostream& err) {
  err << "ombrel-batch: not implemented yet\n";
  return 2;
}

}  // namespace ombrel
