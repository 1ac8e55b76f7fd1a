// The checks that need more than the script: the font as start-up loads it, and each module
// of the music list through the player's own loader, with the reason it refuses one.
#include "magazine_checkup.h"

#include <algorithm>
#include <filesystem>

#include "check/check_reading.h"
#include "check/magazine_check.h"
#include "platform/beeper.h"
#include "platform/file_path.h"
#include "player/context.h"
#include "player/file_callbacks.h"
#include "player/xm_loader.h"
#include "sound/memory_file.h"
#include "text/magazine_font.h"

namespace qvl {

namespace {

class NoBeeps final : public Beeper {
  public:
    void beep() override {}
};

// The font exactly as start-up takes it.
void checkFont(Diagnostics& out) {
    if (!loadMagazineFont())
        out.push_back({resolvePath(kFontFile), 0, 0, Severity::error,
                       "font file cannot be loaded! terminating..."});
}

void checkModules(const MagazineModel& model, Diagnostics& out) {
    PlayerContext context;
    setFileCallbacks(context, memoryFileCallbacks());
    for (const MusicEntry& entry : model.musicList) {
        if (entry.scriptLine == 0) continue;  // a slot never set loads nothing
        const std::string path = resolvePath(entry.fileName);
        XmLoadResult result;
        Song* song = createSong(context, path.c_str(), &result);
        freeSong(context, song);
        if (result.loaded()) continue;
        std::string why;
        if (result.refusal != XmRefusal::notOpened)
            why = "is refused: " + describeRefusal(result);
        else if (std::filesystem::exists(path))
            why = "cannot be read";
        else
            why = "does not exist";
        out.push_back({model.scriptName, entry.scriptLine, 0, Severity::warning,
                       "module \"" + entry.fileName + "\" " + why});
    }
}

std::string counted(size_t n, const char* what) {
    return std::to_string(n) + " " + what + (n == 1 ? "" : "s");
}

}  // namespace

int checkMagazineHere(std::string& report) {
    MagazineModel model;
    Diagnostics found;
    NoBeeps beeper;
    const bool read = readScript(model, found, beeper);
    const bool anyError = std::any_of(found.begin(), found.end(), [](const Diagnostic& d) {
        return d.severity == Severity::error;
    });
    if (!read && !anyError) {
        found.push_back({model.scriptName, 0, 0, Severity::error,
                         "script could not be loaded! terminating..."});
    } else {
        checkMagazine(model, found);
        checkModules(model, found);
    }
    checkFont(found);

    std::stable_sort(found.begin(), found.end(), [&](const Diagnostic& a, const Diagnostic& b) {
        const bool aScript = a.file == model.scriptName, bScript = b.file == model.scriptName;
        if (aScript != bScript) return aScript;
        if (a.file != b.file) return a.file < b.file;
        return a.line != b.line ? a.line < b.line : a.column < b.column;
    });
    size_t errors = 0;
    for (const Diagnostic& d : found) {
        report += formatDiagnostic(d) + "\n";
        errors += d.severity == Severity::error;
    }
    report += counted(errors, "error") + ", " + counted(found.size() - errors, "warning") + "\n";
    return errors ? 2 : found.empty() ? 0 : 1;
}

}  // namespace qvl
