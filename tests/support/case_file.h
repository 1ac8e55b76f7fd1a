// Tests whose cases are data. A case file holds cases, each opened by a line "@@ case NAME"
// and made of sections, each opened by a line "@@ KIND ARGUMENT" and holding the lines up to
// the next "@@" line. A case's "expect" section is compared, as written, with the text the
// test makes of the program's result; QVL_UPDATE_CASES set in the environment rewrites the
// expect sections instead, to be read over line by line before they are committed. Cases
// without one check themselves as they run (readCases).
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <sstream>
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
        const char next = s[i] == '\\' && i + 1 < s.size() ? s[i + 1] : '\0';
        const size_t named = next ? kNamedEscapes.find(next) : 1;  // a letter's place is even
        if (next == 'x') {
            out += char(std::stoi(std::string(s.substr(i + 2, 2)), nullptr, 16));
            i += 3;
        } else if (next == '{') {
            const size_t star = s.find('*', i), close = s.find('}', star);
            for (int n = std::stoi(std::string(s.substr(i + 2, star - i - 2))); n > 0; --n)
                out += decode(s.substr(star + 1, close - star - 1));
            i = close;
        } else if (next == 'c') {
            i = std::min(s.find('\n', i), s.size());
        } else if (named % 2 == 0) {
            out += kNamedEscapes[named + 1];
            ++i;
        } else {
            out += s[i];
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

// The sections of a file in order, after a first one of no kind holding the lines before them.
inline std::vector<CaseSection> readSections(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in) << path;
    std::vector<CaseSection> all(1);
    for (std::string line; std::getline(in, line);) {
        const size_t space = line.find(' ', 3);
        if (line.rfind("@@ ", 0) == 0)
            all.push_back(
                {line.substr(3, space - 3), space == line.npos ? "" : line.substr(space + 1), {}});
        else
            all.back().body += line + '\n';
    }
    EXPECT_GT(all.size(), 1u) << path << " holds no cases";
    return all;
}

// The cases of a file, for tests whose cases check themselves as they run.
inline std::vector<Case> readCases(const std::string& path) {
    const std::vector<CaseSection> all = readSections(path);
    std::vector<Case> cases;
    for (auto s = all.begin() + 1; s != all.end(); ++s) {
        if (s->kind == "case")
            cases.push_back({s->argument, s->body, {}});
        else if (cases.empty())
            ADD_FAILURE() << path << ": a section before the first case";
        else
            cases.back().sections.push_back(*s);
    }
    return cases;
}

// The rows of the table NAME in a file, a section "@@ table NAME": its lines split at spaces
// into fields, each decoded, "-" standing for an empty one; a field that starts with "#" and
// the rest of its line are a comment, and so are lines that hold nothing else.
inline std::vector<std::vector<std::string>> tableRows(const std::string& path,
                                                       std::string_view name) {
    std::vector<std::vector<std::string>> rows;
    for (const CaseSection& s : readSections(path)) {
        std::istringstream lines(s.kind == "table" && s.argument == name ? s.body : "");
        for (std::string line; std::getline(lines, line);) {
            std::vector<std::string> row;
            std::istringstream words(line);
            for (std::string w; words >> w && w[0] != '#';)
                row.push_back(w == "-" ? "" : decode(w));
            if (!row.empty()) rows.push_back(row);
        }
    }
    EXPECT_FALSE(rows.empty()) << path << " holds no table " << name;
    return rows;
}

// Reads the cases of a file and checks each one's expect section against dump(case).
inline void checkCases(const std::string& path,
                       const std::function<std::string(const Case&)>& dump) {
    std::vector<CaseSection> all = readSections(path);
    if (all.size() < 2) return;
    const bool update = std::getenv("QVL_UPDATE_CASES") != nullptr;
    for (auto at = all.begin() + 1, end = at; at != all.end(); at = end) {
        ASSERT_EQ(at->kind, "case") << path;
        end = std::find_if(at + 1, all.end(), [](auto& s) { return s.kind == "case"; });
        const Case c{at->argument, at->body, {at + 1, end}};
        const std::string actual = dump(c);
        const auto expect = std::find_if(at + 1, end, [](auto& s) { return s.kind == "expect"; });
        if (expect == end) {
            ADD_FAILURE() << c.name << " has no expect section";
            end = all.insert(end, {"expect", "", actual}) + 1;
        } else {
            EXPECT_EQ(expect->body, actual) << c.name;
            if (update) expect->body = actual;
        }
    }
    if (!update) return;
    std::ofstream out(path, std::ios::binary);
    out << all[0].body;
    for (auto s = all.begin() + 1; s != all.end(); ++s)
        out << "@@ " << s->kind << (s->argument.empty() ? "" : " ") << s->argument << "\n"
            << s->body;
}

}  // namespace qvl::testing
