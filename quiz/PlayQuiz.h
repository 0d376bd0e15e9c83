#pragma once

namespace velmora {

class Game;

// Ten questions drawn from the question file; each scoring answer gives its heroines points.
void PlayQuiz(Game& game);

} // namespace velmora
