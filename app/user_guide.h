#pragma once
// Where the program finds its user guide.

#include <QString>

namespace kelvora {

// The user guide's file for a program in programDir: the copy beside the program (the build
// folder puts one there), else the one in the data folder of an installed program, found
// relative to the program so that an installation under any prefix finds its own. When neither
// exists the path beside the program is returned, so that the browser names a missing file
// rather than showing nothing.
QString UserGuidePath(const QString& programDir);

} // namespace kelvora
