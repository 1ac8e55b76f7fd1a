#include "magazine_facts.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <utility>
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

// An object's members, name and value (already JSON), in order.
using Members = std::vector<std::pair<const char*, std::string>>;

// The object on one line, or with one member a line (the document itself).
std::string jsonObject(const Members& members, bool oneALine = false) {
    std::string out = oneALine ? "{\n  " : "{";
    for (size_t i = 0; i < members.size(); ++i) {
        if (i) out += oneALine ? ",\n  " : ", ";
        out += jsonString(members[i].first);
        out += ": ";
        out += members[i].second;
    }
    out += oneALine ? "\n}\n" : "}";
    return out;
}

// One song of the music list: its file and, when the player loads it, what it holds and how
// long it plays until it first loops back.
std::string songFacts(const MusicEntry& entry) {
    const std::string path = resolvePath(entry.fileName);
    Members facts{{"file", jsonString(entry.fileName)}};
    PlayerContext context;
    setFileCallbacks(context, memoryFileCallbacks());
    Song* song = createSong(context, path.c_str());
    facts.push_back({"loads", song ? "true" : "false"});
    if (!song) return jsonObject(facts);
    std::ifstream in(path, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    size_t samples = 0;
    for (int i = 0; i < song->instrumentCount && size_t(i) < song->instruments.size(); ++i)
        samples += static_cast<size_t>(song->instruments[size_t(i)].sampleCount);
    const int64_t frames =
        framesUntilLoop(path.c_str(), kMixRate, kLongestSongSeconds * int64_t{kMixRate});
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.3f", double(frames) / kMixRate);
    facts.insert(facts.end(), {{"title", jsonString(headerText(bytes, kTitleOffset))},
                               {"tracker", jsonString(headerText(bytes, kTrackerOffset))},
                               {"channels", std::to_string(song->channelCount)},
                               {"patterns", std::to_string(song->patterns.size())},
                               {"instruments", std::to_string(song->instrumentCount)},
                               {"samples", std::to_string(samples)},
                               {"orders", std::to_string(song->songLength)},
                               {"seconds", seconds}});
    freeSong(context, song);
    return jsonObject(facts);
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
        pages.push_back(jsonObject({{"number", std::to_string(i)},
                                    {"name", jsonString(cp437Utf8(page.name))},
                                    {"lines", std::to_string(page.lineCount)},
                                    {"menu", page.isMenu ? "true" : "false"},
                                    {"links", links}}));
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
    return jsonObject({{"title", jsonString(magazineTitle(model))},
                       {"pages", jsonList(pages)},
                       {"music", jsonList(music)},
                       {"fonts", jsonList({jsonString(kFontFile)})},
                       {"includes", jsonList(includes)},
                       {"check", jsonList(lines)},
                       {"checkSummary", jsonString(summary)}},
                      true);
}

}  // namespace qvl
