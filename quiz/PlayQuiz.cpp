#include "quiz/PlayQuiz.h"

#include "ui/Game.h"
#include "core/RandomSource.h"
#include "story/Script.h"
#include "ui/LineDisplay.h"

#include <cmath>

namespace velmora {

namespace {

int Draw(RandomSource& random, int count)
{
    return static_cast<int>(std::floor(random.Next() * count + 1));
}

} // namespace

void SwapText(QString& first, QString& second)
{
    first.swap(second);
}

std::array<QuizQuestion, kQuestionsPerQuiz> DrawQuestions(const QuestionPool& pool, RandomSource& random)
{
    std::array<bool, kQuizRecordCount + 1> asked{};
    std::array<QuizQuestion, kQuestionsPerQuiz> questions;
    for (QuizQuestion& question : questions) {
        int record = 0;
        do {
            record = Draw(random, kQuizRecordCount);
        } while (asked[static_cast<std::size_t>(record)]);
        asked[static_cast<std::size_t>(record)] = true;

        const QuizRecord& source = pool.records[static_cast<std::size_t>(record - 1)];
        question.record = record;
        question.text = source.question;
        question.answers = source.answers;
        question.codes = {source.pointCode, QStringLiteral("00"), QStringLiteral("00")};
        for (int shuffle = 0; shuffle < 10; ++shuffle) {
            const auto x = static_cast<std::size_t>(Draw(random, 3) - 1);
            const auto y = static_cast<std::size_t>(Draw(random, 3) - 1);
            SwapText(question.codes[x], question.codes[y]);
            SwapText(question.answers[x], question.answers[y]);
        }
    }
    return questions;
}

QString QuestionHeader(int number)
{
    return QStringLiteral("【問題 %1】").arg(number);
}

void PlayQuiz(Game& game)
{
    GameState& state = game.state;
    game.services.random.SeedFromClock();

    // After the opening chapter its music plays on; when the opening was skipped, it starts here.
    state.MidiName = QStringLiteral("M02S.mid");
    game.music.LoopMidi();
    RunChapter(game, LoadChapter(QStringLiteral("quiz_intro.txt")));

    game.music.StopMidi();
    state.MidiName = kQuizMusic;
    game.music.LoopMidi();

    const QuestionPool pool = ReadQuestionPool();
    const auto questions = DrawQuestions(pool, game.services.random);

    GameWindow& window = *game.mainForm.Get();
    for (QPushButton* button : window.Command1) {
        button->show();
    }
    for (int number = 1; number <= kQuestionsPerQuiz; ++number) {
        const QuizQuestion& question = questions[static_cast<std::size_t>(number - 1)];
        // Under the quiz music the line does not wait: it puts the header in the caption.
        SayLine(game, 8, question.text, QStringLiteral("S31"), QuestionHeader(number));
        game.history.MarkQuestion(QuestionHeader(number));
        // A click on a button before this point, while the question was being set up, is dropped.
        state.Answer = 0;
        for (std::size_t i = 0; i < window.Command1.size(); ++i) {
            window.Command1[i]->setText(question.answers[i]);
        }
        {
            const HistoryWait reading(game.history);
            game.pump.WaitUntil([&] { return state.Answer != 0; });
        }
        game.history.AddAnswer(window.Command1[static_cast<std::size_t>(state.Answer - 1)]->text());

        const QString& code = question.codes[static_cast<std::size_t>(state.Answer - 1)];
        for (const int heroine : PointCodeHeroines(code)) {
            AddAffection(state, heroine, 1);
        }
    }
    for (QPushButton* button : window.Command1) {
        button->hide();
    }
}

} // namespace velmora
