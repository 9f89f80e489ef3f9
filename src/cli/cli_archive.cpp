#include <algorithm>
#include <cstdio>
#include <ctime>
#include <memory>

#include "cli/cli.h"
#include "data/numbers.h"
#include "survey/archive_location.h"
#include "survey/survey_archive.h"
#include "survey/survey_text.h"

namespace ws::cli {
namespace {

int Usage(const char* why, const std::string& what = {}) {
    return UsageError("archive", why, what);
}

std::string Mm(const std::optional<double>& v) {
    return v ? FixedPoint(*v, 2) : std::string();
}

std::string JsonMm(const std::optional<double>& v) {
    return v ? FixedPoint(*v, 2) : std::string("null");
}

// Pads UTF-8 text to a width in characters (Cyrillic letters are two bytes, one column).
std::string Pad(const std::string& text, size_t width) {
    size_t chars = 0;
    for (const char c : text)
        chars += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
    return chars >= width ? text + " " : text + std::string(width - chars, ' ');
}

std::string EntryJson(const ArchiveEntry& e) {
    std::string j = "{";
    auto field = [&](const char* key, const std::string& value) {
        if (j.size() > 1)
            j += ", ";
        j += JsonString(key) + ": " + value;
    };
    field("id", std::to_string(e.Id));
    field("filed_utc", JsonString(FormatUtcIso(e.FiledUtc)));
    field("source", JsonString(SourceWord(e.Source)));
    field("object", JsonString(e.Object));
    field("section", JsonString(e.Section));
    field("inspector", JsonString(e.Inspector));
    field("inspected_on", JsonString(e.InspectedOn));
    field("notes", JsonString(e.Notes));
    field("regime", std::to_string(e.Regime));
    field("points", std::to_string(e.PointCount));
    field("min_mm", JsonMm(e.MinMm));
    field("mean_mm", JsonMm(e.MeanMm));
    field("max_mm", JsonMm(e.MaxMm));
    field("port", JsonString(e.Port));
    field("device", JsonString(e.Device));
    field("baud", std::to_string(e.Baud));
    field("expected_bytes", std::to_string(e.ExpectedBytes));
    field("received_bytes", std::to_string(e.ReceivedBytes));
    field("line_errors", std::to_string(e.LineErrors));
    field("trace_file", JsonString(e.TraceFile));
    field("raw_file", JsonString(e.RawFile));
    field("deleted", e.Deleted ? "true" : "false");
    if (!e.Paths.empty()) {
        std::string paths = "[";
        for (size_t i = 0; i < e.Paths.size(); ++i)
            paths += (i ? ", " : "") + JsonString(e.Paths[i]);
        field("paths", paths + "]");
    }
    return j + "}";
}

std::string ObjectJson(const ObjectInfo& o) {
    return "{\"id\": " + std::to_string(o.Id) + ", \"name\": " + JsonString(o.Name) +
           ", \"nominal_mm\": " + JsonMm(o.NominalMm) +
           ", \"min_allowed_mm\": " + JsonMm(o.MinAllowedMm) +
           ", \"notes\": " + JsonString(o.Notes) + "}";
}

bool ParseId(const std::string& text, int64_t& id) {
    if (text.empty() || text.size() > 15 ||
        text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    id = std::stoll(text);
    return id > 0;
}

struct Options {
    std::string archiveDir;
    bool json = false;
    std::vector<std::string> positional;
    std::vector<std::pair<std::string, std::string>> values;  // --name value, in order
    std::vector<std::string> flags;
    const std::string* Value(const std::string& name) const {
        for (const auto& [k, v] : values)
            if (k == name)
                return &v;
        return nullptr;
    }
    bool Flag(const std::string& name) const {
        for (const auto& f : flags)
            if (f == name)
                return true;
        return false;
    }
};

// Splits the arguments after the subcommand: `valued` options take the next argument.
int Split(const Args& args, size_t from, const std::vector<std::string>& valued,
          const std::vector<std::string>& flags, Options& o) {
    for (size_t i = from; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--archive") {
            if (i + 1 >= args.size())
                return Usage("нет папки после ", a);
            o.archiveDir = args[++i];
        } else if (a == "--json") {
            o.json = true;
        } else if (std::find(valued.begin(), valued.end(), a) != valued.end()) {
            if (i + 1 >= args.size())
                return Usage("нет значения после ", a);
            o.values.emplace_back(a, args[++i]);
        } else if (std::find(flags.begin(), flags.end(), a) != flags.end()) {
            o.flags.push_back(a);
        } else if (!a.empty() && a[0] == '-' && a != "-") {
            return Usage("неизвестный параметр ", a);
        } else {
            o.positional.push_back(a);
        }
    }
    return kOk;
}

// Opens the archive, saying on standard error what the program would say in a box.
bool OpenArchive(SurveyArchive& archive, const std::string& dir) {
    const std::string folder = dir.empty() ? DefaultArchiveFolder() : dir;
    const auto r = archive.Open(folder);
    if (!r.Message.empty())
        std::fprintf(stderr, "%s\n", r.Message.c_str());
    return r.Ok;
}

int List(SurveyArchive& archive, const Options& o) {
    ListQuery q;
    if (const auto* v = o.Value("--object"))
        q.Object = *v;
    if (const auto* v = o.Value("--since")) {
        if (!ParseIsoDate(*v))
            return Usage("дата не в виде ГГГГ-ММ-ДД: ", *v);
        q.SinceDate = *v;
    }
    if (const auto* v = o.Value("--find"))
        q.Text = *v;
    q.Deleted = o.Flag("--deleted");
    if (!o.positional.empty())
        return Usage("лишний аргумент ", o.positional[0]);
    const auto entries = archive.List(q);
    std::string out;
    if (o.json) {
        out = "[";
        for (size_t i = 0; i < entries.size(); ++i)
            out += (i ? ",\n " : "") + EntryJson(entries[i]);
        out += "]\n";
    } else {
        out = Pad("№", 7) + Pad("Дата", 17) + Pad("Объект", 24) + Pad("Участок", 14) +
              Pad("Точек", 6) + Pad("Мин.", 8) + Pad("Средн.", 8) + "Источник\n";
        for (const auto& e : entries) {
            out += Pad(std::to_string(e.Id), 7) + Pad(LocalDateTimeOf(e.FiledUtc), 17) +
                   Pad(e.Object, 24) + Pad(e.Section, 14) + Pad(std::to_string(e.PointCount), 6) +
                   Pad(Mm(e.MinMm), 8) + Pad(Mm(e.MeanMm), 8) + SourceWord(e.Source) + "\n";
        }
    }
    return WriteStdout(out) ? kOk : kFailed;
}

int Show(SurveyArchive& archive, const Options& o) {
    int64_t id = 0;
    if (o.positional.size() != 1 || !ParseId(o.positional[0], id))
        return Usage("нужен один номер записи");
    const auto e = archive.Get(id);
    if (!e) {
        std::fprintf(stderr, "wallscan-cli archive: %s\n", archive.LastError().c_str());
        return kFailed;
    }
    std::string out;
    if (o.json) {
        out = EntryJson(*e) + "\n";
    } else {
        auto line = [&](const char* name, const std::string& value) {
            out += Pad(name, 18) + value + "\n";
        };
        line("Запись", std::to_string(e->Id) + (e->Deleted ? " (удалена)" : ""));
        line("Дата", LocalDateTimeOf(e->FiledUtc) + " (" + FormatUtcIso(e->FiledUtc) + ")");
        line("Источник", SourceWord(e->Source));
        line("Объект", e->Object);
        line("Участок", e->Section);
        line("Исполнитель", e->Inspector);
        line("Дата замера", e->InspectedOn);
        line("Примечание", e->Notes);
        line("Режим", std::to_string(e->Regime));
        line("Точек", std::to_string(e->PointCount));
        line("Мин./средн./макс.", Mm(e->MinMm) + " / " + Mm(e->MeanMm) + " / " + Mm(e->MaxMm));
        if (e->Source == EntrySource::Gauge) {
            line("Порт", e->Port + " (" + e->Device + "), " + std::to_string(e->Baud) + " бит/с");
            line("Байт", "ожидалось " + std::to_string(e->ExpectedBytes) + ", принято " +
                             std::to_string(e->ReceivedBytes) + ", ошибок линии " +
                             std::to_string(e->LineErrors));
            line("Принятые байты", e->RawFile);
        }
        line("Файл", e->TraceFile);
        for (const auto& p : e->Paths)
            line("Сохранён как", p);
    }
    return WriteStdout(out) ? kOk : kFailed;
}

int Export(SurveyArchive& archive, const Options& o) {
    int64_t id = 0;
    if (o.positional.size() != 1 || !ParseId(o.positional[0], id))
        return Usage("нужен один номер записи");
    const auto* out = o.Value("-o");
    if (!out || out->empty())
        return Usage("не указан файл (-o FILE.mem)");
    if (*out == "-") {
        const auto bytes = archive.TraceBytes(id);
        if (!bytes) {
            std::fprintf(stderr, "wallscan-cli archive: %s\n", archive.LastError().c_str());
            return kFailed;
        }
        return WriteStdout(*bytes) ? kOk : kFailed;
    }
    if (!archive.Export(id, *out)) {
        std::fprintf(stderr, "wallscan-cli archive: %s\n", archive.LastError().c_str());
        return kFailed;
    }
    return kOk;
}

int Import(SurveyArchive& archive, const Options& o) {
    if (o.positional.empty())
        return Usage("не указаны файлы или папки");
    const ImportReport r = archive.Import(o.positional);
    for (const auto& p : r.Problems)
        std::fprintf(stderr, "%s\n", p.c_str());
    std::printf("Добавлено: %d, уже в архиве: %d, не принято: %zu\n", r.Added, r.Known,
                r.Problems.size());
    return r.Problems.empty() ? kOk : kFailed;
}

int Describe(SurveyArchive& archive, const Options& o) {
    int64_t id = 0;
    if (o.positional.size() != 1 || !ParseId(o.positional[0], id))
        return Usage("нужен один номер записи");
    if (o.values.empty())
        return Usage("нечего записать (--object, --section, --inspector, --date, --notes)");
    const auto e = archive.Get(id);
    if (!e) {
        std::fprintf(stderr, "wallscan-cli archive: %s\n", archive.LastError().c_str());
        return kFailed;
    }
    // What is not given keeps its value.
    EntryDescription d{e->Object, e->Section, e->Inspector, e->InspectedOn, e->Notes};
    if (const auto* v = o.Value("--object"))
        d.Object = *v;
    if (const auto* v = o.Value("--section"))
        d.Section = *v;
    if (const auto* v = o.Value("--inspector"))
        d.Inspector = *v;
    if (const auto* v = o.Value("--date")) {
        if (!ParseIsoDate(*v))
            return Usage("дата не в виде ГГГГ-ММ-ДД: ", *v);
        d.InspectedOn = *v;
    }
    if (const auto* v = o.Value("--notes"))
        d.Notes = *v;
    if (!archive.Describe(id, d)) {
        std::fprintf(stderr, "wallscan-cli archive: %s\n", archive.LastError().c_str());
        return kFailed;
    }
    return kOk;
}

int Objects(SurveyArchive& archive, const Options& o) {
    if (!o.positional.empty())
        return Usage("лишний аргумент ", o.positional[0]);
    const auto objects = archive.Objects();
    std::string out;
    if (o.json) {
        out = "[";
        for (size_t i = 0; i < objects.size(); ++i)
            out += (i ? ",\n " : "") + ObjectJson(objects[i]);
        out += "]\n";
    } else {
        out = Pad("Объект", 30) + Pad("Номинал", 10) + "Мин. допуст.\n";
        for (const auto& obj : objects)
            out += Pad(obj.Name, 30) + Pad(Mm(obj.NominalMm), 10) + Mm(obj.MinAllowedMm) + "\n";
    }
    return WriteStdout(out) ? kOk : kFailed;
}

int Object(SurveyArchive& archive, const Options& o) {
    if (o.positional.size() != 1 || o.positional[0].empty())
        return Usage("нужно одно имя объекта");
    const auto* nominalText = o.Value("--nominal");
    const auto* minText = o.Value("--min-allowed");
    std::optional<double> nominal, minAllowed;
    if ((nominalText && (!ParseMillimetres(*nominalText, nominal) || !nominal)) ||
        (minText && (!ParseMillimetres(*minText, minAllowed) || !minAllowed)))
        return Usage("толщина задаётся положительным числом миллиметров");
    const int64_t id = archive.EnsureObject(o.positional[0]);
    if (id == 0) {
        std::fprintf(stderr, "wallscan-cli archive: %s\n", archive.LastError().c_str());
        return kFailed;
    }
    const auto current = archive.FindObject(o.positional[0]);
    // An option not given keeps the object's value.
    if (!nominalText && current)
        nominal = current->NominalMm;
    if (!minText && current)
        minAllowed = current->MinAllowedMm;
    if (!archive.SetObjectThresholds(id, nominal, minAllowed)) {
        std::fprintf(stderr, "wallscan-cli archive: %s\n", archive.LastError().c_str());
        return kFailed;
    }
    if (const auto* notes = o.Value("--notes"))
        archive.SetObjectNotes(id, *notes);
    return kOk;
}

int CheckArchive(SurveyArchive& archive, const Options& o) {
    const CheckReport r = archive.Check();
    std::string out;
    for (const auto& f : r.Orphans)
        out += "без записи: " + f + "\n";
    for (const auto id : r.Missing)
        out += "нет файла у записи " + std::to_string(id) + "\n";
    out += "Файлов без записи: " + std::to_string(r.Orphans.size()) +
           ", записей без файла: " + std::to_string(r.Missing.size()) + "\n";
    WriteStdout(out);
    return r.Orphans.empty() && r.Missing.empty() ? kOk : kFailed;
}

int Validate(const std::string& sub, const Options& o) {
    const bool needsId = sub == "show" || sub == "export" || sub == "describe";
    int64_t id = 0;
    if (needsId && (o.positional.size() != 1 || !ParseId(o.positional[0], id)))
        return Usage("нужен один номер записи");
    if ((sub == "list" || sub == "objects" || sub == "check") && !o.positional.empty())
        return Usage("лишний аргумент ", o.positional[0]);
    for (const char* name : {"--since", "--date"}) {
        if (const auto* v = o.Value(name); v && !ParseIsoDate(*v))
            return Usage("дата не в виде ГГГГ-ММ-ДД: ", *v);
    }
    if (sub == "export" && (!o.Value("-o") || o.Value("-o")->empty()))
        return Usage("не указан файл (-o FILE.mem)");
    if (sub == "describe" && o.values.empty())
        return Usage("нечего записать (--object, --section, --inspector, --date, --notes)");
    if (sub == "import" && o.positional.empty())
        return Usage("не указаны файлы или папки");
    if (sub == "object") {
        if (o.positional.size() != 1 || o.positional[0].empty())
            return Usage("нужно одно имя объекта");
        for (const char* name : {"--nominal", "--min-allowed"}) {
            std::optional<double> mm;
            if (const auto* v = o.Value(name); v && (!ParseMillimetres(*v, mm) || !mm))
                return Usage("толщина задаётся положительным числом миллиметров: ", *v);
        }
    }
    return kOk;
}

}  // namespace

int RunArchive(const Args& args) {
    if (args.empty())
        return Usage(
            "нет подкоманды (list, show, export, import, describe, objects, object, "
            "check)");
    const std::string& sub = args[0];
    Options o;
    int rc = kUsage;
    int (*run)(SurveyArchive&, const Options&) = nullptr;
    if (sub == "list") {
        rc = Split(args, 1, {"--object", "--since", "--find"}, {"--deleted"}, o);
        run = List;
    } else if (sub == "show") {
        rc = Split(args, 1, {}, {}, o);
        run = Show;
    } else if (sub == "export") {
        rc = Split(args, 1, {"-o", "--output"}, {}, o);
        for (auto& [k, v] : o.values)
            if (k == "--output")
                k = "-o";
        run = Export;
    } else if (sub == "import") {
        rc = Split(args, 1, {}, {}, o);
        run = Import;
    } else if (sub == "describe") {
        rc = Split(args, 1, {"--object", "--section", "--inspector", "--date", "--notes"}, {}, o);
        run = Describe;
    } else if (sub == "objects") {
        rc = Split(args, 1, {}, {}, o);
        run = Objects;
    } else if (sub == "object") {
        rc = Split(args, 1, {"--nominal", "--min-allowed", "--notes"}, {}, o);
        run = Object;
    } else if (sub == "check") {
        rc = Split(args, 1, {}, {}, o);
        run = CheckArchive;
    } else {
        return Usage("неизвестная подкоманда ", sub);
    }
    if (rc != kOk)
        return rc;
    // Every usage error is found before the archive is opened: a mistyped command creates no
    // catalog and changes nothing.
    if (const int usage = Validate(sub, o); usage != kOk)
        return usage;
    SurveyArchive archive;
    if (!OpenArchive(archive, o.archiveDir))
        return kFailed;
    return run(archive, o);
}

bool FileDownloadInArchive(const std::string& archiveDir, const Trace& trace,
                           const std::vector<uint8_t>& raw, const DownloadFacts& facts) {
    SurveyArchive archive;
    if (!OpenArchive(archive, archiveDir))
        return false;
    const FileResult r =
        archive.FileDownload(trace, raw, facts, static_cast<int64_t>(std::time(nullptr)));
    if (!r.Ok()) {
        std::fprintf(stderr, "Замер не записан в архив: %s\n", r.Error.c_str());
        return false;
    }
    std::fprintf(stderr, "wallscan-cli download: в архиве, запись %lld\n",
                 static_cast<long long>(r.Id));
    return true;
}

}  // namespace ws::cli
