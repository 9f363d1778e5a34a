#include "file/VmErg.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

namespace vm {

namespace {

constexpr std::int16_t TagParticipant = 1000;
constexpr std::int16_t TagAgeClass = 1001;
constexpr std::int16_t TagGliederung = 1002;
constexpr std::int16_t TagOrgan = 1005;

const char* const kLoadError = "Fehler beim Laden der Datei.";
const char* const kSaveError = "Fehler beim Speichern der Datei.";

struct TFormatHandlers {
    TOldResultReader readOld;
    std::map<TLoadFormat, TImporter> importers;
    std::map<TSaveFormat, TExportWriter> writers;
};

TFormatHandlers& Handlers() {
    static TFormatHandlers h;
    return h;
}

// Reads count, limit and delta of a stored list; false for an impossible count.
bool ReadListHead(TStream& s, int& count, int& limit, int& delta) {
    count = s.ReadI16();
    limit = s.ReadI16();
    delta = s.ReadI16();
    return s.Status() == stOk && count >= 0 && count <= MaxCollectionSize;
}

template <class T> void WriteListHead(TStream& s, const TCollection<T>& list) {
    s.WriteI16(static_cast<std::int16_t>(list.Count()));
    s.WriteI16(static_cast<std::int16_t>(list.Limit()));
    s.WriteI16(static_cast<std::int16_t>(list.Delta()));
}

template <std::size_t N> bool ReadBlock(TStream& s, std::array<std::uint8_t, N>& buf) {
    s.Read(buf.data(), N);
    return s.Status() == stOk;
}

bool ReadAgeClass(TStream& s, TAltersklasse& ac) {
    std::array<std::uint8_t, TAltersklasseData::Size> data{};
    if (!ReadBlock(s, data)) return false;
    ac.Data.Read(data.data());
    int count = 0, limit = 0, delta = 0;
    if (!ReadListHead(s, count, limit, delta)) return false;
    ac.SetLimit(std::max(limit, count));
    ac.SetDelta(delta);
    std::array<std::uint8_t, TTeilnehmer::Size> rec{};
    for (int i = 0; i < count; ++i) {
        if (s.ReadI16() != TagParticipant || s.Status() != stOk) return false;
        if (!ReadBlock(s, rec)) return false;
        auto p = std::make_unique<TTeilnehmer>();
        p->Read(rec.data());
        // Kept in file order: the ranking below sorts stably, so entries that compare
        // equal stay as they were saved.
        ac.Append(std::move(p));
    }
    RecalcAgeClass(ac);
    s.ReadU8(); // the duplicates switch; participants always allow duplicates
    ac.Duplicates = true;
    return s.Status() == stOk;
}

} // namespace

TResultKind DetectSignature(std::string_view first38) {
    if (first38.size() < SignatureSize) return TResultKind::Unknown;
    first38 = first38.substr(0, SignatureSize);
    if (first38 == SignatureV21) return TResultKind::V21;
    if (first38 == SignatureV15) return TResultKind::V15;
    if (first38 == SignatureV10) return TResultKind::V10;
    if (first38 == SignatureTPN) return TResultKind::TPN;
    return TResultKind::Unknown;
}

bool IsResultFile(const std::string& fileName) {
    std::ifstream in(fileName, std::ios::binary);
    if (!in) return false;
    std::string first(SignatureSize, '\0');
    in.read(first.data(), static_cast<std::streamsize>(first.size()));
    if (in.gcount() != static_cast<std::streamsize>(SignatureSize)) return false;
    return DetectSignature(first) != TResultKind::Unknown;
}

bool ReadNative(TStream& s, TWettkampf& c, bool exact) {
    s.Seek(static_cast<std::int64_t>(SignatureSize));
    const std::int32_t h = s.ReadI32();
    if (s.Status() != stOk || h < 0) return false;
    std::array<std::uint8_t, TWettkampfHeader::Size> header{};
    const std::size_t take = std::min<std::size_t>(static_cast<std::size_t>(h), header.size());
    s.Read(header.data(), take);
    if (s.Status() != stOk) return false;
    c.Header.Read(header.data());
    s.Seek(static_cast<std::int64_t>(SignatureSize) + 4 + h);
    if (s.Status() != stOk) return false;

    c.FreeAll();
    c.Gliederungen.FreeAll();
    c.Organisation.FreeAll();

    int count = 0, limit = 0, delta = 0;
    if (!ReadListHead(s, count, limit, delta)) return false;
    c.SetLimit(std::max(limit, count));
    c.SetDelta(delta);
    for (int i = 0; i < count; ++i) {
        if (s.ReadI16() != TagAgeClass || s.Status() != stOk) return false;
        auto ac = std::make_unique<TAltersklasse>();
        if (!ReadAgeClass(s, *ac)) return false;
        c.InsertAgeClass(std::move(ac));
    }
    s.ReadU8(); // the duplicates switch; age classes never allow duplicates
    c.Duplicates = false;
    if (s.Status() != stOk) return false;

    if (!ReadListHead(s, count, limit, delta)) return false;
    c.Gliederungen.SetLimit(std::max(limit, count));
    c.Gliederungen.SetDelta(delta == 0 ? 10 : delta);
    c.Gliederungen.Mode = 0;
    std::array<std::uint8_t, TGliederungStat::Size> grec{};
    for (int i = 0; i < count; ++i) {
        if (s.ReadI16() != TagGliederung || s.Status() != stOk) return false;
        if (!ReadBlock(s, grec)) return false;
        auto g = std::make_unique<TGliederungStat>();
        g->Read(grec.data());
        c.Gliederungen.Append(std::move(g));
    }
    const std::uint8_t statisticsFlag = s.ReadU8();
    c.Gliederungen.Flag = exact ? statisticsFlag : 0;
    if (s.Status() != stOk) return false;
    c.Gliederungen.Sort();

    if (!ReadListHead(s, count, limit, delta)) return false;
    c.Organisation.SetLimit(std::max(limit, count));
    c.Organisation.SetDelta(delta);
    for (int i = 0; i < count; ++i) {
        if (s.ReadI16() != TagOrgan || s.Status() != stOk) return false;
        auto o = std::make_unique<TOrganEntry>();
        if (!ReadBlock(s, o->bytes)) return false;
        c.Organisation.Insert(std::move(o));
    }
    c.Organisation.Flag = s.ReadU8();
    if (s.Status() != stOk) return false;
    c.Sort();
    return true;
}

void WriteNativeHead(TStream& s, const TWettkampf& c) {
    s.WriteText(SignatureV21);
    s.WriteI32(static_cast<std::int32_t>(TWettkampfHeader::Size));
    std::array<std::uint8_t, TWettkampfHeader::Size> header{};
    c.Header.Write(header.data());
    s.Write(header.data(), header.size());
    WriteListHead(s, c);
}

void WriteNativeAgeClass(TStream& s, const TAltersklasse& ac) {
    std::array<std::uint8_t, TAltersklasseData::Size> data{};
    std::array<std::uint8_t, TTeilnehmer::Size> rec{};
    s.WriteI16(TagAgeClass);
    ac.Data.Write(data.data());
    s.Write(data.data(), data.size());
    WriteListHead(s, ac);
    for (const TTeilnehmer& p : ac) {
        s.WriteI16(TagParticipant);
        p.Write(rec.data());
        s.Write(rec.data(), rec.size());
    }
    s.WriteU8(ac.Duplicates ? 1 : 0);
}

void WriteNativeTail(TStream& s, const TWettkampf& c) {
    s.WriteU8(c.Duplicates ? 1 : 0);

    std::array<std::uint8_t, TGliederungStat::Size> grec{};
    WriteListHead(s, c.Gliederungen);
    for (const TGliederungStat& g : c.Gliederungen) {
        s.WriteI16(TagGliederung);
        g.Write(grec.data());
        s.Write(grec.data(), grec.size());
    }
    s.WriteU8(c.Gliederungen.Flag);

    WriteListHead(s, c.Organisation);
    for (const TOrganEntry& o : c.Organisation) {
        s.WriteI16(TagOrgan);
        s.Write(o.bytes.data(), o.bytes.size());
    }
    s.WriteU8(c.Organisation.Flag);
}

void WriteNative(TStream& s, const TWettkampf& c) {
    WriteNativeHead(s, c);
    for (const TAltersklasse& ac : c)
        WriteNativeAgeClass(s, ac);
    WriteNativeTail(s, c);
}

bool ReadResultStream(TStream& s, TWettkampf& into) {
    std::string first(SignatureSize, '\0');
    s.Seek(0);
    s.Read(first.data(), first.size());
    const bool complete = s.Status() == stOk;
    s.Seek(0);
    const TResultKind kind = complete ? DetectSignature(first) : TResultKind::Unknown;
    switch (kind) {
    case TResultKind::V21:
        return ReadNative(s, into);
    case TResultKind::Unknown:
        break;
    default:
        if (Handlers().readOld) {
            if (!Handlers().readOld(kind, s, into)) return false;
            into.Gliederungen.Flag = 0; // like every list that was read from a file
            return true;
        }
        break;
    }
    ShowMessage("Unbekanntes Ergebnisdateiformat.");
    return false;
}

std::string BackupName(const std::string& fileName) {
    const std::size_t slash = fileName.find_last_of('/');
    const std::size_t start = slash == std::string::npos ? 0 : slash + 1;
    const std::size_t dot = fileName.find('.', start);
    if (dot == std::string::npos) return fileName + ".BAK";
    return fileName.substr(0, dot + 1) + "BAK";
}

bool WriteFileSafely(const std::string& fileName, const std::function<bool(TStream&)>& write,
                     bool backup) {
    if (WriteFileAtomically(fileName, write, backup)) return true;
    ShowMessage(kSaveError);
    return false;
}

bool WriteFileAtomically(const std::string& fileName, const std::function<bool(TStream&)>& write,
                         bool backup) {
    namespace fs = std::filesystem;
    static std::atomic<unsigned> counter{0};
    const fs::path target(fileName);
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::string tmpName = ".";
    tmpName.append(target.filename().string());
    tmpName.append(".tmp");
    tmpName.append(std::to_string(getpid()));
    tmpName.push_back('-');
    tmpName.append(std::to_string(counter++));
    const std::string tmp = (folder / tmpName).string();
    // Held from the start so that the temporary file can still be removed when the
    // folder is moved away or replaced while the file is written.
    const int folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    bool ok = false;
    {
        TBufStream out(tmp, TOpenMode::Create);
        if (out.OpenResult() == stOk) {
            try {
                ok = write(out) && !out.WriteFailed();
            } catch (const std::bad_alloc&) {
                ok = false;
            }
            ok = out.Done() && ok;
        }
    }
    if (ok) {
        struct stat st {};
        if (::stat(fileName.c_str(), &st) == 0) {
            if (S_ISDIR(st.st_mode)) {
                NoteSystemError(EISDIR);
                ok = false;
            } else
                ::chmod(tmp.c_str(), st.st_mode & 07777);
        }
    }
    if (ok) {
        const std::string bak = BackupName(fileName);
        const bool makeBackup = backup && bak != fileName && ::access(fileName.c_str(), F_OK) == 0;
        // The previous file first gets a second name, so that the new file replaces it
        // in one step and the older backup is given up only once the new file is in
        // place. Without hard links it is renamed to the backup name directly.
        const std::string heldName = tmpName + ".bak";
        const std::string held = (folder / heldName).string();
        const bool linked = makeBackup && ::link(fileName.c_str(), held.c_str()) == 0;
        bool movedToBackup = false;
        if (makeBackup && !linked) {
            ::unlink(bak.c_str());
            movedToBackup = ::rename(fileName.c_str(), bak.c_str()) == 0;
        }
        if (::rename(tmp.c_str(), fileName.c_str()) != 0) {
            NoteSystemError(errno);
            ok = false;
            if (linked && (folderFd < 0 || ::unlinkat(folderFd, heldName.c_str(), 0) != 0))
                ::unlink(held.c_str());
            if (movedToBackup) ::rename(bak.c_str(), fileName.c_str());
        } else if (linked) {
            // The second name goes when the rename fails, and also when it had nothing to
            // do because the backup already was the same file.
            ::rename(held.c_str(), bak.c_str());
            ::unlink(held.c_str());
        }
    }
    if (!ok) {
        if (folderFd < 0 || ::unlinkat(folderFd, tmpName.c_str(), 0) != 0) ::unlink(tmp.c_str());
        if (folderFd >= 0) ::close(folderFd);
        return false;
    }
    // Make the new directory entry durable as well.
    if (folderFd >= 0) {
        ::fsync(folderFd);
        ::close(folderFd);
    }
    return true;
}

void SetOldResultReader(TOldResultReader reader) {
    Handlers().readOld = std::move(reader);
}
void SetImporter(TLoadFormat format, TImporter importer) {
    Handlers().importers[format] = std::move(importer);
}
void SetExportWriter(TSaveFormat format, TExportWriter writer) {
    Handlers().writers[format] = std::move(writer);
}

TLoadFormat LoadFormatFromCode(int code) {
    return static_cast<TLoadFormat>(code);
}

TSaveFormat SaveFormatFromCode(int code) {
    return static_cast<TSaveFormat>(code);
}

namespace {
// Reads a result file into a fresh competition; nullptr (message shown) on failure.
std::unique_ptr<TWettkampf> ReadResultFile(const std::string& fileName) {
    SetBusy(true);
    std::unique_ptr<TWettkampf> fresh;
    bool ok = false;
    try {
        TBufStream in(fileName, TOpenMode::OpenRead);
        if (in.OpenResult() == stOk) {
            fresh = std::make_unique<TWettkampf>();
            ok = ReadResultStream(in, *fresh);
        }
    } catch (const std::bad_alloc&) {
        fresh.reset();
        SetBusy(false);
        ShowMessage("Zu wenig Speicher, um die Datei zu laden.");
        return nullptr;
    }
    SetBusy(false);
    if (!ok) {
        ShowMessage(kLoadError);
        return nullptr;
    }
    return fresh;
}

template <class T, class L> void TakeList(L& to, L& from) {
    to.FreeAll();
    to.SetLimit(from.Limit());
    to.SetDelta(from.Delta());
    for (auto& item : from.DeleteAll())
        to.AtInsert(to.Count(), std::move(item));
}
} // namespace

std::unique_ptr<TWettkampf> Load(const std::string& fileName, TLoadFormat format) {
    if (format != TLoadFormat::Ergebnis && format != TLoadFormat::ErgebnisAlias) {
        ShowMessage("Unbekanntes Dateiformat.");
        ShowMessage(kLoadError);
        return nullptr;
    }
    return ReadResultFile(fileName);
}

bool LoadInto(const std::string& fileName, TWettkampf& into, TLoadFormat format) {
    switch (format) {
    case TLoadFormat::Ergebnis:
    case TLoadFormat::ErgebnisAlias:
    case TLoadFormat::ErgebnisAktuellesJahr: {
        auto fresh = ReadResultFile(fileName);
        if (!fresh) return false;
        if (format == TLoadFormat::ErgebnisAktuellesJahr) ShiftYears(*fresh, CurrentYear() - 1990);
        // Replace the content only now: a failed load leaves the document as it was.
        into.Header = fresh->Header;
        TakeList<TAltersklasse>(static_cast<TCollection<TAltersklasse>&>(into),
                                static_cast<TCollection<TAltersklasse>&>(*fresh));
        TakeList<TGliederungStat>(static_cast<TCollection<TGliederungStat>&>(into.Gliederungen),
                                  static_cast<TCollection<TGliederungStat>&>(fresh->Gliederungen));
        into.Gliederungen.Mode = fresh->Gliederungen.Mode;
        into.Gliederungen.Flag = fresh->Gliederungen.Flag;
        TakeList<TOrganEntry>(static_cast<TCollection<TOrganEntry>&>(into.Organisation),
                              static_cast<TCollection<TOrganEntry>&>(fresh->Organisation));
        into.Organisation.Flag = fresh->Organisation.Flag;
        return true;
    }
    case TLoadFormat::TeilnehmerBinaer:
    case TLoadFormat::TeilnehmerText:
        // Imports add to the open competition and report their own problems.
        if (auto it = Handlers().importers.find(format);
            it != Handlers().importers.end() && it->second)
            return it->second(fileName, into);
        ShowMessage("Unbekanntes Dateiformat.");
        ShowMessage(kLoadError);
        return false;
    case TLoadFormat::Leer4:
    case TLoadFormat::Leer6:
    case TLoadFormat::Leer7:
        return true;
    }
    ShowMessage("Unbekanntes Dateiformat.");
    ShowMessage(kLoadError);
    return false;
}

namespace {
bool WriteResultFile(const std::string& fileName, const TWettkampf& c) {
    return WriteFileSafely(fileName, [&](TStream& s) {
        WriteNative(s, c);
        return true;
    });
}
} // namespace

bool Save(const std::string& fileName, TWettkampf& c, TSaveFormat format,
          const TSaveOptions& options) {
    SetBusy(true);
    bool ok = false;
    switch (format) {
    case TSaveFormat::Ergebnis:
        ok = WriteResultFile(fileName, c);
        break;
    case TSaveFormat::ErgebnisJahrNeutral:
        ShiftYears(c, 1990 - CurrentYear());
        ok = WriteResultFile(fileName, c);
        ShiftYears(c, CurrentYear() - 1990);
        break;
    case TSaveFormat::Text:
    case TSaveFormat::Dbf:
    case TSaveFormat::Html:
    case TSaveFormat::Xls:
    case TSaveFormat::Pdf:
    case TSaveFormat::Xlsx: {
        auto it = Handlers().writers.find(format);
        if (it == Handlers().writers.end() || !it->second) {
            ShowMessage("Unbekanntes Dateiformat.");
            break;
        }
        const TExportWriter& writer = it->second;
        ok = WriteFileSafely(fileName, [&](TStream& s) { return writer(s, c, options); });
    } break;
    default:
        // Nothing to write: an empty file remains (the Leer formats and any other).
        ok = WriteFileSafely(fileName, [](TStream&) { return true; });
        break;
    }
    SetBusy(false);
    return ok;
}

} // namespace vm
