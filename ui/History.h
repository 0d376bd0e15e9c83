#pragma once

#include <QString>

#include <vector>

namespace velmora {

// One thing the game window showed: a line, or a quiz question with the answer picked for it.
struct HistoryEntry {
    QString heading; // a quiz question's header ("【問題 1】"); empty for a story line
    QString speaker; // as the name label showed it; empty for narration
    QString text;    // as the text label showed it, narration in its brackets
    QString answer;  // the answer picked for a question; empty until it is picked

    bool operator==(const HistoryEntry&) const = default;
};

// The read-back of the current game: what the game window showed, in order. It lives beside the
// game, never in it: nothing the game decides reads it, and it is never stored. It also knows
// whether the game is waiting for the player's click or answer, the only time it may be opened.
class History {
public:
    // A new game starts with an empty history.
    void Clear() { m_entries.clear(); }

    void AddLine(const QString& speaker, const QString& text);
    // The newest line was a quiz question under `header`.
    void MarkQuestion(const QString& header);
    // The answer the player picked for the newest question; ignored when there is none.
    void AddAnswer(const QString& answer);

    const std::vector<HistoryEntry>& Entries() const { return m_entries; }
    bool Waiting() const { return m_waits > 0; }

private:
    friend class HistoryWait;
    std::vector<HistoryEntry> m_entries;
    int m_waits = 0;
};

// Held for the length of a wait for the player's click or answer; the history may open only
// while one is held. Unwinding (the game ends during a wait) releases it too.
class HistoryWait {
public:
    explicit HistoryWait(History& history) : m_history(history) { ++m_history.m_waits; }
    ~HistoryWait() { --m_history.m_waits; }
    HistoryWait(const HistoryWait&) = delete;
    HistoryWait& operator=(const HistoryWait&) = delete;

private:
    History& m_history;
};

// The entries as rich text for the history view, oldest first; every shown text is escaped, so
// a line reads exactly as it was shown.
QString HistoryRichText(const std::vector<HistoryEntry>& entries);

} // namespace velmora
