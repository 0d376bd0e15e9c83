#pragma once

#include "quiz/QuizRecord.h"

#include <QByteArray>
#include <QString>

#include <array>

class QIODevice;

namespace velmora {

class Cp932Converter;

inline constexpr const char* kQuestionFileName = "VelmoraQ.qiz";

// The 30 records of the question file, in file order (record 1 is records[0]).
struct QuestionPool {
    std::array<QuizRecord, kQuizRecordCount> records;
};

// Decodes one hex-text field: every 8 digits (the last group may be shorter) are one code-page-932
// code; a group is read up to its first non-hex character, and a group without digits reads 0.
// A code that names no character decodes to U+FFFD. Throws FatalError for a group above FFFF.
QString DecodeQuizText(const QString& field);
QString DecodeQuizText(const QString& field, Cp932Converter& cp932);

// Reads 30 records of five fields from the start of the data and nothing after them. Throws
// FatalError naming `fileName` and the record when the data ends early, a hex group is above FFFF or
// a point code names a heroine the quiz has no points for (7, 8 or 9).
QuestionPool ParseQuestionPool(QIODevice& device, const QString& fileName);
QuestionPool ParseQuestionPool(const QByteArray& bytes, const QString& fileName);

// Reads "VelmoraQ.qiz" from the current working directory; throws FatalError when it is missing,
// unreadable or bad.
QuestionPool ReadQuestionPool();

// The heroines a point code gives its two points to: the numbers of its first and last characters;
// a character that is not a digit, or an empty code, counts as 0 (nobody).
std::array<int, 2> PointCodeHeroines(const QString& pointCode);

} // namespace velmora
