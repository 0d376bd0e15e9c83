#pragma once

#include "quiz/QuizFile.h"

#include <QString>

#include <array>

namespace velmora {

class Game;
class RandomSource;

inline constexpr int kQuestionsPerQuiz = 10;

// One question as it is asked: the answers in the order of the three buttons, each with the
// point code it earns ("00", nobody, for the two that do not score).
struct QuizQuestion {
    int record = 0; // 1 to 30, in file order
    QString text;
    std::array<QString, 3> answers;
    std::array<QString, 3> codes;
};

// Draws ten different records of the pool and shuffles each one's answers, all before the first
// question is shown, from the draws of `random` (already seeded).
std::array<QuizQuestion, kQuestionsPerQuiz> DrawQuestions(const QuestionPool& pool, RandomSource& random);

void SwapText(QString& first, QString& second);

// "【問題 1】" … "【問題 10】": one blank after 問題, where a sign would stand.
QString QuestionHeader(int number);

// The quiz: its introduction, then ten questions from the question file, each answered with one
// of three buttons; the answer's point code gives its heroines their points.
void PlayQuiz(Game& game);

} // namespace velmora
