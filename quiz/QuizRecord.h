#pragma once

#include <QString>

#include <array>

namespace velmora {

// One question as the quiz asks it: the question, the scoring answer first and the two others
// after it, and the point code of the scoring answer (two digits, each a heroine number 1 to 6 or 0
// for nobody).
struct QuizRecord {
    QString question;
    std::array<QString, 3> answers;
    QString pointCode;

    friend bool operator==(const QuizRecord&, const QuizRecord&) = default;
};

inline constexpr int kQuizRecordCount = 30;
inline constexpr int kQuizFieldsPerRecord = 5;

} // namespace velmora
