#include "record/StartupCheck.h"

namespace velmora {

// Not yet written: the record's reading and validation land separately.
void CheckClearRecord(Game& /*game*/) {}

} // namespace velmora
