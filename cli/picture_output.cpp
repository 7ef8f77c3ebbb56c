#include "cli/picture_output.h"

#include "cli/arguments.h"
#include "cli/cli_command.h"
#include "cli/sound_input.h"
#include "files/bmp.h"
#include "tools/files_ui/picture_convert.h"

#include <ostream>

namespace kelvora::cli {

int WritePicture(const Picture& picture, const std::string& path, std::ostream& err)
{
    files::Status written;
    if (HasExtension(path, ".png"))
        written = SavePng(path, picture);
    else if (HasExtension(path, ".bmp"))
        written = files::WriteBmp24(path, ImageFromPicture(picture));
    else
        throw UsageError("the picture must be a .png or .bmp file: " + path);
    return ReportWrite(path, written, err);
}

} // namespace kelvora::cli
