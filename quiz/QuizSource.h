#pragma once

#include "quiz/QuizRecord.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace velmora {

class Cp932Converter;

// The readable source of the questions (quiz/questions.txt), one block per record:
//   Q: question   A: scoring answer   B: other answer   C: other answer   P: point code
// each on its own line, '#' lines are comments and blank lines separate blocks.
// How to write it is explained in docs/questions.md.

inline constexpr int kMaxQuestionCharacters = 70;
// An answer must fit its button on one line: 18 full-width characters, a half-width one counting
// as half (its code-page-932 code is one byte instead of two).
inline constexpr int kMaxAnswerHalfWidths = 36;

// Parses and checks the source; throws FatalError naming `fileName` and the line at fault for a
// bad block, a character code page 932 cannot hold, a text that does not fit, a point code that is
// not two digits 0 to 6, or a count of records other than 30.
QList<QuizRecord> ParseQuizSource(const QString& text, const QString& fileName, Cp932Converter& cp932);

// Every character as its code-page-932 code in 8 upper-case hex digits; the inverse of
// DecodeQuizText. Throws FatalError for a character that has no code.
QString EncodeQuizText(const QString& text, Cp932Converter& cp932);

// The question file: the five fields of every record each on its own line, lines ending in CR LF.
QByteArray WriteQuestionFile(const QList<QuizRecord>& records, Cp932Converter& cp932);

} // namespace velmora
