#include "ui/GlyphWarmer.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QSet>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace velmora {

namespace {

// Text drawn as a widget draws it. Qt picks the glyph format by the kind of device painted on,
// so text painted straight onto an image could fill a cache that the windows never read.
class Canvas : public QWidget {
public:
    Canvas(const QFont& font, const QString& text) : m_text(text)
    {
        setFont(font);
        const QFontMetricsF metrics(font);
        resize(static_cast<int>(std::ceil(metrics.horizontalAdvance(text))) + 2,
               static_cast<int>(std::ceil(metrics.height())) + 2);
    }

protected:
    void paintEvent(QPaintEvent* /*event*/) override
    {
        QPainter painter(this);
        painter.setFont(font());
        // A glyph is rasterised anew for each quarter of a pixel it may start at (where the font
        // is not hinted to whole pixels), and a line may place it at any of them: every
        // character is drawn at all four.
        for (int quarter = 0; quarter < 4; ++quarter) {
            painter.drawText(QPointF(1 + quarter / 4.0, 1 + QFontMetricsF(font()).ascent()), m_text);
        }
    }

private:
    QString m_text;
};

} // namespace

GlyphWarmer::GlyphWarmer(QObject* parent) : QObject(parent)
{
    m_timer.setInterval(0);
    connect(&m_timer, &QTimer::timeout, this, [this] { DrawNextBatch(); });
}

void GlyphWarmer::Add(const QFont& font, const QString& text)
{
    auto job = std::find_if(m_jobs.begin(), m_jobs.end(), [&](const Job& each) { return each.font == font; });
    if (job == m_jobs.end()) {
        job = m_jobs.insert(m_jobs.end(), Job{font, QString(), 0});
    }
    QSet<char32_t> known;
    for (const char32_t character : job->characters.toUcs4()) {
        known.insert(character);
    }
    for (const char32_t character : text.toUcs4()) {
        if (!known.contains(character) && QChar::isPrint(character) && !QChar::isSpace(character)) {
            known.insert(character);
            job->characters += QString::fromUcs4(&character, 1);
        }
    }
    if (m_started && !Done()) {
        m_timer.start();
    }
}

bool GlyphWarmer::Done() const
{
    return std::all_of(m_jobs.begin(), m_jobs.end(), [](const Job& job) { return job.drawn >= job.characters.size(); });
}

qsizetype GlyphWarmer::Queued() const
{
    qsizetype count = 0;
    for (const Job& job : m_jobs) {
        count += job.characters.toUcs4().size();
    }
    return count;
}

void GlyphWarmer::Start(qreal devicePixelRatio)
{
    if (m_started) {
        return;
    }
    m_started = true;
    m_devicePixelRatio = devicePixelRatio;
    if (!Done()) {
        m_timer.start();
    }
}

void GlyphWarmer::DrawNextBatch()
{
    const auto next = std::find_if(m_jobs.begin(), m_jobs.end(), [](const Job& job) { return job.drawn < job.characters.size(); });
    if (next == m_jobs.end()) {
        m_timer.stop();
        return;
    }
    Job& job = *next;
    // Counted in UTF-16 units; a batch that would end inside a surrogate pair takes the pair whole.
    qsizetype end = std::min(job.drawn + kBatch, job.characters.size());
    if (end < job.characters.size() && job.characters.at(end).isLowSurrogate()) {
        ++end;
    }
    Canvas canvas(job.font, job.characters.mid(job.drawn, end - job.drawn));
    QImage image(canvas.size() * m_devicePixelRatio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(m_devicePixelRatio);
    image.fill(Qt::transparent);
    canvas.render(&image);
    job.drawn = end;
    if (Done()) {
        m_timer.stop();
    }
}

} // namespace velmora
