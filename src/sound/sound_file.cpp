// The format of a sound file by its name's ending, shared by both writers.
#include "sound/sound_file.h"

#include "base/ascii_case.h"

namespace qvl {

SoundFormat soundFormatOf(std::string_view fileName) {
    struct Ending {
        std::string_view text;
        SoundFormat format;
    };
    static constexpr Ending kEndings[] = {
        {".wav", SoundFormat::wav}, {".flac", SoundFormat::flac}, {".ogg", SoundFormat::ogg}};
    for (const Ending& e : kEndings) {
        if (fileName.size() > e.text.size() &&
            equalsNoCase(fileName.substr(fileName.size() - e.text.size()), e.text))
            return e.format;
    }
    return SoundFormat::unknown;
}

}  // namespace qvl
