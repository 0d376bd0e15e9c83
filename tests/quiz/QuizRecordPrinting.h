#pragma once

#include "quiz/QuizRecord.h"

#include <QStringList>
#include <QTest>

namespace velmora {

// Lets QCOMPARE show both records when they differ.
inline char* toString(const QuizRecord& record)
{
    return QTest::toString(QStringList{record.question, record.answers[0], record.answers[1],
                                       record.answers[2], record.pointCode}
                               .join(u" | "));
}

} // namespace velmora
