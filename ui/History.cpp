#include "ui/History.h"

namespace velmora {

void History::AddLine(const QString& speaker, const QString& text)
{
    m_entries.push_back(HistoryEntry{QString(), speaker, text, QString()});
}

void History::MarkQuestion(const QString& header)
{
    if (!m_entries.empty()) {
        m_entries.back().heading = header;
    }
}

void History::AddAnswer(const QString& answer)
{
    if (!m_entries.empty() && !m_entries.back().heading.isEmpty() && m_entries.back().answer.isEmpty()) {
        m_entries.back().answer = answer;
    }
}

QString HistoryRichText(const std::vector<HistoryEntry>& entries)
{
    QString html;
    for (const HistoryEntry& entry : entries) {
        html += QStringLiteral("<p>");
        if (!entry.heading.isEmpty()) {
            html += QStringLiteral("<b>") + entry.heading.toHtmlEscaped() + QStringLiteral("</b><br>");
        }
        if (!entry.speaker.isEmpty()) {
            html += QStringLiteral("<b>") + entry.speaker.toHtmlEscaped() + QStringLiteral("</b><br>");
        }
        html += entry.text.toHtmlEscaped();
        if (!entry.answer.isEmpty()) {
            html += QStringLiteral("<br>→ 答え：") + entry.answer.toHtmlEscaped();
        }
        html += QStringLiteral("</p>");
    }
    return html;
}

} // namespace velmora
