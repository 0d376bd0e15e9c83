#pragma once

#include "quiz/Cp932.h"
#include "quiz/QuizFile.h"
#include "quiz/QuizSource.h"
#include "ui/Game.h"

#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace velmora::testing {

// A question file whose every scoring answer gives both its points to `heroine` (0: nobody),
// and whose scoring answers the player can tell by their first word.
inline QByteArray QuestionsFavouring(int heroine)
{
    QList<QuizRecord> records;
    for (int r = 1; r <= kQuizRecordCount; ++r) {
        records.append(QuizRecord{QStringLiteral("問題その%1").arg(r),
                                  {QStringLiteral("当たり%1").arg(r), QStringLiteral("はずれ%1").arg(r),
                                   QStringLiteral("ざんねん%1").arg(r)},
                                  QStringLiteral("%1%1").arg(heroine)});
    }
    Cp932Converter cp932;
    return WriteQuestionFile(records, cp932);
}

// The player: reads every line and answers every question, picking the scoring answer or
// never picking it. Each answer is noted in the game's trace as "answer".
class QuizPlayer : public QObject {
public:
    QuizPlayer(Game& game, bool picksScoringAnswers) : m_game(game), m_scoring(picksScoringAnswers)
    {
        connect(&m_timer, &QTimer::timeout, this, [this] { Act(); });
        m_timer.start(2);
    }

    void PickScoringAnswers(bool scoring) { m_scoring = scoring; }

private:
    void Act()
    {
        GameWindow* window = m_game.mainForm.Get();
        if (window == nullptr || !window->isVisible()) {
            return;
        }
        if (!window->Command1[0]->isHidden()) {
            if (m_game.state.Answer != 0 || window->Command1[0]->text().isEmpty()) {
                return;
            }
            for (QPushButton* button : window->Command1) {
                if (button->text().startsWith(QStringLiteral("当たり")) == m_scoring) {
                    m_game.Trace(QStringLiteral("answer"));
                    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, button->geometry().center());
                    return;
                }
            }
            return;
        }
        if (m_game.state.Clicked == 0) {
            QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, window->Label2->geometry().center());
        }
    }

    Game& m_game;
    bool m_scoring;
    QTimer m_timer;
};

} // namespace velmora::testing
