#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTest>

namespace brevik::testing {

// The folder of real QuickBooks exports beside the project; empty when it is absent, as on an
// operator's machine.
inline QString samplesFolder()
{
    const QString folder = QStringLiteral(BREVIK_SAMPLES_DIR "/iif");
    return QDir(folder).exists() ? folder : QString();
}

inline QByteArray readBytes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

inline bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return file.write(bytes) == bytes.size();
}

} // namespace brevik::testing

// Skips the test, saying why, where the sample exports are not present.
#define BREVIK_REQUIRE_SAMPLES(folderVariable)                                                               \
    const QString folderVariable = ::brevik::testing::samplesFolder();                                       \
    if (folderVariable.isEmpty())                                                                            \
    QSKIP("The sample exports folder (../shared/samples/iif) is absent; skipping the tests on real "         \
          "exports.")
