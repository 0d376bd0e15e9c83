// quizpack: turns the readable question source into the game's question file.
//   quizpack <questions.txt> <VelmoraQ.qiz>
// On any fault it prints the source file and line at fault and leaves the old output untouched.

#include "core/FatalError.h"
#include "quiz/Cp932.h"
#include "quiz/QuizSource.h"

#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringList>

#include <cstdio>

namespace {

void PrintError(const QString& message)
{
    std::fprintf(stderr, "quizpack: %s\n", message.toLocal8Bit().constData());
}

QString ReadUtf8(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        throw velmora::FatalError(QStringLiteral("%1: cannot be read (%2)").arg(path, file.errorString()));
    }
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder(file.readAll());
    if (decoder.hasError()) {
        throw velmora::FatalError(QStringLiteral("%1: is not UTF-8 text").arg(path));
    }
    return text;
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        throw velmora::FatalError(QStringLiteral("%1: cannot be written (%2)").arg(path, file.errorString()));
    }
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 3) {
        PrintError(QStringLiteral("usage: quizpack <questions.txt> <VelmoraQ.qiz>"));
        return 2;
    }
    try {
        const QString& source = arguments[1];
        velmora::Cp932Converter cp932;
        const QList<velmora::QuizRecord> records = velmora::ParseQuizSource(ReadUtf8(source), source, cp932);
        WriteFile(arguments[2], velmora::WriteQuestionFile(records, cp932));
    } catch (const velmora::FatalError& error) {
        PrintError(error.Message());
        return 1;
    }
    return 0;
}
