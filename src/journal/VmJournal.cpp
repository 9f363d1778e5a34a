#include "journal/VmJournal.h"

#include "file/VmErg.h"
#include "model/VmBasis.h"

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace vm {

std::string JournalName(const std::string& ergFile) {
    const std::size_t slash = ergFile.find_last_of('/');
    const std::size_t start = slash == std::string::npos ? 0 : slash + 1;
    const std::size_t dot = ergFile.find('.', start);
    if (dot == std::string::npos) return ergFile + ".LOG";
    return ergFile.substr(0, dot + 1) + "LOG";
}

std::string FormatJournalBlock(const TJournalEntry& entry) {
    std::tm tm{};
    const std::time_t t = entry.time;
    localtime_r(&t, &tm);
    char when[40];
    std::strftime(when, sizeof when, "%d.%m.%Y %H:%M:%S", &tm);
    std::string block;
    std::size_t size = 64 + entry.label.size() + entry.program.size();
    for (const std::string& line : entry.lines)
        size += line.size() + 3;
    block.reserve(size);
    block += when;
    block += " | ";
    block += entry.label;
    block += " | ";
    block += entry.program;
    block += '\n';
    if (entry.lines.empty()) block += "  (keine Änderung eingegebener Daten)\n";
    for (const std::string& line : entry.lines) {
        block += "  ";
        const std::size_t at = block.size();
        block += line;
        // A line break inside a field would start a line that is not the entry's.
        for (std::size_t i = at; i < block.size(); ++i)
            if (block[i] == '\n' || block[i] == '\r') block[i] = ' ';
        block += '\n';
    }
    block += '\n';
    return block;
}

namespace {

std::string Reason(int error) {
    return error ? std::string(std::strerror(error)) : std::string("unbekannter Fehler");
}

} // namespace

bool AppendJournal(const std::string& ergFile, const std::vector<TJournalEntry>& entries,
                   std::string& error) {
    error.clear();
    if (entries.empty()) return true;
    const std::string name = JournalName(ergFile);
    if (name == ergFile) {
        error = "Das Änderungsprotokoll ´" + name +
                "´ hätte den Namen der Ergebnisdatei und wurde nicht geschrieben.";
        return false;
    }
    std::string text;
    for (const TJournalEntry& e : entries)
        text += FormatJournalBlock(e);

    // Append only: O_APPEND puts every write at the end, so that nothing that is there
    // can be overwritten, not even by a second program writing at the same time. Read
    // access is for the look at the first bytes below.
    const int fd = ::open(name.c_str(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        error = "Das Änderungsprotokoll ´" + name +
                "´ konnte nicht geschrieben werden: " + Reason(errno);
        return false;
    }
    // A result file that carries the journal's name is not a journal.
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size >= 38) {
        char head[SignatureSize];
        if (::pread(fd, head, sizeof head, 0) == static_cast<ssize_t>(sizeof head)) {
            if (DetectSignature(std::string_view(head, sizeof head)) != TResultKind::Unknown) {
                ::close(fd);
                error = "´" + name +
                        "´ ist eine Ergebnisdatei; das Änderungsprotokoll wurde "
                        "nicht geschrieben.";
                return false;
            }
        }
    }
    std::size_t done = 0;
    int failure = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            failure = errno;
            break;
        }
        if (n == 0) {
            failure = EIO;
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    if (::close(fd) != 0 && failure == 0) failure = errno;
    if (failure != 0) {
        error = "Das Änderungsprotokoll ´" + name +
                "´ konnte nicht vollständig geschrieben werden: " + Reason(failure);
        return false;
    }
    return true;
}

bool ReadJournal(const std::string& ergFile, std::string& text, std::string& error) {
    text.clear();
    error.clear();
    const std::string name = JournalName(ergFile);
    errno = 0;
    std::ifstream in(name, std::ios::binary);
    if (!in) {
        error = errno == ENOENT || errno == 0
                    ? "Zu ´" + ergFile + "´ gibt es noch kein Änderungsprotokoll."
                    : "Das Änderungsprotokoll ´" + name +
                          "´ kann nicht gelesen werden: " + Reason(errno);
        return false;
    }
    std::ostringstream buffer;
    buffer << in.rdbuf();
    if (in.bad()) {
        error = "Das Änderungsprotokoll ´" + name + "´ kann nicht gelesen werden.";
        return false;
    }
    text = buffer.str();
    return true;
}

std::map<std::string, std::time_t> LastChangeByAgeClass(const std::string& journalText) {
    std::map<std::string, std::time_t> last;
    std::time_t block = 0;
    std::size_t pos = 0;
    while (pos < journalText.size()) {
        std::size_t end = journalText.find('\n', pos);
        if (end == std::string::npos) end = journalText.size();
        const std::string line = journalText.substr(pos, end - pos);
        pos = end + 1;
        if (line.empty()) continue;
        if (line[0] != ' ') {
            // "11.12.2026 14:32:05 | Qualifikation | Velmora"
            std::tm tm{};
            const char* rest = strptime(line.c_str(), "%d.%m.%Y %H:%M:%S", &tm);
            if (rest) {
                tm.tm_isdst = -1;
                block = std::mktime(&tm);
            }
            continue;
        }
        const std::size_t start = line.find_first_not_of(' ');
        const std::size_t bar = line.find(" | ", start);
        if (!block || start == std::string::npos || bar == std::string::npos) continue;
        const std::string subject = line.substr(start, bar - start);
        if (subject == "Wettkampf" || subject.rfind("Gliederung ", 0) == 0) continue;
        std::time_t& t = last[subject];
        t = std::max(t, block);
    }
    return last;
}

std::map<std::string, std::time_t> LastChangeOfFile(const std::string& ergFile) {
    std::string text, error;
    std::map<std::string, std::time_t> stored;
    if (!ReadJournal(ergFile, text, error)) return stored;
    for (const auto& [name, when] : LastChangeByAgeClass(text))
        stored[Utf8ToOem(name)] = when;
    return stored;
}

} // namespace vm
