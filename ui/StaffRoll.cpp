#include "ui/StaffRoll.h"

namespace velmora {

// Not yet written: the staff roll lands with the title screen and the logo demo.
void PlayStaffRoll(Game& /*game*/) {}
void StaffRollTick(Game& /*game*/) {}

} // namespace velmora
