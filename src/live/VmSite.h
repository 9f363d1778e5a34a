// The live results site: one renderer that turns a competition into a small static
// web site (an index, one page per age class with participants, the downloads as CSV,
// workbook and JSON), written into a folder by publishing or served from memory by the
// built-in server. Everything is built in memory first, so that a reader never sees a
// half-written page.
#pragma once

#include "model/VmWettk.h"

#include <ctime>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vm {

// The version of the JSON structure in ergebnisse.json; raised whenever a field
// changes its meaning or disappears (new fields may be added within a version).
inline constexpr int SiteJsonVersion = 1;

struct TSiteFile {
    std::string Name;        // "index.html", "ak-3.html", "ergebnisse.csv" ...
    std::string ContentType; // "text/html; charset=utf-8" ...
    std::string Body;
};

struct TSiteOptions {
    // The time of writing ("Stand: "); 0 takes the current time.
    std::time_t Now = 0;
    // The time of an age class's last change, by the age class's name as stored; an
    // age class without an entry shows no such line.
    std::map<std::string, std::time_t> LastChange;
    // Without the workbook (which costs the most to build) when false.
    bool Workbook = true;
};

class TSite {
public:
    std::vector<TSiteFile> Files;
    // The file with that name, or nullptr.
    const TSiteFile* Find(std::string_view name) const;
    void Add(TSiteFile file);

private:
    std::map<std::string, std::size_t, std::less<>> index_;
};

// The page name of the age class at `position` (1-based) in the competition's order.
std::string AgeClassPageName(int position);
// True for names of that form ("ak-" digits ".html"): the pages publishing owns.
bool IsAgeClassPageName(std::string_view name);

// Renders the whole site. Throws nothing for odd data; a workbook that cannot be
// built is left out (the other files stay).
std::unique_ptr<TSite> RenderSite(const TWettkampf& c, const TSiteOptions& options = {});

// The JSON document alone (ergebnisse.json).
std::string SiteJson(const TWettkampf& c, std::time_t now);

// "11.12.2026, 14:05 Uhr" in local time.
std::string SiteTimeText(std::time_t t);

// Writes the site into `dir` (created when missing): each file under a temporary name
// first, then renamed into place; pages ak-N.html that the site no longer has are
// removed; every other file in the folder is left alone. False with a German message
// in `message` when the folder cannot be written.
bool PublishSite(const TSite& site, const std::string& dir, std::string& message);

} // namespace vm
