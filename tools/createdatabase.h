#pragma once

#include <QString>

namespace brevik {
class Reporter;
}

namespace brevik::tool {

// create-database FOLDER: makes a new, empty zrdata.mdb in the folder with the four customer
// tables. Prints "Created PATH" on success; refuses to replace a file that exists, reporting
// the file and the cause. Returns the tool's exit status.
[[nodiscard]] int runCreateDatabase(const QString& folder, Reporter& reporter);

} // namespace brevik::tool
