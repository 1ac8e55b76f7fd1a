#include "magazine_facts.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

#include "export_text.h"
#include "page_html.h"
#include "platform/file_path.h"
#include "player/context.h"
#include "player/song.h"
#include "player/xm_loader.h"
#include "sound/memory_file.h"
#include "sound/song_length.h"
#include "sound/wave_output.h"
#include "text/magazine_font.h"

namespace qvl {

namespace {

// The XM header's fixed text fields: the module's title and the tracker that saved it.
constexpr size_t kTitleOffset = 17, kTrackerOffset = 38, kNameBytes = 20;

std::string headerText(const std::string& bytes, size_t offset) {
    if (bytes.size() < offset + kNameBytes) return {};
    std::string field = bytes.substr(offset, kNameBytes);
    field = field.substr(0, field.find('\0'));
    field.erase(field.find_last_not_of(' ') + 1);
    return cp437Utf8(field);
}

// A list of JSON values, one a line, inside an object's member at the first level.
std::string jsonList(const std::vector<std::string>& items) {
    std::string out = "[";
    for (size_t i = 0; i < items.size(); ++i) {
        out += i ? ",\n    " : "\n    ";
        out += items[i];
    }
    out += items.empty() ? "]" : "\n  ]";
    return out;
}

std::string field(const char* name, const std::string& value, bool last = false) {
    return jsonString(name) + ": " + value + (last ? "" : ", ");
}

// One song of the music list: its file and, when the player loads it, what it holds and how
// long it plays until it first loops back.
std::string songFacts(const MusicEntry& entry) {
    const std::string path = resolvePath(entry.fileName);
    std::string out = "{";
    out += field("file", jsonString(entry.fileName));
    PlayerContext context;
    setFileCallbacks(context, memoryFileCallbacks());
    Song* song = createSong(context, path.c_str());
    if (!song) return out + field("loads", "false", true) + "}";
    std::ifstream in(path, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    size_t samples = 0;
    for (int i = 0; i < song->instrumentCount && size_t(i) < song->instruments.size(); ++i)
        samples += static_cast<size_t>(song->instruments[size_t(i)].sampleCount);
    const int64_t frames =
        framesUntilLoop(path.c_str(), kMixRate, kLongestSongSeconds * int64_t{kMixRate});
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.3f", double(frames) / kMixRate);
    out += field("loads", "true") + field("title", jsonString(headerText(bytes, kTitleOffset))) +
           field("tracker", jsonString(headerText(bytes, kTrackerOffset))) +
           field("channels", std::to_string(song->channelCount)) +
           field("patterns", std::to_string(song->patterns.size())) +
           field("instruments", std::to_string(song->instrumentCount)) +
           field("samples", std::to_string(samples)) +
           field("orders", std::to_string(song->songLength)) + field("seconds", seconds, true);
    freeSong(context, song);
    return out + "}";
}

}  // namespace

std::string magazineFacts(const MagazineModel& model, const std::string& report) {
    std::vector<std::string> pages, music, includes, lines;
    for (size_t i = 0; i < model.pages.size(); ++i) {
        const Page& page = model.pages[i];
        std::string links = "[";
        for (const int32_t target : pageLinks(model, int32_t(i))) {
            if (links.size() > 1) links += ", ";
            links += std::to_string(target);
        }
        links += ']';
        std::string facts = "{";
        facts += field("number", std::to_string(i)) +
                 field("name", jsonString(cp437Utf8(page.name))) +
                 field("lines", std::to_string(page.lineCount)) +
                 field("menu", page.isMenu ? "true" : "false") + field("links", links, true);
        pages.push_back(facts + "}");
    }
    size_t done = 0;
    for (const MusicEntry& entry : model.musicList) {
        if (entry.scriptLine == 0) continue;  // a slot never set names no file
        if (model.musicList.size() >= kManyItems)
            std::fprintf(stderr, "\rmagexport: song %zu of %zu", ++done, model.musicList.size());
        music.push_back(songFacts(entry));
    }
    if (model.musicList.size() >= kManyItems) std::fputc('\n', stderr);
    for (const std::string& name : model.includes) includes.push_back(jsonString(name));
    std::string summary;
    for (size_t start = 0; start < report.size();) {
        const size_t end = report.find('\n', start);
        const std::string line = report.substr(start, end - start);
        start = end == std::string::npos ? report.size() : end + 1;
        if (start >= report.size())
            summary = line;  // the last line counts the errors and warnings
        else
            lines.push_back(jsonString(line));
    }
    std::string out = "{\n  ";
    out += field("title", jsonString(magazineTitle(model))) + "\n  " +
           field("pages", jsonList(pages)) + "\n  " + field("music", jsonList(music)) + "\n  " +
           field("fonts", jsonList({jsonString(kFontFile)})) + "\n  " +
           field("includes", jsonList(includes)) + "\n  " + field("check", jsonList(lines)) +
           "\n  " + field("checkSummary", jsonString(summary), true) + "\n}\n";
    return out;
}

}  // namespace qvl
