// The readings of zrQBck.dat and QBvers.Dat over arbitrary bytes: at most two folders, none
// holding a line end; the version value is the first item of the first line.

#include "fuzzcheck.h"

#include "import/export/cp1252.h"
#include "settings/settingsfile.h"
#include "settings/versionfile.h"

using namespace brevik;

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size)
{
    const QByteArray content(reinterpret_cast<const char*>(data), qsizetype(size));
    for (const bool cut : {false, true}) {
        const SettingsRead read = SettingsFile::parse(content, cut);
        FUZZ_CHECK(read.linesRead >= 0 && read.linesRead <= 2);
        for (const QString* folder : {&read.folders.dataFolder, &read.folders.quickBooksFolder}) {
            FUZZ_CHECK(!folder->contains(u'\r') && !folder->contains(u'\n'));
            FUZZ_CHECK(fromCp1252(content).contains(*folder));
        }
        if (read.linesRead < 2)
            FUZZ_CHECK(read.folders.quickBooksFolder.isEmpty());
    }
    const std::optional<QString> item = VersionFile::firstItem(content);
    FUZZ_CHECK(item.has_value() == !content.isEmpty());
    if (item) {
        FUZZ_CHECK(!item->contains(u'\r') && !item->contains(u'\n'));
        FUZZ_CHECK(fromCp1252(content).contains(*item));
    }
    return 0;
}
