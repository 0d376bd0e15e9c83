// Plays one whole game by itself, from the opening chapter to a chosen heroine's ending, and
// keeps a picture of the game window for every line and question, so that a person can read the
// story as the player sees it. Also the quickest way to look at the window at another scale:
//
//   storyboard <heroine 1-7> <output folder> [--skip-opening] [--frames N] [--jpeg]
//   QT_SCALE_FACTOR=2 storyboard 1 out --frames 3
//
// Run it in the game's data folder (build/data); under Xvfb or with QT_QPA_PLATFORM=offscreen.
#include "core/EventPump.h"
#include "ui/Game.h"
#include "core/RandomSource.h"
#include "quiz/PlayQuiz.h"
#include "record/SettingsStore.h"
#include "sound/MidiDevice.h"
#include "sound/WaveSound.h"
#include "story/Chapters.h"
#include "ui/Fonts.h"

#include <QApplication>
#include <QDir>
#include <QMap>
#include <QPainter>
#include <QTimer>

#include <cstdio>
#include <random>

using namespace velmora;

namespace {

class Silence : public MidiDevice, public WaveSound {
public:
    bool Open(const QString&) override { return true; }
    bool Play() override { return true; }
    Mode CurrentMode() override { return Mode::Playing; }
    void Close() override {}
    void Play(const QString&, unsigned) override {}
};

class MemoryStore : public SettingsStore {
public:
    QString Read(const QString& a, const QString& s, const QString& k, const QString& fallback) override
    {
        return m_values.value(a + s + k, fallback);
    }
    bool Write(const QString& a, const QString& s, const QString& k, const QString& value) override
    {
        m_values[a + s + k] = value;
        return true;
    }
    bool Delete(const QString& a, const QString& s, const QString& k) override
    {
        m_values.remove(a + s + k);
        return true;
    }
    std::optional<QString> Update(const QString& a, const QString& s, const QString& k, const QString& fallback,
                                  const std::function<QString(const QString&)>& change) override
    {
        const QString next = change(Read(a, s, k, fallback));
        Write(a, s, k, next);
        return next;
    }
    QString LastProblem() const override { return {}; }

private:
    QMap<QString, QString> m_values;
};

// Fixed draws, so the same storyboard comes out every time.
class SeededRandom : public RandomSource {
public:
    void SeedFromClock() override { m_engine.seed(7721); }
    double Next() override { return std::uniform_real_distribution<double>(0.0, 1.0)(m_engine); }

private:
    std::mt19937 m_engine{7721};
};

// The window with its caption drawn above it, as a window manager would show it.
QImage Frame(GameWindow& window)
{
    const QPixmap client = window.grab();
    const qreal scale = client.devicePixelRatio();
    constexpr int kBar = 22;
    QImage frame(client.width(), client.height() + qRound(kBar * scale), QImage::Format_RGB32);
    frame.setDevicePixelRatio(scale);
    frame.fill(QColor(0x3b, 0x4a, 0x6b));
    QPainter painter(&frame);
    QFont caption = JapaneseGothic(9);
    painter.setFont(caption);
    painter.setPen(Qt::white);
    painter.drawText(QRect(6, 0, window.width(), kBar), Qt::AlignVCenter, window.windowTitle());
    painter.drawPixmap(0, kBar, client);
    return frame;
}

class Director : public QObject {
public:
    Director(Game& game, int heroine, QString folder, int maxFrames)
        : m_game(game), m_heroine(heroine), m_folder(std::move(folder)), m_maxFrames(maxFrames),
          m_pool(ReadQuestionPool())
    {
        connect(&m_timer, &QTimer::timeout, this, [this] { Act(); });
        m_timer.start(5);
    }

    int frames = 0;
    QString suffix = QStringLiteral("png");

private:
    void Keep(GameWindow& window)
    {
        if (m_maxFrames > 0 && frames >= m_maxFrames) {
            return;
        }
        Frame(window).save(QStringLiteral("%1/frame-%2.%3").arg(m_folder).arg(++frames, 3, 10, QLatin1Char('0')).arg(suffix));
    }

    bool Scores(const QString& answer) const
    {
        for (const QuizRecord& record : m_pool.records) {
            if (record.answers[0] == answer) {
                const auto named = PointCodeHeroines(record.pointCode);
                return named[0] == m_heroine || named[1] == m_heroine;
            }
        }
        return false;
    }

    void Act()
    {
        GameWindow* window = m_game.mainForm.Get();
        if (window == nullptr || !window->isVisible()) {
            return;
        }
        if (!window->Command1[0]->isHidden()) {
            if (m_game.state.Answer != 0 || window->Command1[0]->text() == m_lastQuestion) {
                return;
            }
            m_lastQuestion = window->Command1[0]->text();
            Keep(*window);
            std::size_t pick = 0;
            for (std::size_t i = 0; i < 3; ++i) {
                if (Scores(window->Command1[i]->text())) {
                    pick = i;
                    break;
                }
                pick = (m_heroine == 7 || i == 0) ? i : pick;
            }
            window->Command1[pick]->click();
            return;
        }
        if (m_game.state.Clicked == 0) {
            Keep(*window);
            m_game.state.Clicked = kTrue;
        }
    }

    Game& m_game;
    int m_heroine;
    QString m_folder;
    int m_maxFrames;
    QuestionPool m_pool;
    QString m_lastQuestion;
    QTimer m_timer;
};

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() < 3) {
        std::fprintf(stderr, "usage: storyboard <heroine 1-7> <output folder> [--skip-opening] [--frames N] [--jpeg]\n");
        return 2;
    }
    const int heroine = arguments[1].toInt();
    const QString folder = QDir(arguments[2]).absolutePath();
    const bool skipOpening = arguments.contains(QStringLiteral("--skip-opening"));
    const qsizetype framesAt = arguments.indexOf(QStringLiteral("--frames"));
    const int maxFrames = framesAt > 0 && framesAt + 1 < arguments.size() ? arguments[framesAt + 1].toInt() : 0;
    QDir().mkpath(folder);

    Silence silence;
    MemoryStore store;
    SeededRandom random;
    EventPump pump;
    Game game(Services{store, silence, silence, random}, pump);
    try {
        RequireJapaneseFont();
        Director director(game, heroine, folder, maxFrames);
        if (arguments.contains(QStringLiteral("--jpeg"))) {
            director.suffix = QStringLiteral("jpg");
        }
        InitNewGame(game.state);
        game.mainForm.Show();
        if (!skipOpening) {
            OpeningChapter(game);
        }
        PlayQuiz(game);
        RoadToTeaHouse(game);
        TeaHouseEnding(game);
        std::printf("%d frames in %s; points %d %d %d %d %d %d; record%s\n", director.frames, qPrintable(folder),
                    game.state.Affection[1], game.state.Affection[2], game.state.Affection[3], game.state.Affection[4],
                    game.state.Affection[5], game.state.Affection[6],
                    qPrintable(store.Read("Tarnel", "Velmora", "Exp", "0")));
    } catch (const FatalError& error) {
        std::fprintf(stderr, "storyboard: %s\n", qPrintable(error.Message()));
        return 1;
    }
    return 0;
}
