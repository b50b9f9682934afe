#include "commandlineanswer.h"

#include "brevik/version.h"

#include <string_view>

namespace brevik::ui {
namespace {

QString usageText()
{
    return QStringLiteral(
        "Usage: brevik [Qt options]\n"
        "       brevik --help\n"
        "       brevik --version\n"
        "\n"
        "Opens the window that carries a QuickBooks customer export into the Orvella customer\n"
        "tables. Qt's own options, such as -platform NAME, are taken as well.\n"
        "\n"
        "  -h, --help  Shows this help.\n"
        "  --version   Shows the version.\n"
        "\n"
        "brevik-import runs the same import from the command line; see brevik(1) and\n"
        "brevik-import(1).\n");
}

} // namespace

std::optional<QString> commandLineAnswer(int argc, const char* const* argv)
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument(argv[i]);
        if (argument == "--help" || argument == "-h")
            return usageText();
        if (argument == "--version")
            return QStringLiteral("brevik ") + versionNumber() + u'\n';
    }
    return std::nullopt;
}

} // namespace brevik::ui
