#include "core/FatalError.h"
#include "quiz/QuizFile.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

// Any bytes must either give a pool or a FatalError; nothing else may escape, crash or hang.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    try {
        velmora::ParseQuestionPool(bytes, QStringLiteral("fuzz.qiz"));
    } catch (const velmora::FatalError&) {
    }
    return 0;
}
