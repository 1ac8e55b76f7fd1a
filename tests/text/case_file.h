// Tests whose cases are data. A case file holds cases, each opened by a line "@@ case NAME"
// and made of sections, each opened by a line "@@ KIND ARGUMENT" and holding the lines up to
// the next "@@" line. A case's "expect" section is compared, as written, with the text the
// test makes of the program's result; QVL_UPDATE_CASES set in the environment rewrites the
// expect sections instead, to be read over line by line before they are committed.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace qvl::testing {

// The named escapes, each letter followed by the byte it stands for.
constexpr std::string_view kNamedEscapes = "n\nr\rt\te\x1b";

// Input escapes: \n \r \t \e (ESC), \xHH, \{N*TEXT} for TEXT (without "}") N times, and \c
// drops the rest of its line and the line end. Any other backslash stands for itself, so that
// Windows names such as "music\intro.xm" need none.
inline std::string decode(std::string_view s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        const char next = i + 1 < s.size() ? s[i + 1] : '\0';
        const size_t named = kNamedEscapes.find(next);
        if (s[i] != '\\' || next == '\0' || (named % 2 && !std::strchr("x{c", next))) {
            out += s[i];
            continue;
        }
        ++i;
        if (next == 'x') {
            out += char(std::stoi(std::string(s.substr(i + 1, 2)), nullptr, 16));
            i += 2;
        } else if (next == '{') {
            const size_t star = s.find('*', i), close = s.find('}', star);
            const std::string text = decode(s.substr(star + 1, close - star - 1));
            for (int n = std::stoi(std::string(s.substr(i + 1, star - i - 1))); n > 0; --n)
                out += text;
            i = close;
        } else if (next == 'c') {
            i = std::min(s.find('\n', i), s.size());
        } else {
            out += kNamedEscapes[named + 1];
        }
    }
    return out;
}

// Text for an expect section: control and high bytes escaped as decode reads them, runs of
// ten or more equal characters written as \{N*C}.
inline std::string escape(std::string_view s) {
    std::string out;
    for (size_t i = 0, run = 1; i < s.size(); i += run) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        const size_t named = c ? kNamedEscapes.find(char(c)) : std::string_view::npos;
        char one[8] = {char(c)};
        if (named != std::string_view::npos && named % 2)
            std::snprintf(one, sizeof one, "\\%c", kNamedEscapes[named - 1]);
        else if (c < 32 || c >= 127)
            std::snprintf(one, sizeof one, "\\x%02X", c);
        for (run = 1; i + run < s.size() && s[i + run] == s[i];) ++run;
        if (run < 10) run = 1;
        out += run > 1 ? "\\{" + std::to_string(run) + "*" + one + "}" : std::string(one);
    }
    return out;
}

struct CaseSection {
    std::string kind, argument, body;  // body: the lines as written, each with its line end
};
struct Case {
    std::string name, note;  // note: the lines before the first section
    std::vector<CaseSection> sections;
    // The decoded body of the first section of a kind; empty without one.
    std::string input(std::string_view kind) const {
        for (const CaseSection& s : sections)
            if (s.kind == kind) return decode(s.body);
        return {};
    }
};

// Reads the cases of a file and checks each one's expect section against dump(case).
inline void checkCases(const std::string& path,
                       const std::function<std::string(const Case&)>& dump) {
    std::ifstream in(path, std::ios::binary);
    ASSERT_TRUE(in) << path;
    std::vector<Case> cases;
    std::string head, line;  // head: the lines before the first case
    while (std::getline(in, line)) {
        if (line.rfind("@@ ", 0) == 0) {
            std::string kind = line.substr(3), argument;
            if (const size_t space = kind.find(' '); space != kind.npos) {
                argument = kind.substr(space + 1);
                kind.resize(space);
            }
            if (kind == "case")
                cases.push_back({argument, {}, {}});
            else
                cases.back().sections.push_back({kind, argument, {}});
        } else {
            std::string& to = cases.empty()                   ? head
                              : cases.back().sections.empty() ? cases.back().note
                                                              : cases.back().sections.back().body;
            to += line + '\n';
        }
    }
    ASSERT_FALSE(cases.empty()) << path;
    const bool update = std::getenv("QVL_UPDATE_CASES") != nullptr;
    std::string out = head;
    for (Case& c : cases) {
        const std::string actual = dump(c);
        out += "@@ case " + c.name + "\n" + c.note;
        bool expected = false;
        for (CaseSection& s : c.sections) {
            if (s.kind == "expect") {
                expected = true;
                if (update) s.body = actual;
                EXPECT_EQ(s.body, actual) << c.name;
            }
            out += "@@ " + s.kind + (s.argument.empty() ? "" : " " + s.argument) + "\n" + s.body;
        }
        if (!expected) {
            ADD_FAILURE() << c.name << " has no expect section";
            out += "@@ expect\n" + actual;
        }
    }
    if (update) std::ofstream(path, std::ios::binary) << out;
}

}  // namespace qvl::testing
