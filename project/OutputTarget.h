#pragma once

#include <QString>

namespace vemro {

// Files the user names for output (fixed-text export, test report, test log). An output
// never replaces what is not its own: a target that exists and is no regular file (a
// folder, a device such as /dev/full, a FIFO), the program database, a hardware template or
// a project is refused, by the file it resolves to (links followed, hard links compared by
// inode), not by its name.
namespace OutputTarget {

// How the output reaches the file: replaced as a whole (a new file renamed over it, which
// needs the folder) or appended to.
enum class Mode { Replace, Append };

// Empty when `path` may be written; otherwise the German reason, naming the path.
[[nodiscard]] QString problem(const QString& path);
// problem(), then whether this user can write there (without creating anything), so that a
// run can refuse the target before its first step.
[[nodiscard]] QString writeProblem(const QString& path, Mode mode);

// The same as a result: false with the reason in `error`.
[[nodiscard]] bool check(const QString& path, QString* error);
[[nodiscard]] bool checkWritable(const QString& path, Mode mode, QString* error);

} // namespace OutputTarget

} // namespace vemro
