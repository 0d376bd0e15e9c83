#include "quiz/PlayQuiz.h"

namespace velmora {

// Not yet written: the quiz's question file and display land separately.
void PlayQuiz(Game& /*game*/) {}

} // namespace velmora
