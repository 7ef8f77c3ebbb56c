// kelvora picture-info FILE.bmp [--json]: the size and depth of a BMP picture.

#include "cli/arguments.h"
#include "cli/cli_command.h"
#include "cli/sound_input.h"
#include "files/bmp.h"
#include "util/sprintf.h"

#include <ostream>

namespace kelvora::cli {
namespace {

int RunPictureInfo(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const Arguments arguments(args, {"--json"}, {});
    arguments.expectPositionals(1);
    const std::string& path = arguments.positionals()[0];
    auto picture = files::ReadBmp(path);
    if (!picture) {
        err << OneLine(path, picture.error().message) << '\n';
        return ExitBadInput;
    }
    const auto& image = picture.value();
    const int bits = image.sourceBits;
    if (arguments.has("--json"))
        out << Sprintf("{\"width\":%d,\"height\":%d,\"bits\":%d}\n", image.width, image.height, bits);
    else
        out << Sprintf("%s\n  %d x %d pixels, %d bits\n", path.c_str(), image.width, image.height, bits);
    return ExitOk;
}

} // namespace

KELVORA_CLI_COMMAND({"picture-info", "FILE.bmp [--json]", "width, height and bits per pixel of a BMP picture",
                     RunPictureInfo});

} // namespace kelvora::cli
