// magexport as a program: on the demo and on a magazine written here, its text against magshot's
// page by page, its pictures against magshot's shots, its links and HTML, its song facts against
// what the test's own modules hold, and a magazine that does not read.
#include <png.h>
#include <sys/wait.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <regex>

#include "../support/file_bytes.h"
#include "../support/scratch_dir.h"
#include "../support/test_font.h"
#include "xmwrite/xm_writer.h"

namespace qvl::testing {
namespace {

namespace fs = std::filesystem;

int run(const std::string& command) {
    const int status = std::system((command + " 2>err.txt").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string readText(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// The page magshot shows after keys (virtual-key codes), as its --text writes it.
std::string magshotText(const fs::path& dir, const std::string& keys) {
    EXPECT_EQ(run("'" QVL_MAGSHOT "' --dir '" + dir.string() + "' " + keys + " --text shown.txt"),
              0);
    return readText("shown.txt");
}

// A PNG file decoded to 8-bit RGB; width 0 when it does not decode.
struct Picture {
    png_uint_32 width = 0, height = 0;
    std::vector<uint8_t> rgb;
};
Picture decode(const fs::path& file) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    Picture p;
    if (!png_image_begin_read_from_file(&image, file.c_str())) return p;
    image.format = PNG_FORMAT_RGB;
    p.rgb.resize(PNG_IMAGE_SIZE(image));
    if (png_image_finish_read(&image, nullptr, p.rgb.data(), 0, nullptr))
        p.width = image.width, p.height = image.height;
    return p;
}

// Every HTML file of out: no script, tags that nest and close (void elements aside), and links
// to files that exist.
void checkHtml(const fs::path& out) {
    const std::regex tag("<(/?)([a-zA-Z0-9!]+)[^>]*>"), href("href=\"([^\"]*)\"");
    for (const auto& entry : fs::directory_iterator(out)) {
        if (entry.path().extension() != ".html") continue;
        const std::string html = readText(entry.path()), name = entry.path().filename().string();
        EXPECT_EQ(html.find("<script"), std::string::npos) << name;
        std::vector<std::string> open;
        for (std::sregex_iterator t(html.begin(), html.end(), tag), end; t != end; ++t) {
            const std::string element = (*t)[2];
            if (element == "!DOCTYPE" || element == "meta") continue;
            if ((*t)[1].length() == 0) {
                open.push_back(element);
            } else {
                ASSERT_FALSE(open.empty()) << name << ": </" << element << "> closes nothing";
                ASSERT_EQ(open.back(), element) << name;
                open.pop_back();
            }
        }
        EXPECT_TRUE(open.empty()) << name;
        for (std::sregex_iterator h(html.begin(), html.end(), href), end; h != end; ++h)
            EXPECT_TRUE(fs::exists(out / (*h)[1].str())) << name << " links to " << (*h)[1];
    }
}

class Magexport : public ScratchDir {};

TEST_F(Magexport, TheDemoExportsAsTheViewerShowsIt) {
    const fs::path demo = QVL_SOURCE_DIR "/demo", out = dir() / "out";
    ASSERT_EQ(run("'" QVL_MAGEXPORT "' '" + demo.string() + "' out"), 0) << readText("err.txt");
    // Each page as the viewer shows it, reached from the contents' menu (Down, Return; the
    // menu's entries open pages 1-7, 10 and 9) and page 8 from page 7 (Right).
    const std::string text = readText(out / "text.txt");
    const int kMenuPages[] = {1, 2, 3, 4, 5, 6, 7, 10, 9};
    std::vector<std::string> keys(11, "--wait 0");
    for (int entry = 0; entry < 9; ++entry) {
        std::string downs;
        for (int i = 0; i < entry; ++i) downs += "--key 40 ";
        keys[size_t(kMenuPages[entry])] = downs + "--key 13 --wait 1000";
    }
    keys[8] = keys[7] + " --key 39 --wait 1000";
    EXPECT_EQ(text.rfind("=== page 0: contents ===\n", 0), 0u);
    for (size_t page = 0, at = 0; page < keys.size(); ++page) {
        const size_t body = text.find("===\n", at) + 4;
        at = text.find("\n=== page " + std::to_string(page + 1) + ": ", body);
        EXPECT_EQ(text.substr(body, at == std::string::npos ? at : at + 1 - body),
                  magshotText(demo, keys[page]))
            << "page " << page;
    }
    checkHtml(out);

    ASSERT_EQ(run("'" QVL_MAGSHOT "' --dir '" + demo.string() + "' --wait 3000 --shot " +
                  (dir() / "home.png").string()),
              0);
    const Picture home = decode("home.png"), cover = decode(out / "cover.png"),
                  big = decode(out / "cover@2x.png");
    ASSERT_EQ(cover.width, 640u);
    EXPECT_TRUE(cover.rgb == home.rgb);
    ASSERT_EQ(big.width, 1280u);
    ASSERT_EQ(big.height, 960u);
    for (size_t y = 0; y < 960; y += 7)
        for (size_t x = 0; x < 1280; x += 5)
            for (size_t c = 0; c < 3; ++c)
                ASSERT_EQ(big.rgb[(y * 1280 + x) * 3 + c],
                          home.rgb[((y / 2) * 640 + x / 2) * 3 + c]);
}

// Two modules of the test's own making: their lengths follow from rows x speed ticks of
// 2.5 / bpm seconds each, played through every order once.
struct SongCase {
    const char* file;
    const char* title;
    int channels, speed, bpm, rows;
    std::vector<uint8_t> orders;
    int patterns, instruments;
};
const SongCase kSongs[] = {
    {"one.xm", "first & \"best\"", 4, 6, 125, 64, {0, 1, 0}, 2, 2},
    {"two.xm", "second", 6, 3, 150, 32, {0, 0}, 1, 1},
};

void writeSong(const SongCase& s) {
    XmModule module;
    module.channels = s.channels, module.speed = uint16_t(s.speed), module.bpm = uint16_t(s.bpm);
    module.orders = s.orders;
    module.songLength = int(s.orders.size());
    XmPattern pattern;
    pattern.rows = s.rows;
    module.patterns.assign(size_t(s.patterns), pattern);
    for (int i = 0; i < s.instruments; ++i)
        module.instruments.push_back(oneSampleInstrument(XmSample{{0, 50, -50, 0}}));
    std::vector<uint8_t> bytes = buildXm(module);
    // The header's title (bytes 17-36) and tracker name (38-57), padded with zeros.
    std::fill(bytes.begin() + 17, bytes.begin() + 58, 0);
    std::copy_n(s.title, std::strlen(s.title), bytes.begin() + 17);
    std::copy_n("hand made", 9, bytes.begin() + 38);
    writeBytes(s.file, bytes);
}

TEST_F(Magexport, AWrittenMagazineGivesItsPagesSongsAndLinks) {
    writeTestFont(dir());
    for (const SongCase& s : kSongs) writeSong(s);
    writeFile("qvl.mag",
              "#startglobalconfig\n#setglobaloption fading off\n#definekeys 3\n"
              "#key 0 a jump 0\n#key 1 b jump 1\n#key 2 c jump 2\n#endglobalconfig\n"
              "#definepages 3\n#homepage 0\n#definemusic 2\n#music 0 \"one.xm\"\n"
              "#music 1 \"two.xm\"\n#definestartmusic 0\n"
              "#startpage 0 \"a<b & c\"\nfirst line\n<color 2 0>green</color> & <b>bold</b>\n"
              "#startpage 1 \"second\"\n##\nafter an empty line\n"
              "#startpage 2 \"third\"\nlast page\n");
    ASSERT_EQ(run("'" QVL_MAGEXPORT "' . out"), 0) << readText("err.txt");
    const char* names[] = {"a<b & c", "second", "third"};
    std::string expected;
    for (int page = 0; page < 3; ++page)
        expected += "=== page " + std::to_string(page) + ": " + names[page] + " ===\n" +
                    magshotText(dir(), "--key " + std::to_string('A' + page) + " --wait 10");
    EXPECT_EQ(readText("out/text.txt"), expected);
    checkHtml("out");
    const std::string page0 = readText("out/page-0.html");
    EXPECT_NE(page0.find("<title>a&lt;b &amp; c</title>"), std::string::npos);
    // Mark-up colours fg on bg; bold alone is ink 0 from the bright row on black (bg 8).
    EXPECT_NE(page0.find("<span class=\"f2 b0\">green</span><span class=\"f7 b16\"> &amp; "
                         "</span><span class=\"f8 b16\">bold</span>\n"),
              std::string::npos);

    const std::string json = readText("out/magazine.json");
    EXPECT_NE(
        json.find("\"name\": \"a<b & c\", \"lines\": 2, \"menu\": false, \"links\": [0, 1, 2]"),
        std::string::npos);
    for (const SongCase& s : kSongs) {
        char facts[400];
        std::snprintf(facts, sizeof facts,
                      "\"tracker\": \"hand made\", \"channels\": %d, \"patterns\": %d, "
                      "\"instruments\": %d, \"samples\": %d, \"orders\": %zu, \"seconds\": %.3f}",
                      s.channels, s.patterns, s.instruments, s.instruments, s.orders.size(),
                      double(s.orders.size()) * s.rows * s.speed * 2.5 / s.bpm);
        EXPECT_NE(json.find(facts), std::string::npos) << facts << "\n" << json;
    }
    EXPECT_NE(json.find("\"title\": \"first & \\\"best\\\"\""), std::string::npos);
}

TEST_F(Magexport, ExitCodesSayWhetherTheMagazineReadsAndWithWarnings) {
    writeTestFont(dir());
    writeFile("qvl.mag", "#definepages 1\n#startpage 0 \"x\"\n<blink>\n");
    ASSERT_EQ(run("'" QVL_MAGSHOT "' --wait 0"), 1);
    const std::string viewer = readText("err.txt");
    ASSERT_NE(viewer.find("terminating"), std::string::npos);
    EXPECT_EQ(run("'" QVL_MAGEXPORT "' . out"), 2);
    const std::string exported = readText("err.txt");
    // Every message the viewer showed ("caption: text") stands in the export's error.
    for (size_t at = 0, end; at < viewer.size(); at = end + 1) {
        end = viewer.find('\n', at);
        const std::string line = viewer.substr(at, end - at);
        EXPECT_NE(exported.find(line.substr(line.find(": ") + 2)), std::string::npos) << exported;
    }
    // A magazine that reads with a warning: exit 1, and magcheck's line in the facts.
    writeFile("qvl.mag", "#definepages 2\n");
    EXPECT_EQ(run("'" QVL_MAGEXPORT "' . out"), 1);
    EXPECT_NE(readText("out/magazine.json")
                  .find("\"check\": [\n    \"qvl.mag:1: warning: page 1 cannot be reached: "),
              std::string::npos);
    EXPECT_EQ(run("'" QVL_MAGEXPORT "' . out extra"), 3);
}

}  // namespace
}  // namespace qvl::testing
