// Feeds kept inputs to a fuzz entry point without libFuzzer, so that every input that once
// found a fault is tried again by the normal test suite under any compiler. Arguments are files
// or folders (every file in them); a folder that does not exist holds nothing.

#include "fuzzcheck.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

namespace {

bool replay(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
        return false;
    }
    const QByteArray bytes = file.readAll();
    LLVMFuzzerTestOneInput(reinterpret_cast<const unsigned char*>(bytes.constData()),
                           std::size_t(bytes.size()));
    return true;
}

} // namespace

int main(int argc, char* argv[])
{
    int replayed = 0;
    bool allRead = true;
    for (int i = 1; i < argc; ++i) {
        const QString argument = QString::fromLocal8Bit(argv[i]);
        if (QFileInfo(argument).isFile()) {
            allRead = replay(argument) && allRead;
            ++replayed;
            continue;
        }
        QDirIterator files(argument, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (files.hasNext()) {
            const QString path = files.next();
            if (QFileInfo(path).fileName() == u"README.md")
                continue;
            allRead = replay(path) && allRead;
            ++replayed;
        }
    }
    std::printf("%d inputs replayed, every property kept\n", replayed);
    return allRead ? 0 : 1;
}
