#pragma once

#include <QString>

#include <optional>

namespace brevik::ui {

// What brevik answers on its command line without opening a window: the usage for --help (or
// -h), the version for --version. Nothing for any other command line, which starts the windows
// and is left to QApplication (Qt's own options, such as -platform NAME).
[[nodiscard]] std::optional<QString> commandLineAnswer(int argc, const char* const* argv);

} // namespace brevik::ui
