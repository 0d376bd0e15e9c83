#pragma once

#include <QFont>
#include <QObject>
#include <QString>
#include <QTimer>

#include <vector>

namespace velmora {

// Draws, a few characters at a time while the program waits for the player, the characters that
// lines will show later, so that each font has loaded, measured and rasterised them before a line
// first needs them: a character the process has never drawn costs FreeType more than all the
// rest of the repaint that follows a click. The fonts are kept for the warmer's life, and with
// them the font engines that hold what was drawn.
class GlyphWarmer : public QObject {
public:
    explicit GlyphWarmer(QObject* parent = nullptr);

    // Queues each character of `text` once for `font`, in the order they first appear; blanks
    // and control characters have nothing to draw. Once started, the warmer draws them too.
    void Add(const QFont& font, const QString& text);
    // Starts drawing at the given device pixel ratio (the screen's, where the text will show),
    // one batch per turn of the event loop. Does nothing when already started.
    void Start(qreal devicePixelRatio);
    // Whether every queued character has been drawn.
    bool Done() const;
    // Whether a batch is still to come: the warmer's timer runs only while there is work.
    bool Running() const { return m_timer.isActive(); }
    // How many characters are queued in all, drawn or not.
    qsizetype Queued() const;

    static constexpr qsizetype kBatch = 24;

private:
    void DrawNextBatch();

    struct Job {
        QFont font;
        QString characters;
        qsizetype drawn = 0;
    };
    std::vector<Job> m_jobs;
    qreal m_devicePixelRatio = 1.0;
    bool m_started = false;
    QTimer m_timer;
};

} // namespace velmora
