#pragma once

#include <QString>

#include <cstdio>

namespace brevik::tool {

// The text as the tool shows it on a terminal. Names and notes come from an export that anyone
// who signed up in a web shop may have written into: a control character (C0, DEL or C1, such
// as U+009B, which many terminals take for the start of a control sequence) or a character that
// reorders the text around it (the bidirectional embeddings, overrides, isolates and marks)
// would move the cursor, change the colours or turn the columns around. Each becomes U+FFFD, one
// character for one, so that it is seen and the columns stay aligned.
[[nodiscard]] QString terminalText(QString text);

// Whether the stream is a terminal (rather than a file or a pipe).
[[nodiscard]] bool isTerminal(std::FILE* stream);

} // namespace brevik::tool
